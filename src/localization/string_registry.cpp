#include "localization/string_registry.h"

#include "platform/codepage.h"
#include "support/text.h"

namespace {

std::string EntryName(std::string_view key) {
  return LowerCase(key.substr(0, kLocalizationKeyLength));
}

TLocalizationEntry& Append(std::string_view key, TLocalizationStrings& registry) {
  if (registry.Count >= registry.Items.size())
    registry.Items.resize(registry.Items.size() + kLocalizationGrowth);
  TLocalizationEntry& entry = registry.Items[registry.Count++];
  entry = TLocalizationEntry{};
  entry.Name = EntryName(key);
  return entry;
}

}  // namespace

TLocalizationStrings& LocalizationStrings() {
  static TLocalizationStrings registry;
  return registry;
}

void RegisterString(std::string_view key, std::string& target, TLocalizationStrings& registry) {
  Append(key, registry).AnsiTarget = &target;
}

void RegisterString(std::string_view key, std::u16string& target, TLocalizationStrings& registry) {
  Append(key, registry).WideTarget = &target;
}

int FindString(std::string_view key, const TLocalizationStrings& registry) {
  // The key is cut as registration cuts it, so that a long key is found.
  const std::string name = EntryName(key);
  for (uint32_t i = 0; i < registry.Count && i < registry.Items.size(); ++i)
    if (registry.Items[i].Name == name) return static_cast<int>(i);
  return -1;
}

void SetStringValue(std::string_view key, std::u16string_view value,
                    TLocalizationStrings& registry) {
  int index = FindString(key, registry);
  if (index < 0) return;
  TLocalizationEntry& entry = registry.Items[static_cast<size_t>(index)];
  if (entry.AnsiTarget)
    *entry.AnsiTarget = platform::Utf16ToAnsi(value);
  else if (entry.WideTarget)
    *entry.WideTarget = std::u16string(value);
}

void ClearStrings(TLocalizationStrings& registry) {
  registry.Count = 0;
  registry.Items.clear();
}
