// A registry component bound to one key: a root key, an area (a key path
// written with a leading `\`) and a section (a subkey of the area). Each
// operation works on area + "\" + section as they are at the call, opens the
// key with full access and closes it before it returns.
//
// Failures are reported through OnError, never by an exception, with one
// exception of their own: a value that cannot be written into a key that was
// opened raises RegistryWriteError, which reaches the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/registry.h"

enum class TRegistryKey {
  hkCLASSES_ROOT,
  hkCURRENT_USER,
  hkLOCAL_MACHINE,
  hkUSERS,
  hkPERFORMANCE_DATA,
  hkCURRENT_CONFIG,
  hkDYN_DATA,
};

platform::RegistryRoot RegistryRootOf(TRegistryKey key);

// Writing a value into an opened key failed. what() reads
// `Failed to write "VALUE" in "KEY": SYSTEM TEXT`.
class RegistryWriteError : public std::runtime_error {
 public:
  RegistryWriteError(const std::string& key, const std::string& valueName,
                     const platform::RegistryError& error);
  uint32_t Code() const { return code_; }

 private:
  uint32_t code_;
};

class TAdvancedRegistry {
 public:
  using TErrorEvent = std::function<void(TAdvancedRegistry& sender)>;

  TAdvancedRegistry() = default;
  TAdvancedRegistry(TRegistryKey rootKey, std::string area, std::string section);
  TAdvancedRegistry(const TAdvancedRegistry&) = delete;
  TAdvancedRegistry& operator=(const TAdvancedRegistry&) = delete;

  TRegistryKey RegistryRootKey() const { return rootKey_; }
  void SetRegistryRootKey(TRegistryKey rootKey);
  const std::string& RegistryArea() const { return area_; }
  void SetRegistryArea(std::string area) { area_ = std::move(area); }
  const std::string& RegistrySection() const { return section_; }
  void SetRegistrySection(std::string section) { section_ = std::move(section); }

  // Fired once for every failing operation, with this component as sender.
  TErrorEvent OnError;

  // The registry the operations go to (the system's, or one a test
  // installed) and the root key they use there.
  platform::Registry& Registry() const { return platform::CurrentRegistry(); }
  platform::RegistryRoot RootKey() const { return root_; }
  // area + "\" + section.
  std::string KeyPath() const { return area_ + "\\" + section_; }
  // What the last operation failed with; Code 0 after one that succeeded.
  const platform::RegistryError& LastError() const { return lastError_; }

  // Empty text when the key or value is missing or the value is not text
  // (REG_SZ, or REG_EXPAND_SZ read unexpanded). A missing value in an
  // existing key is not a failure; the other cases fire OnError.
  std::string ReadStringValue(const std::string& name);
  // Creates the key (and missing parents) when needed; writes REG_SZ.
  void WriteStringValue(const std::string& name, const std::string& value);
  // True when the value is a REG_DWORD other than 0. A missing key or value,
  // or a value of another type, fires OnError and reads as false.
  bool ReadBoolValue(const std::string& name);
  // Writes REG_DWORD 1 or 0, creating the key when needed.
  void WriteBoolValue(const std::string& name, bool value);
  // Deletes a value of the key; a missing key or value is no failure.
  void DeleteValue(const std::string& name);
  // Deletes a key with its subkeys; the path is relative to the root key,
  // not to area and section.
  void DeleteRegistryKey(const std::string& path);

 private:
  platform::RegistryKeyPtr OpenExisting();
  platform::RegistryKeyPtr OpenOrCreate();
  void Fail(const platform::RegistryError& error);

  TRegistryKey rootKey_ = TRegistryKey::hkCURRENT_USER;
  platform::RegistryRoot root_ = platform::RegistryRoot::CurrentUser;
  std::string area_;
  std::string section_;
  platform::RegistryError lastError_;
};
