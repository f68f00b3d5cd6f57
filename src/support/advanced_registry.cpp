#include "support/advanced_registry.h"

using platform::RegistryAccess;
using platform::RegistryError;
using platform::RegistryKeyPtr;

namespace {

std::string FullKeyName(platform::RegistryRoot root, const std::string& path) {
  std::string normal = platform::NormalRegistryPath(path);
  return platform::RegistryRootName(root) + (normal.empty() ? "" : "\\" + normal);
}

}  // namespace

platform::RegistryRoot RegistryRootOf(TRegistryKey key) {
  // The enumeration follows the order of the predefined root keys.
  return static_cast<platform::RegistryRoot>(
      static_cast<uint32_t>(platform::RegistryRoot::ClassesRoot) + static_cast<uint32_t>(key));
}

RegistryWriteError::RegistryWriteError(const std::string& key, const std::string& valueName,
                                       const RegistryError& error)
    : std::runtime_error("Failed to write \"" + valueName + "\" in \"" + key + "\": " + error.Text),
      code_(error.Code) {}

TAdvancedRegistry::TAdvancedRegistry(TRegistryKey rootKey, std::string area, std::string section)
    : area_(std::move(area)), section_(std::move(section)) {
  SetRegistryRootKey(rootKey);
}

void TAdvancedRegistry::SetRegistryRootKey(TRegistryKey rootKey) {
  // No key stays open between operations, so there is none to close here.
  rootKey_ = rootKey;
  root_ = RegistryRootOf(rootKey);
}

void TAdvancedRegistry::Fail(const RegistryError& error) {
  lastError_ = error;
  if (OnError) OnError(*this);
}

RegistryKeyPtr TAdvancedRegistry::OpenExisting() {
  std::string path = KeyPath();
  auto exists = Registry().KeyExists(root_, path);
  if (!exists) {
    Fail(exists.Error());
    return nullptr;
  }
  if (!exists.Value()) {
    Fail({platform::kRegistryNotFound,
          "The key \"" + FullKeyName(root_, path) + "\" does not exist"});
    return nullptr;
  }
  auto key = Registry().OpenKey(root_, path, RegistryAccess::All);
  if (!key) {
    Fail(key.Error());
    return nullptr;
  }
  return std::move(key.Value());
}

RegistryKeyPtr TAdvancedRegistry::OpenOrCreate() {
  auto key = Registry().CreateKey(root_, KeyPath(), RegistryAccess::All);
  if (!key) {
    Fail(key.Error());
    return nullptr;
  }
  return std::move(key.Value());
}

void TAdvancedRegistry::DeleteValue(const std::string& name) {
  lastError_ = {};
  RegistryKeyPtr key = OpenExisting();
  if (!key) return;
  platform::RegistryStatus status = key->DeleteValue(name);
  if (!status && status.Error().Code != platform::kRegistryNotFound) Fail(status.Error());
}

std::string TAdvancedRegistry::ReadStringValue(const std::string& name) {
  lastError_ = {};
  RegistryKeyPtr key = OpenExisting();
  if (!key) return {};
  auto text = key->ReadString(name);
  if (text) return text.Value();
  if (!text.NotFound()) Fail(text.Error());
  return {};
}

void TAdvancedRegistry::WriteStringValue(const std::string& name, const std::string& value) {
  lastError_ = {};
  RegistryKeyPtr key = OpenOrCreate();
  if (!key) return;
  auto written = key->WriteString(name, value);
  if (!written) {
    lastError_ = written.Error();
    throw RegistryWriteError(FullKeyName(root_, KeyPath()), name, written.Error());
  }
}

bool TAdvancedRegistry::ReadBoolValue(const std::string& name) {
  lastError_ = {};
  RegistryKeyPtr key = OpenExisting();
  if (!key) return false;
  auto number = key->ReadDword(name);
  if (number) return number.Value() != 0;
  Fail(number.Error());
  return false;
}

void TAdvancedRegistry::WriteBoolValue(const std::string& name, bool value) {
  lastError_ = {};
  RegistryKeyPtr key = OpenOrCreate();
  if (!key) return;
  auto written = key->WriteDword(name, value ? 1 : 0);
  if (!written) {
    lastError_ = written.Error();
    throw RegistryWriteError(FullKeyName(root_, KeyPath()), name, written.Error());
  }
}

void TAdvancedRegistry::DeleteRegistryKey(const std::string& path) {
  lastError_ = {};
  auto deleted = Registry().DeleteKeyTree(root_, path);
  if (!deleted) Fail(deleted.Error());
}
