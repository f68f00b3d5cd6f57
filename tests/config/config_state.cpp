#include "config_state.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/temp_folder.h"
#include "config/database_library.h"
#include "config/domain_table.h"
#include "config/info_prefix.h"
#include "config/server_folders.h"
#include "config/server_title.h"
#include "config/settings_store.h"
#include "config/settings_transform.h"
#include "config/time_zone_text.h"

void ResetConfigStore() {
  ReleaseDatabaseLibrary();
  Settings() = BuiltInSettings();
  ServerFolders() = TServerFolders();
  PathFileValues() = TPathFileValues();
  Domains().Clear();
  Domains().Loaded = false;
  ServerTitle() = TServerTitle();
  SettingsLoadState() = TSettingsLoadState();
  LocalTimeZoneText().clear();
  InfoPrefix().clear();
}

void PutSettingsFile(const std::string& path, const SettingsRecord& record, size_t length) {
  SettingsRecord stored = record;
  TransformSettingsBytes(stored.Bytes.data(), stored.Bytes.size(), 0);
  PutFile(path, std::string(reinterpret_cast<const char*>(stored.Bytes.data()), length));
}

SettingsRecord GetSettingsFile(const std::string& path) {
  std::string bytes = GetFile(path);
  SettingsRecord record;
  size_t length = std::min(bytes.size(), record.Bytes.size());
  std::copy_n(bytes.begin(), length, record.Bytes.begin());
  TransformSettingsBytes(record.Bytes.data(), length, 0);
  return record;
}

void UseInstallFolder(const std::string& install) {
  ServerFolders().InstallPath = install;
  ServerFolders().ConfigPath = install + "config\\";
}
