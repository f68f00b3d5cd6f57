// The suite's main settings: one packed record of 30071 bytes, stored as
// "settings.cfg". Texts are a length byte and the characters, integers are
// little-endian. The program holds one process-wide instance.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/settings_fields.h"

inline constexpr size_t kSettingsRecordSize = 30071;

// The storage mode that keeps accounts in a database through the suite's
// database library; other values keep them in files.
inline constexpr uint8_t kDatabaseStorageMode = 2;

struct SettingsRecord {
  std::array<uint8_t, kSettingsRecordSize> Bytes{};

  // A text field; a length byte beyond the field counts as the field's width.
  std::string Text(const SettingsField& field) const;
  // Cut to the field; the bytes behind the new text are left as they were.
  void SetText(const SettingsField& field, std::string_view text);
  // Byte, character, word and 32-bit fields, widened to 64 bits.
  int64_t Number(const SettingsField& field) const;
  void SetNumber(const SettingsField& field, int64_t value);

  std::string HostName() const { return Text(settings_field::HostName); }
  std::string TempPath() const { return Text(settings_field::TempPath); }
  std::string MailPath() const { return Text(settings_field::MailPath); }
  std::string LogPath() const { return Text(settings_field::LogPath); }
  // The stored port, 32000 when it is 0.
  uint16_t WebPort() const;
  std::string BindAddresses() const { return Text(settings_field::BindAddresses); }
  std::string DnsServers() const { return Text(settings_field::DnsServers); }
  bool SingleProcessor() const { return Number(settings_field::SingleProcessor) != 0; }
  std::string AccountDatabase() const { return Text(settings_field::AccountDatabase); }
  uint8_t StorageMode() const;
  bool DomainsWide() const { return Number(settings_field::DomainsWide) != 0; }
  int32_t DomainCount() const;
  std::string InterfaceLayout() const { return Text(settings_field::InterfaceLayout); }
  uint8_t DefaultSyntax() const;

  bool operator==(const SettingsRecord&) const = default;
};

// The suite's built-in defaults, the content of the record before any load.
SettingsRecord BuiltInSettings();

// The process-wide record.
SettingsRecord& Settings();
