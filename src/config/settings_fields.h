// The fields of the suite's settings record that the installer reads or
// writes: where each one lies and how it is stored. The rest of the record
// belongs to the suite's services and is carried through unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

enum class SettingsFieldKind {
  Text,       // one length byte, then the characters; at most width - 1 of them
  Byte,       // unsigned 8-bit (switches are 0 or nonzero)
  Character,  // one character
  Word,       // unsigned 16-bit, little-endian
  Int32,      // signed 32-bit, little-endian
};

struct SettingsField {
  std::string_view Name;  // as tools show it
  size_t Offset;
  size_t Width;
  SettingsFieldKind Kind;
};

namespace settings_field {
using enum SettingsFieldKind;
inline constexpr SettingsField HostName{"HostName", 0, 128, Text};
inline constexpr SettingsField TempPath{"TempPath", 256, 256, Text};
inline constexpr SettingsField MailPath{"MailPath", 512, 256, Text};
inline constexpr SettingsField LogPath{"LogPath", 768, 256, Text};
inline constexpr SettingsField WebPort{"WebPort", 1036, 2, Word};  // 0 means 32000
inline constexpr SettingsField BindAddresses{"BindAddresses", 1176, 128, Text};
inline constexpr SettingsField DnsServers{"DnsServers", 1304, 128, Text};
inline constexpr SettingsField FooterSwitch{"FooterSwitch", 1463, 1, Byte};
inline constexpr SettingsField BindSwitch{"BindSwitch", 1474, 1, Byte};
inline constexpr SettingsField DnsQuery{"DnsQuery", 1476, 1, Byte};  // 0 means 3
inline constexpr SettingsField SingleProcessor{"SingleProcessor", 1542, 1, Byte};
inline constexpr SettingsField AccountDatabase{"AccountDatabase", 2356, 256, Text};
inline constexpr SettingsField StorageMode{"StorageMode", 3633, 1, Byte};  // 2: database
inline constexpr SettingsField DomainsWide{"DomainsWide", 7001, 1, Byte};  // 96-byte records
// Minutes; stored in hours before 8.5.7-5.
inline constexpr SettingsField HourTimeValue{"HourTimeValue", 7012, 4, Int32};
// Minutes, 0 means 2880; stored in days before 8.5.7-5.
inline constexpr SettingsField DayTimeValue{"DayTimeValue", 7016, 4, Int32};
inline constexpr SettingsField DomainCount{"DomainCount", 7020, 4, Int32};
inline constexpr SettingsField InterfaceLayout{"InterfaceLayout", 21428, 256, Text};
inline constexpr SettingsField PathDelimiter{"PathDelimiter", 22121, 1, Character};
inline constexpr SettingsField DnsSwitch{"DnsSwitch", 22136, 4, Int32};  // 0 means 1
inline constexpr SettingsField DefaultSyntax{"DefaultSyntax", 23394, 1, Byte};
// Multiplied by 1024 when its unit changed at 8.5.7-6.
inline constexpr SettingsField SizeValue{"SizeValue", 28059, 4, Int32};
}  // namespace settings_field

inline constexpr std::array<SettingsField, 22> kSettingsFields = {
    settings_field::HostName,      settings_field::TempPath,        settings_field::MailPath,
    settings_field::LogPath,       settings_field::WebPort,         settings_field::BindAddresses,
    settings_field::DnsServers,    settings_field::FooterSwitch,    settings_field::BindSwitch,
    settings_field::DnsQuery,      settings_field::SingleProcessor, settings_field::AccountDatabase,
    settings_field::StorageMode,   settings_field::DomainsWide,     settings_field::HourTimeValue,
    settings_field::DayTimeValue,  settings_field::DomainCount,     settings_field::InterfaceLayout,
    settings_field::PathDelimiter, settings_field::DnsSwitch,       settings_field::DefaultSyntax,
    settings_field::SizeValue,
};

// Where the older forms of the domain table lie inside the stored record.
inline constexpr size_t kStoredDomainTableOffset = 20344;  // table kept inside settings.cfg
inline constexpr size_t kOldDomainListOffset = 7024;       // 100 names before the table
inline constexpr size_t kOldDomainListEntries = 100;
inline constexpr size_t kOldDomainListEntrySize = 128;
