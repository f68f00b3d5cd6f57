#include "config/install_registry.h"

#include <array>
#include <string>

#include "platform/registry.h"

namespace {

using platform::RegistryAccess;
using platform::RegistryRoot;

constexpr std::array<const char*, 6> kInfoStrings = {"InstallDir", "Version", "Name",
                                                     "Email",      "Country", "Company"};
constexpr size_t kMaxBinaryValue = 4096;

// The six strings; a missing one is written as empty text.
bool CopyStrings(platform::RegistryKey& from, platform::RegistryKey& to) {
  for (const char* name : kInfoStrings) {
    auto value = from.ReadString(name);
    if (!value && !value.NotFound()) return false;
    if (!to.WriteString(name, value.ValueOr(std::string()))) return false;
  }
  return true;
}

// A binary value when it exists; another type or more than 4096 bytes fails.
bool CopyBinary(platform::RegistryKey& from, const char* name, platform::RegistryKey& to,
                const char* newName) {
  auto value = from.ReadBinary(name);
  if (value.NotFound()) return true;
  if (!value || value.Value().size() > kMaxBinaryValue) return false;
  return static_cast<bool>(to.WriteBinary(newName, value.Value()));
}

bool KeyExists(platform::Registry& registry, const char* path) {
  auto exists = registry.KeyExists(RegistryRoot::LocalMachine, path);
  return exists && exists.Value();
}

// Copies one old key; false when an error ends the migration.
bool CopyKey(platform::Registry& registry, const char* oldPath, const char* newPath,
             bool withBinaries) {
  auto from = registry.OpenKey(RegistryRoot::LocalMachine, oldPath, RegistryAccess::Read);
  if (!from) return false;
  auto to = registry.CreateKey(RegistryRoot::LocalMachine, newPath, RegistryAccess::All);
  if (!to) return false;
  platform::RegistryKey& source = *from.Value();
  platform::RegistryKey& target = *to.Value();
  if (!CopyStrings(source, target)) return false;
  if (!withBinaries) return true;
  for (const char* name : {"DNSQuery", "Settings", "SMTPTest"})
    if (!CopyBinary(source, name, target, name)) return false;
  return CopyBinary(source, "TOLVANotify", target, "Notify");
}

}  // namespace

void MigrateInstallRegistry(bool deleteOld) {
  platform::Registry& registry = platform::CurrentRegistry();
  auto nivalis = registry.KeyExists(RegistryRoot::LocalMachine, kNivalisKey);
  if (!nivalis || nivalis.Value()) return;

  if (KeyExists(registry, kOldServerInfoKey)) {
    if (!CopyKey(registry, kOldServerInfoKey, kServerInfoKey, true)) return;
    if (deleteOld) registry.DeleteKeyTree(RegistryRoot::LocalMachine, kOldServerInfoKey);
  }
  if (KeyExists(registry, kOldWebMailInfoKey)) {
    if (!CopyKey(registry, kOldWebMailInfoKey, kWebMailInfoKey, false)) return;
    if (deleteOld) registry.DeleteKeyTree(RegistryRoot::LocalMachine, kOldWebMailInfoKey);
  }
}
