// The 8-bit text of the installer is in the ANSI code page: the system's on
// Windows, Windows-1252 on POSIX. UTF-16 appears only at the boundaries.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u16string AnsiToUtf16(std::string_view text);
// Characters without an ANSI form become '?'.
std::string Utf16ToAnsi(std::u16string_view text);
// Letter case as the ANSI code page defines it.
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

}  // namespace platform
