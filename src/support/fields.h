// Fields of configuration lines and lists. Positions are 1-based, as in the
// formats that use them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Field `index` (0-based) of `text` split at `separator`. With toEnd the
// field runs to the end of the text, later separators included. The text is
// trimmed first unless keepSpaces, the field afterwards unless keepFieldSpaces.
std::string GetField(std::string_view text, int index, char separator, bool toEnd = false,
                     bool keepSpaces = false, bool keepFieldSpaces = false);

// Splits at each separator; a trailing separator adds no empty piece. With
// trim, pieces are trimmed and empty ones dropped. False for an empty text.
bool SplitString(std::string_view text, char separator, std::vector<std::string>& pieces,
                 bool trim);

// Characters from..to (1-based, inclusive), clamped to the text.
std::string CopyRange(std::string_view text, int from, int to);

// 1-based position of the last occurrence, 0 if none.
int LastCharPos(char c, std::string_view text);
