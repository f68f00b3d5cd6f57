// The string registry: binds each translatable text variable to a key, so
// that a language file (or the server's "strings.dat") can set it by key.
// Keys are unique by convention only; lookups take the first match.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kLocalizationKeyLength = 127;
// The array grows by this many entries whenever it is full.
constexpr size_t kLocalizationGrowth = 100;

struct TLocalizationEntry {
  std::string Name;  // the key in lower case, at most 127 characters
  // Exactly one target is set.
  std::string* AnsiTarget = nullptr;
  std::u16string* WideTarget = nullptr;
};

struct TLocalizationStrings {
  uint32_t Count = 0;                     // entries in use
  std::vector<TLocalizationEntry> Items;  // its length is the capacity
};

// The one registry of the program.
TLocalizationStrings& LocalizationStrings();

// Appends an entry for the key (lower-cased, cut to 127 characters). The
// target must outlive the entry.
void RegisterString(std::string_view key, std::string& target,
                    TLocalizationStrings& registry = LocalizationStrings());
void RegisterString(std::string_view key, std::u16string& target,
                    TLocalizationStrings& registry = LocalizationStrings());
// Index of the first entry with that key (any letter case), or -1.
int FindString(std::string_view key, const TLocalizationStrings& registry = LocalizationStrings());
// Stores the value into the key's target, converted to the ANSI code page
// for a narrow one. An unknown key is ignored.
void SetStringValue(std::string_view key, std::u16string_view value,
                    TLocalizationStrings& registry = LocalizationStrings());
void ClearStrings(TLocalizationStrings& registry = LocalizationStrings());
