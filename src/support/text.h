// Basic single-byte text helpers. Lower and upper casing change ASCII letters
// only; trimming removes characters with codes 0 to 32 at either end.
#pragma once

#include <string>
#include <string_view>

// On-disk records keep most texts as one length byte and the characters.
constexpr size_t kShortStringLength = 255;

std::string ShortString(std::string_view text);
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
bool IsAsciiLetterOrDigit(char c);
