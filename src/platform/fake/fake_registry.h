// An in-memory registry for tests. It takes the place of the system's while
// it lives and behaves like it where the installer can tell: names without
// regard to letter case (keeping the case they were created with), parents
// created with a key, subkeys and values listed in name order as Wine lists
// them, writes through a key opened for reading denied, handles of a deleted
// key answering "key deleted", HKEY_PERFORMANCE_DATA holding no keys. Each
// root is a tree of its own (the system's aliases between roots are not
// modelled).
//
// Tests can deny writes to a key, as its security would, and make single
// operations on a key fail with a chosen error code.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace platform {

class FakeRegistry final : public Registry {
 public:
  enum class Operation { Open, Create, ReadValue, WriteValue, DeleteValue, Enumerate, DeleteKey };

  FakeRegistry();
  ~FakeRegistry() override;
  FakeRegistry(const FakeRegistry&) = delete;
  FakeRegistry& operator=(const FakeRegistry&) = delete;

  // Set-up and inspection for tests; they bypass denials and injected
  // failures. SetValue creates the key and its parents.
  void SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                const RegistryValue& value);
  void SetString(RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& text);
  std::optional<RegistryValue> Value(RegistryRoot root, const std::string& path,
                                     const std::string& name) const;
  bool HasKey(RegistryRoot root, const std::string& path) const;

  // As a key's security can: opening the key for writing, creating a subkey
  // below it and deleting it fail with kRegistryAccessDenied. Applies to the
  // path whether or not the key exists yet.
  void DenyWrites(RegistryRoot root, const std::string& path);
  // Every later `operation` on the key at `path` fails with `code` until the
  // failures are cleared. Open also answers KeyExists as the system would
  // (access denied: the key exists; not found: it does not).
  void InjectFailure(Operation operation, RegistryRoot root, const std::string& path,
                     uint32_t code);
  void ClearFailures();
  // An unavailable root fails every call with kRegistryInvalidHandle.
  void SetRootAvailable(RegistryRoot root, bool available);

  // Keys opened through the interface and not closed yet.
  int OpenKeyCount() const;

  struct State;

 protected:
  RegistryResult<RegistryKeyPtr> DoOpenKey(RegistryRoot root, const std::string& path,
                                           RegistryAccess access) override;
  RegistryResult<RegistryKeyPtr> DoCreateKey(RegistryRoot root, const std::string& path,
                                             RegistryAccess access) override;
  RegistryResult<bool> DoKeyExists(RegistryRoot root, const std::string& path) override;
  RegistryStatus DoDeleteKeyTree(RegistryRoot root, const std::string& path) override;

 private:
  // Shared with the open keys, which may outlive this object.
  std::shared_ptr<State> state_;
  Registry* previous_;
};

}  // namespace platform
