// UTF-8 sequences and their UTF-16 form, shared by the XML text modes and the
// language file's control texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Length of the well-formed UTF-8 sequence at `at` (overlong forms and
// surrogates excluded) and its code point; 0 when there is none.
size_t DecodeUtf8Sequence(std::string_view text, size_t at, uint32_t& code);
void AppendUtf8(std::string& out, uint32_t code);

// Bytes that do not form UTF-8 are taken as ANSI text as they stand, so a
// file saved in the ANSI code page still reads.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
