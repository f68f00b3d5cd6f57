#include "config/account_record.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "config/settings_transform.h"

namespace {

std::string FieldText(const uint8_t* at, size_t width) {
  size_t length = std::min<size_t>(at[0], width - 1);
  return std::string(reinterpret_cast<const char*>(at + 1), length);
}

void SetFieldText(uint8_t* at, size_t width, std::string_view text) {
  size_t length = std::min(text.size(), width - 1);
  at[0] = static_cast<uint8_t>(length);
  std::copy_n(text.data(), length, at + 1);
}

}  // namespace

std::string AccountRecord::Aliases() const {
  return FieldText(Bytes.data() + account_field::Aliases, account_field::AliasesWidth);
}

void AccountRecord::SetAliases(std::string_view aliases) {
  SetFieldText(Bytes.data() + account_field::Aliases, account_field::AliasesWidth, aliases);
}

double AccountRecord::ExpiryDate() const {
  uint64_t bits = 0;
  for (size_t i = 8; i-- > 0;)
    bits = (bits << 8) | Bytes[account_field::ExpiryDate + i];
  return std::bit_cast<double>(bits);
}

void AccountRecord::SetExpiryDate(double date) {
  auto bits = std::bit_cast<uint64_t>(date);
  for (size_t i = 0; i < 8; ++i)
    Bytes[account_field::ExpiryDate + i] = static_cast<uint8_t>(bits >> (8 * i));
}

std::string AccountRecord::Password() const {
  return FieldText(Bytes.data() + account_field::Password, account_field::PasswordWidth);
}

void AccountRecord::SetPassword(std::string_view password) {
  SetFieldText(Bytes.data() + account_field::Password, account_field::PasswordWidth, password);
}

std::string AccountRecord::Name() const {
  return FieldText(Bytes.data() + account_field::Name, account_field::NameWidth);
}

void AccountRecord::SetName(std::string_view name) {
  SetFieldText(Bytes.data() + account_field::Name, account_field::NameWidth, name);
}

std::string AccountRecord::Mailbox() const {
  return FieldText(Bytes.data() + account_field::Mailbox, account_field::MailboxWidth);
}

void AccountRecord::SetMailbox(std::string_view mailbox) {
  SetFieldText(Bytes.data() + account_field::Mailbox, account_field::MailboxWidth, mailbox);
}

uint8_t PasswordMask(size_t position) {
  return static_cast<uint8_t>(0xA7 + 13 * position);
}

void TogglePasswordForm(AccountRecord& record) {
  if (record.Type() != kUserAccount) return;
  // Every character position of the field, not only the current length:
  // the toggle must not depend on a length byte that may itself be damaged.
  uint8_t* characters = record.Bytes.data() + account_field::Password + 1;
  for (size_t i = 0; i + 1 < account_field::PasswordWidth; ++i)
    characters[i] ^= PasswordMask(i);
}

void EncodeAccountRecord(AccountRecord& record) {
  TogglePasswordForm(record);
  TransformSettingsBytes(record.Bytes.data(), record.Bytes.size(), 0);
}

void DecodeAccountRecord(AccountRecord& record) {
  TransformSettingsBytes(record.Bytes.data(), record.Bytes.size(), 0);
  TogglePasswordForm(record);
}
