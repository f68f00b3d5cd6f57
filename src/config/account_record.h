// One account of a domain as the suite stores it: a record of 2848 bytes in
// the domain's "users.cfg". Texts are a length byte and the characters; the
// expiry date is a date-time (days since 1899-12-30, the fraction the time
// of day) as a little-endian 64-bit floating-point number.
//
// The password of a user account is kept in a stored form: each of the
// field's 127 character positions is combined by exclusive-or with a byte
// that depends on the position (PasswordMask, below); the length byte stays
// plain. This keeps
// passwords out of plain sight in backups and dumps; it is no protection
// against anyone who can read the file, which only the file's access rights
// give. The whole record is then passed through the settings transform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/database_entries.h"

// Account type 0; other values are the suite's other kinds (lists, groups...).
inline constexpr uint8_t kUserAccount = 0;

namespace account_field {
inline constexpr size_t Type = 0;
inline constexpr size_t Name = 2;  // the display name: length byte + up to 255
inline constexpr size_t NameWidth = 256;
inline constexpr size_t Aliases = 260;  // length byte + up to 255 characters
inline constexpr size_t AliasesWidth = 256;
inline constexpr size_t Expires = 645;
inline constexpr size_t ExpiryDate = 648;
inline constexpr size_t Password = 772;  // length byte + up to 127 characters
inline constexpr size_t PasswordWidth = 128;
inline constexpr size_t Mailbox = 900;  // the mail folder's name: length byte + up to 255
inline constexpr size_t MailboxWidth = 256;
inline constexpr size_t Admin = 1156;  // 1: the domain's administrator
}  // namespace account_field

struct AccountRecord {
  std::array<uint8_t, kAccountRecordSize> Bytes{};

  uint8_t Type() const { return Bytes[account_field::Type]; }
  void SetType(uint8_t type) { Bytes[account_field::Type] = type; }
  // A length byte beyond the field counts as the field's width.
  std::string Aliases() const;
  // Cut to 255 characters; the bytes behind the new text stay as they were.
  void SetAliases(std::string_view aliases);
  bool Expires() const { return Bytes[account_field::Expires] != 0; }
  void SetExpires(bool expires) { Bytes[account_field::Expires] = expires ? 1 : 0; }
  double ExpiryDate() const;
  void SetExpiryDate(double date);
  std::string Password() const;
  // Cut to 127 characters.
  void SetPassword(std::string_view password);
  // Each cut to 255 characters.
  std::string Name() const;
  void SetName(std::string_view name);
  std::string Mailbox() const;
  void SetMailbox(std::string_view mailbox);
  bool Admin() const { return Bytes[account_field::Admin] != 0; }
  void SetAdmin(bool admin) { Bytes[account_field::Admin] = admin ? 1 : 0; }

  bool operator==(const AccountRecord&) const = default;
};

// The byte that character i of a stored password is combined with.
uint8_t PasswordMask(size_t position);
// Between the plain and the stored form of the password; applying it twice
// restores the record. Only user accounts carry a password in stored form.
void TogglePasswordForm(AccountRecord& record);

// Plain record to the bytes of "users.cfg" and back (the password's stored
// form, then the transform; each record on its own).
void EncodeAccountRecord(AccountRecord& record);
void DecodeAccountRecord(AccountRecord& record);
