// Filling the "%s" places of a message template. Templates come from
// translators' language files, so a template with more places than values,
// or with a stray '%', must never read past the values given.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Each "%s" takes the next value (an empty text once the values run out);
// "%%" gives one '%'; any other '%' stays as it stands.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values);
