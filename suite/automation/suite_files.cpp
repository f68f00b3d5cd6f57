#include "suite_files.h"

#include <mutex>

#include "config/server_folders.h"
#include "config/settings_store.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace {

HMODULE standInModule = nullptr;

std::mutex& LogLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

void SetStandInModule(HMODULE module) {
  standInModule = module;
}

std::string StandInModulePath() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(standInModule, path, MAX_PATH);
  return std::string(path, length);
}

std::string StandInInstallFolder() {
  return ExtractFilePath(StandInModulePath());
}

void LoadSuiteSettings() {
  TServerFolders& folders = ServerFolders();
  folders.InstallPath = StandInInstallFolder();
  folders.ConfigPath = folders.InstallPath + "config\\";
  LoadSettings(false, false);
}

bool SaveSuiteSettings(bool settingsOnly) {
  return SaveSettings(settingsOnly);
}

void WriteStandInLog(const std::string& line) {
  std::lock_guard lock(LogLock());
  try {
    WriteStringToFile(line + "\r\n", StandInInstallFolder() + "logs\\automation.log", false, true);
  } catch (...) {
    // The log is for the tests; the call goes on without it.
  }
}
