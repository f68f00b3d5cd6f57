// The server's message overrides, "strings.dat": lines of the form
//   key = 'text'#13#10'more text'
// whose values replace the texts registered under those keys.
#pragma once

#include <string>
#include <string_view>

#include "localization/string_registry.h"

// Splits one line into its trimmed key and its decoded value; false when
// either is empty.
bool ParseServerStringLine(std::string_view line, std::string& key, std::u16string& value);
// A value's quoted runs ('text', where '' stands for one quote) and
// character codes (#13); everything else outside quotes is ignored.
std::u16string DecodeServerStringValue(std::string_view value);

// Applies every line of the text to the keys registered; lines of unknown
// keys are skipped. Returns the number of values stored.
size_t ApplyServerStrings(std::string_view text,
                          TLocalizationStrings& registry = LocalizationStrings());
// Reads the file and applies it; false when it cannot be read.
bool LoadServerStrings(const std::string& path,
                       TLocalizationStrings& registry = LocalizationStrings());
