// JSON strings from the installer's 8-bit text.
#pragma once

#include <string>
#include <string_view>

// The text (in the ANSI code page) as a quoted JSON string in UTF-8.
std::string JsonString(std::string_view ansiText);
