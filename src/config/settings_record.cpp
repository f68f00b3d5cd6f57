#include "config/settings_record.h"

#include <algorithm>

namespace {

uint64_t ReadLittleEndian(const uint8_t* bytes, size_t width) {
  uint64_t value = 0;
  for (size_t i = width; i-- > 0;)
    value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

std::string SettingsRecord::Text(const SettingsField& field) const {
  const uint8_t* at = Bytes.data() + field.Offset;
  size_t length = std::min<size_t>(at[0], field.Width - 1);
  return std::string(reinterpret_cast<const char*>(at + 1), length);
}

void SettingsRecord::SetText(const SettingsField& field, std::string_view text) {
  uint8_t* at = Bytes.data() + field.Offset;
  size_t length = std::min(text.size(), field.Width - 1);
  at[0] = static_cast<uint8_t>(length);
  std::copy_n(text.data(), length, at + 1);
}

int64_t SettingsRecord::Number(const SettingsField& field) const {
  uint64_t raw = ReadLittleEndian(Bytes.data() + field.Offset, field.Width);
  if (field.Kind == SettingsFieldKind::Int32)
    return static_cast<int32_t>(static_cast<uint32_t>(raw));
  return static_cast<int64_t>(raw);
}

void SettingsRecord::SetNumber(const SettingsField& field, int64_t value) {
  auto bits = static_cast<uint64_t>(value);
  for (size_t i = 0; i < field.Width; ++i)
    Bytes[field.Offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

uint16_t SettingsRecord::WebPort() const {
  auto port = static_cast<uint16_t>(Number(settings_field::WebPort));
  return port ? port : 32000;
}

uint8_t SettingsRecord::StorageMode() const {
  return static_cast<uint8_t>(Number(settings_field::StorageMode));
}

int32_t SettingsRecord::DomainCount() const {
  return static_cast<int32_t>(Number(settings_field::DomainCount));
}

uint8_t SettingsRecord::DefaultSyntax() const {
  return static_cast<uint8_t>(Number(settings_field::DefaultSyntax));
}

// What a server that has never been configured starts from. Every byte not
// named here is 0, and several fields keep 0 as "use the standard value",
// which loading fills in:
//   web port 0 = 32000, DNS query setting 0 = 3, DNS switch 0 = 1,
//   day time value 0 = 2880 minutes (two days);
//   empty temporary, mail and log folders = "temp\", "mail\", "logs\" below
//   the install folder; an empty DNS server list = the system's name servers.
// The host name is a placeholder for the administrator to replace; the
// administration program starts with the basic layout; accounts are kept in
// files; the (empty) domain table is in its current 96-byte form.
SettingsRecord BuiltInSettings() {
  SettingsRecord record;
  record.SetText(settings_field::HostName, "mail.example.com");
  record.SetText(settings_field::InterfaceLayout, "basic.xml");
  record.SetNumber(settings_field::PathDelimiter, '\\');
  record.SetNumber(settings_field::DomainsWide, 1);
  return record;
}

SettingsRecord& Settings() {
  static SettingsRecord record = BuiltInSettings();
  return record;
}
