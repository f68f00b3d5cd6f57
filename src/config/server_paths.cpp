#include "config/server_paths.h"

#include "config/info_prefix.h"
#include "config/path_file.h"
#include "config/server_folders.h"
#include "config/server_title.h"
#include "config/time_zone_text.h"
#include "platform/system_info.h"
#include "support/paths.h"
#include "support/programs.h"
#include "support/text.h"

void InitServerPaths() {
  TServerFolders& folders = ServerFolders();
  platform::SystemInfo& system = platform::CurrentSystem();
  if (folders.InstallPath.empty()) {
    // An empty value would make every folder relative to wherever the
    // program happens to run; it counts as no switch.
    std::string value;
    if (FindSwitch("InstallDir", value) && !Trim(value).empty())
      folders.InstallPath = FolderPath(value);
    else
      folders.InstallPath = FolderPath(ExtractFilePath(system.ProgramPath()));
  }
  // Everything but the install folder starts again from its default.
  folders.SpamPath.clear();
  folders.CalendarPath.clear();
  PathFileValues() = TPathFileValues();
  SetDefaultFolders();
  ReadPathFile(folders.InstallPath);
  ReadInfoPrefix(folders.InstallPath + "xml\\info.xml");
  ReadServerTitleFile();
  LocalTimeZoneText() = TimeZoneOffsetText(system.UtcOffsetMinutes());
}
