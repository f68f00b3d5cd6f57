// The system registry: keys below the predefined root keys, and named values
// of a few types. Every call reports failure by value, with the system's error
// code; nothing here throws.
//
// Key paths are relative to the root key, names separated by `\`. Leading,
// trailing and doubled delimiters are dropped before the path reaches the
// system, so "\Software\Nivalis\" and "Software\Nivalis" name the same key.
// Key and value names compare without regard to letter case; a name keeps the
// case it was created with.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The predefined root keys, by their system handle values.
enum class RegistryRoot : uint32_t {
  ClassesRoot = 0x80000000,
  CurrentUser = 0x80000001,
  LocalMachine = 0x80000002,
  Users = 0x80000003,
  PerformanceData = 0x80000004,
  CurrentConfig = 0x80000005,
  DynData = 0x80000006,
};

// Value types by their system numbers (REG_NONE ... REG_QWORD).
enum class RegistryValueType : uint32_t {
  None = 0,
  String = 1,
  ExpandString = 2,
  Binary = 3,
  Dword = 4,
  DwordBigEndian = 5,
  Link = 6,
  MultiString = 7,
  ResourceList = 8,
  FullResourceDescriptor = 9,
  ResourceRequirementsList = 10,
  Qword = 11,
};

enum class RegistryAccess {
  Read,       // query values, enumerate
  ReadWrite,  // and set values, create subkeys
  All,        // every right, as KEY_ALL_ACCESS grants
};

// Error codes as Windows numbers them, on every host.
inline constexpr uint32_t kRegistryNotFound = 2;            // ERROR_FILE_NOT_FOUND
inline constexpr uint32_t kRegistryAccessDenied = 5;        // ERROR_ACCESS_DENIED
inline constexpr uint32_t kRegistryInvalidHandle = 6;       // ERROR_INVALID_HANDLE
inline constexpr uint32_t kRegistryInvalidData = 13;        // ERROR_INVALID_DATA
inline constexpr uint32_t kRegistryInvalidParameter = 87;   // ERROR_INVALID_PARAMETER
inline constexpr uint32_t kRegistryNotImplemented = 120;    // ERROR_CALL_NOT_IMPLEMENTED
inline constexpr uint32_t kRegistryKeyDeleted = 1018;       // ERROR_KEY_DELETED
inline constexpr uint32_t kRegistryUnsupportedType = 1630;  // ERROR_UNSUPPORTED_TYPE

struct RegistryError {
  uint32_t Code = 0;  // never 0 in a failed result
  std::string Text;   // the system's text for the code, or our own description
};

// The outcome of a call that yields nothing but success or failure.
class RegistryStatus {
 public:
  RegistryStatus() = default;
  RegistryStatus(RegistryError error) : error_(std::move(error)) {}
  bool Ok() const { return error_.Code == 0; }
  explicit operator bool() const { return Ok(); }
  const RegistryError& Error() const { return error_; }

 private:
  RegistryError error_;
};

// A value, or the error that prevented it.
template <class T>
class RegistryResult {
 public:
  RegistryResult(T value) : value_(std::move(value)) {}
  RegistryResult(RegistryError error) : error_(std::move(error)) {}
  bool Ok() const { return value_.has_value(); }
  explicit operator bool() const { return Ok(); }
  // Only for a result that is Ok().
  T& Value() { return *value_; }
  const T& Value() const { return *value_; }
  T ValueOr(T fallback) const { return value_ ? *value_ : std::move(fallback); }
  const RegistryError& Error() const { return error_; }
  bool NotFound() const { return !Ok() && error_.Code == kRegistryNotFound; }
  RegistryStatus Status() const { return Ok() ? RegistryStatus() : RegistryStatus(error_); }

 private:
  std::optional<T> value_;
  RegistryError error_;
};

using RegistryBytes = std::vector<uint8_t>;

// A value as stored: its type and its bytes (text values in the ANSI code
// page, with their terminating NUL as the system returns them).
struct RegistryValue {
  RegistryValueType Type = RegistryValueType::None;
  RegistryBytes Data;
  bool operator==(const RegistryValue&) const = default;
};

// An open key. Destroying it closes the key.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  virtual RegistryResult<RegistryValue> ReadValue(const std::string& name) = 0;
  virtual RegistryStatus WriteValue(const std::string& name, const RegistryValue& value) = 0;
  virtual RegistryResult<RegistryValueType> ValueType(const std::string& name) = 0;
  virtual RegistryStatus DeleteValue(const std::string& name) = 0;
  // Names in the order the system lists them; the empty name is the key's
  // default value.
  virtual RegistryResult<std::vector<std::string>> ValueNames() = 0;
  virtual RegistryResult<std::vector<std::string>> SubkeyNames() = 0;

  // A REG_SZ or (unexpanded) REG_EXPAND_SZ value: its text up to the first
  // NUL. Other types fail with kRegistryUnsupportedType.
  RegistryResult<std::string> ReadString(const std::string& name);
  // A REG_DWORD of four bytes; another size fails with kRegistryInvalidData.
  RegistryResult<uint32_t> ReadDword(const std::string& name);
  RegistryResult<RegistryBytes> ReadBinary(const std::string& name);
  // Written as REG_SZ with its terminating NUL.
  RegistryStatus WriteString(const std::string& name, const std::string& text);
  RegistryStatus WriteDword(const std::string& name, uint32_t value);
  RegistryStatus WriteBinary(const std::string& name, const RegistryBytes& data);
};

using RegistryKeyPtr = std::unique_ptr<RegistryKey>;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens an existing key; a missing one fails with kRegistryNotFound.
  RegistryResult<RegistryKeyPtr> OpenKey(RegistryRoot root, const std::string& path,
                                         RegistryAccess access = RegistryAccess::Read);
  // Opens the key, creating it and any missing parents.
  RegistryResult<RegistryKeyPtr> CreateKey(RegistryRoot root, const std::string& path,
                                           RegistryAccess access = RegistryAccess::All);
  // True also for a key that exists but may not be read; an error only when
  // the question cannot be answered (an unusable root, no registry at all).
  RegistryResult<bool> KeyExists(RegistryRoot root, const std::string& path);
  // Deletes the key with all its subkeys and values. An empty path, which
  // would empty a whole root key, is refused with kRegistryInvalidParameter.
  RegistryStatus DeleteKeyTree(RegistryRoot root, const std::string& path);

 protected:
  // The implementations receive a known root and a normalised path.
  virtual RegistryResult<RegistryKeyPtr> DoOpenKey(RegistryRoot root, const std::string& path,
                                                   RegistryAccess access) = 0;
  virtual RegistryResult<RegistryKeyPtr> DoCreateKey(RegistryRoot root, const std::string& path,
                                                     RegistryAccess access) = 0;
  virtual RegistryResult<bool> DoKeyExists(RegistryRoot root, const std::string& path) = 0;
  virtual RegistryStatus DoDeleteKeyTree(RegistryRoot root, const std::string& path) = 0;
};

// The registry in use: the system's, unless a test installed another.
Registry& CurrentRegistry();
// Installs a registry (nullptr: the system's again); returns the previous one.
Registry* InstallRegistry(Registry* registry);

// The path as the implementations receive it: names joined by single `\`.
std::string NormalRegistryPath(const std::string& path);
// "HKEY_LOCAL_MACHINE" and so on, for messages.
std::string RegistryRootName(RegistryRoot root);
bool IsKnownRegistryRoot(RegistryRoot root);

}  // namespace platform
