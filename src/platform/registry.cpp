// What every registry implementation shares: path and root checks before a
// call reaches the system, and the typed readers and writers over raw values.
#include "platform/registry.h"

#include <cstdio>

namespace platform {
namespace {

RegistryError UnknownRoot(RegistryRoot root) {
  char text[64];
  std::snprintf(text, sizeof text, "Unknown registry root key 0x%08X", static_cast<unsigned>(root));
  return {kRegistryInvalidHandle, text};
}

RegistryError WrongType(const std::string& name, RegistryValueType type) {
  return {kRegistryUnsupportedType,
          "The value \"" + name + "\" has the type " + std::to_string(static_cast<uint32_t>(type))};
}

RegistryBytes BytesOf(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  return RegistryBytes(bytes, bytes + size);
}

}  // namespace

std::string NormalRegistryPath(const std::string& path) {
  std::string result;
  result.reserve(path.size());
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      if (!result.empty()) result += '\\';
      result.append(path, start, end - start);
    }
    start = end + 1;
  }
  return result;
}

bool IsKnownRegistryRoot(RegistryRoot root) {
  auto value = static_cast<uint32_t>(root);
  return value >= static_cast<uint32_t>(RegistryRoot::ClassesRoot) &&
         value <= static_cast<uint32_t>(RegistryRoot::DynData);
}

std::string RegistryRootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser:
      return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::Users:
      return "HKEY_USERS";
    case RegistryRoot::PerformanceData:
      return "HKEY_PERFORMANCE_DATA";
    case RegistryRoot::CurrentConfig:
      return "HKEY_CURRENT_CONFIG";
    case RegistryRoot::DynData:
      return "HKEY_DYN_DATA";
  }
  return UnknownRoot(root).Text;
}

RegistryResult<RegistryKeyPtr> Registry::OpenKey(RegistryRoot root, const std::string& path,
                                                 RegistryAccess access) {
  if (!IsKnownRegistryRoot(root)) return UnknownRoot(root);
  return DoOpenKey(root, NormalRegistryPath(path), access);
}

RegistryResult<RegistryKeyPtr> Registry::CreateKey(RegistryRoot root, const std::string& path,
                                                   RegistryAccess access) {
  if (!IsKnownRegistryRoot(root)) return UnknownRoot(root);
  return DoCreateKey(root, NormalRegistryPath(path), access);
}

RegistryResult<bool> Registry::KeyExists(RegistryRoot root, const std::string& path) {
  if (!IsKnownRegistryRoot(root)) return UnknownRoot(root);
  return DoKeyExists(root, NormalRegistryPath(path));
}

RegistryStatus Registry::DeleteKeyTree(RegistryRoot root, const std::string& path) {
  if (!IsKnownRegistryRoot(root)) return UnknownRoot(root);
  std::string normal = NormalRegistryPath(path);
  if (normal.empty())
    return RegistryError{kRegistryInvalidParameter,
                         "Refusing to delete the root key " + RegistryRootName(root)};
  return DoDeleteKeyTree(root, normal);
}

RegistryResult<std::string> RegistryKey::ReadString(const std::string& name) {
  auto value = ReadValue(name);
  if (!value) return value.Error();
  const RegistryValue& stored = value.Value();
  if (stored.Type != RegistryValueType::String && stored.Type != RegistryValueType::ExpandString)
    return WrongType(name, stored.Type);
  const auto* text = reinterpret_cast<const char*>(stored.Data.data());
  size_t length = 0;
  while (length < stored.Data.size() && text[length] != '\0')
    ++length;
  return std::string(text, length);
}

RegistryResult<uint32_t> RegistryKey::ReadDword(const std::string& name) {
  auto value = ReadValue(name);
  if (!value) return value.Error();
  const RegistryValue& stored = value.Value();
  if (stored.Type != RegistryValueType::Dword) return WrongType(name, stored.Type);
  if (stored.Data.size() != 4)
    return RegistryError{kRegistryInvalidData, "The value \"" + name + "\" holds " +
                                                   std::to_string(stored.Data.size()) +
                                                   " bytes instead of 4"};
  const RegistryBytes& d = stored.Data;  // little-endian, whatever the host
  return static_cast<uint32_t>(d[0] | d[1] << 8 | d[2] << 16 | static_cast<uint32_t>(d[3]) << 24);
}

RegistryResult<RegistryBytes> RegistryKey::ReadBinary(const std::string& name) {
  auto value = ReadValue(name);
  if (!value) return value.Error();
  if (value.Value().Type != RegistryValueType::Binary) return WrongType(name, value.Value().Type);
  return std::move(value.Value().Data);
}

RegistryStatus RegistryKey::WriteString(const std::string& name, const std::string& text) {
  return WriteValue(name, {RegistryValueType::String, BytesOf(text.c_str(), text.size() + 1)});
}

RegistryStatus RegistryKey::WriteDword(const std::string& name, uint32_t value) {
  RegistryBytes bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                      static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return WriteValue(name, {RegistryValueType::Dword, bytes});
}

RegistryStatus RegistryKey::WriteBinary(const std::string& name, const RegistryBytes& data) {
  return WriteValue(name, {RegistryValueType::Binary, data});
}

}  // namespace platform
