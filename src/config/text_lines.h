// The lines of a text file as the suite's readers take them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lines end at CR LF, LF or a lone CR; a last line without an ending counts,
// a line break at the very end adds no empty line.
std::vector<std::string> TextLines(std::string_view text);
