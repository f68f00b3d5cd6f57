#include "config/server_folders.h"

#include "config/settings_record.h"
#include "support/paths.h"
#include "support/text.h"

TServerFolders& ServerFolders() {
  static TServerFolders folders;
  return folders;
}

TPathFileValues& PathFileValues() {
  static TPathFileValues values;
  return values;
}

std::string FolderPath(std::string_view path) {
  std::string folder = WithPathDelimiter(path, true, false);
  if (folder.size() > kShortStringLength) folder = folder.substr(0, kShortStringLength - 1) + "\\";
  return folder;
}

std::string AntispamFolder() {
  const TServerFolders& folders = ServerFolders();
  return folders.SpamPath.empty() ? FolderPath(folders.InstallPath + "spam\\") : folders.SpamPath;
}

std::string GroupwareFolder() {
  const TServerFolders& folders = ServerFolders();
  return folders.CalendarPath.empty() ? FolderPath(folders.InstallPath + "calendar\\")
                                      : folders.CalendarPath;
}

void SetDefaultFolders() {
  TServerFolders& folders = ServerFolders();
  const std::string& install = folders.InstallPath;
  folders.ConfigPath = FolderPath(install + "config\\");
  folders.WebPath = FolderPath(install + "html\\");
  SettingsRecord& settings = Settings();
  settings.SetText(settings_field::TempPath, FolderPath(install + "temp\\"));
  settings.SetText(settings_field::MailPath, FolderPath(install + "mail\\"));
  settings.SetText(settings_field::LogPath, FolderPath(install + "logs\\"));
}
