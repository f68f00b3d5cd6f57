// Reading values out of the suite's configuration lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The line without its comment: "// " and "#" end the value unless doubled
// ("##" is a literal "#"), and one "/* ... */" block is removed.
std::string StripComments(std::string_view line);

// Reads a leading integer the lenient way: blanks, sign, `$`/`x`/`0x` for
// hexadecimal, digits up to the first other character. Never fails; a number
// cut short by another character loses its sign.
int32_t StrToIntLoose(std::string_view text);
