#include "config/server_folders.h"

#include "config/settings_record.h"
#include "support/text.h"

TServerFolders& ServerFolders() {
  static TServerFolders folders;
  return folders;
}

TPathFileValues& PathFileValues() {
  static TPathFileValues values;
  return values;
}

std::string AntispamFolder() {
  const TServerFolders& folders = ServerFolders();
  return folders.SpamPath.empty() ? ShortString(folders.InstallPath + "spam\\") : folders.SpamPath;
}

std::string GroupwareFolder() {
  const TServerFolders& folders = ServerFolders();
  return folders.CalendarPath.empty() ? ShortString(folders.InstallPath + "calendar\\")
                                      : folders.CalendarPath;
}

void SetDefaultFolders() {
  TServerFolders& folders = ServerFolders();
  const std::string& install = folders.InstallPath;
  folders.ConfigPath = ShortString(install + "config\\");
  folders.WebPath = ShortString(install + "html\\");
  SettingsRecord& settings = Settings();
  settings.SetText(settings_field::TempPath, install + "temp\\");
  settings.SetText(settings_field::MailPath, install + "mail\\");
  settings.SetText(settings_field::LogPath, install + "logs\\");
}
