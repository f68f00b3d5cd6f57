// "settings.cfg" and "domains.cfg" come from an installation of any age and
// state: any bytes must load, normalise and save without reading or writing
// outside a buffer, and without a count asking for more than the files hold.
//
// Input: one byte of choices (bit 0: write domains.cfg; bit 1: storage mode
// 2; bit 2: the table in the old 32-byte form), two bytes of settings.cfg
// length, the settings bytes (as stored), then the domains.cfg bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace {

std::string Folder() {
  static std::string folder = [] {
    std::string base = platform::IsFolder("/dev/shm") ? "/dev/shm/" : "/tmp/";
    std::string path = base + "fuzz-config-" + std::to_string(getpid()) + "\\";
    ForceFolders(path + "config\\");
    return path;
  }();
  return folder;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static platform::FakeSystem system;
  system.Dns = {"192.0.2.1", {"192.0.2.2"}};
  const uint8_t choices = data[0];
  size_t settingsLength = std::min<size_t>(data[1] | (data[2] << 8), size - 3);
  const char* bytes = reinterpret_cast<const char*>(data + 3);
  std::string settings(bytes, settingsLength);
  std::string domains(bytes + settingsLength, size - 3 - settingsLength);

  const std::string install = Folder(), config = install + "config\\";
  platform::RemoveFile(config + kDomainsFileName);
  WriteStringToFile(settings, config + kSettingsFileName);
  if (choices & 1) WriteStringToFile(domains, config + kDomainsFileName);

  Settings() = BuiltInSettings();
  if (choices & 2) Settings().SetNumber(settings_field::StorageMode, kDatabaseStorageMode);
  if (choices & 4) Settings().SetNumber(settings_field::DomainsWide, 0);
  Domains().Clear();
  ServerFolders().InstallPath = install;
  ServerFolders().ConfigPath = config;

  Check(LoadSettings(true, false));
  const DomainTable& table = Domains();
  Check(table.Loaded);
  Check(Settings().DomainCount() == static_cast<int32_t>(table.Records.size()));
  // No more records than the stored bytes can make, or 100 from the old list.
  size_t stored = (choices & 1) ? domains.size() : settingsLength;
  Check(table.Records.size() <= stored / 32 + 1 || table.Records.size() <= 100);
  Check(PrimaryDomainName().size() <= kDomainNameLength);
  for (const SettingsField& field : kSettingsFields)
    if (field.Kind == SettingsFieldKind::Text) Check(Settings().Text(field).size() < field.Width);

  const SettingsRecord loaded = Settings();
  Check(SaveSettings(false));
  Check(Settings() == loaded);
  Check(ReadFileToString(config + kSettingsFileName).size() == kSettingsRecordSize);
  Check(ReadFileToString(config + kDomainsFileName).size() ==
        table.Records.size() * kDomainRecordSize);
  return 0;
}
