// Searching and replacing in single-byte text.
#pragma once

#include <string>
#include <string_view>

// Replaces the first occurrence of `from` (every one with replaceAll).
// Without caseSensitive, letters compare as the ANSI code page cases them.
void ReplaceText(std::string& text, std::string_view from, std::string_view to, bool caseSensitive,
                 bool replaceAll);

// 1-based position of the first exact match of pattern in text[start..end],
// 0 if none. An end of 0 or less means the end of the text. With wholeWord a
// match must not touch an ASCII letter or digit on either side.
int FindText(std::string_view pattern, std::string_view text, int start, int end, bool wholeWord);

// `?` is one character, `*` any run of characters; case-sensitive. Subject
// and pattern are cut to 255 characters. Runs in time proportional to their
// product, whatever the number of stars.
bool WildcardMatch(std::string_view subject, std::string_view pattern);
