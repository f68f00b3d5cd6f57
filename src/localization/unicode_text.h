// UTF-8 to UTF-16 and back, for the texts that the language file carries to
// and from the window controls.
#pragma once

#include <string>
#include <string_view>

// Bytes that do not form UTF-8 are taken as ANSI text as they stand, as the
// XML text conversions do, so a file saved in the ANSI code page still reads.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
