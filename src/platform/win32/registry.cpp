#include "platform/registry.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/native.h"

namespace platform {
namespace {

RegistryError ErrorOf(LONG code) {
  auto number = static_cast<uint32_t>(code);
  return {number, SystemErrorText(number)};
}

// The predefined handles are sign-extended on 64-bit Windows, so they are
// taken from the system's own definitions rather than built from the number.
HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
      return HKEY_USERS;
    case RegistryRoot::PerformanceData:
      return HKEY_PERFORMANCE_DATA;
    case RegistryRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case RegistryRoot::DynData:
      return HKEY_DYN_DATA;
  }
  return nullptr;
}

REGSAM RightsOf(RegistryAccess access) {
  switch (access) {
    case RegistryAccess::Read:
      return KEY_READ;
    case RegistryAccess::ReadWrite:
      return KEY_READ | KEY_WRITE;
    case RegistryAccess::All:
      return KEY_ALL_ACCESS;
  }
  return KEY_READ;
}

// Calls enumerate(index, buffer, &length) until the system has no more items;
// the buffer grows when a name does not fit.
template <class Enumerate>
RegistryResult<std::vector<std::string>> EnumerateNames(Enumerate enumerate) {
  std::vector<std::string> names;
  std::string buffer(256, '\0');
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    LONG result = enumerate(index, buffer.data(), &length);
    if (result == ERROR_NO_MORE_ITEMS) return names;
    if (result == ERROR_MORE_DATA && buffer.size() < 65536) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (result != ERROR_SUCCESS) return ErrorOf(result);
    names.emplace_back(buffer.data(), length);
    ++index;
  }
}

class Win32Key final : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }

  RegistryResult<RegistryValue> ReadValue(const std::string& name) override {
    // A value may grow between asking its size and reading it: ask again.
    for (int attempt = 0; attempt < 8; ++attempt) {
      DWORD type = REG_NONE, size = 0;
      LONG result = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
      if (result != ERROR_SUCCESS) return ErrorOf(result);
      RegistryBytes data(size + 1);
      DWORD got = size;
      result = RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &got);
      if (result == ERROR_MORE_DATA) continue;
      if (result != ERROR_SUCCESS) return ErrorOf(result);
      data.resize(got);
      return RegistryValue{static_cast<RegistryValueType>(type), std::move(data)};
    }
    return ErrorOf(ERROR_MORE_DATA);
  }

  RegistryStatus WriteValue(const std::string& name, const RegistryValue& value) override {
    static const BYTE kNothing = 0;
    const BYTE* data = value.Data.empty() ? &kNothing : value.Data.data();
    LONG result = RegSetValueExA(key_, name.c_str(), 0, static_cast<DWORD>(value.Type), data,
                                 static_cast<DWORD>(value.Data.size()));
    if (result != ERROR_SUCCESS) return ErrorOf(result);
    return {};
  }

  RegistryResult<RegistryValueType> ValueType(const std::string& name) override {
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return ErrorOf(result);
    return static_cast<RegistryValueType>(type);
  }

  RegistryStatus DeleteValue(const std::string& name) override {
    LONG result = RegDeleteValueA(key_, name.c_str());
    if (result != ERROR_SUCCESS) return ErrorOf(result);
    return {};
  }

  RegistryResult<std::vector<std::string>> ValueNames() override {
    return EnumerateNames([this](DWORD index, char* name, DWORD* length) {
      return RegEnumValueA(key_, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

  RegistryResult<std::vector<std::string>> SubkeyNames() override {
    return EnumerateNames([this](DWORD index, char* name, DWORD* length) {
      return RegEnumKeyExA(key_, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

 private:
  HKEY key_;
};

class Win32Registry final : public Registry {
 protected:
  RegistryResult<RegistryKeyPtr> DoOpenKey(RegistryRoot root, const std::string& path,
                                           RegistryAccess access) override {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(RootHandle(root), path.c_str(), 0, RightsOf(access), &key);
    if (result != ERROR_SUCCESS) return ErrorOf(result);
    return RegistryKeyPtr(new Win32Key(key));
  }

  RegistryResult<RegistryKeyPtr> DoCreateKey(RegistryRoot root, const std::string& path,
                                             RegistryAccess access) override {
    HKEY key = nullptr;
    LONG result =
        RegCreateKeyExA(RootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        RightsOf(access), nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return ErrorOf(result);
    return RegistryKeyPtr(new Win32Key(key));
  }

  RegistryResult<bool> DoKeyExists(RegistryRoot root, const std::string& path) override {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(RootHandle(root), path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (result == ERROR_SUCCESS) {
      RegCloseKey(key);
      return true;
    }
    if (result == ERROR_FILE_NOT_FOUND) return false;
    if (result == ERROR_ACCESS_DENIED) return true;  // there, but not ours to read
    return ErrorOf(result);
  }

  RegistryStatus DoDeleteKeyTree(RegistryRoot root, const std::string& path) override {
    LONG result = RegDeleteTreeA(RootHandle(root), path.c_str());
    if (result != ERROR_SUCCESS) return ErrorOf(result);
    return {};
  }
};

}  // namespace

Registry& NativeRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace platform
