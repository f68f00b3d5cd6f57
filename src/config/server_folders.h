// The suite's folder set, resolved as the suite itself does it, and the
// values of its path file ("path.dat") that outlive reading it. Every folder
// ends in `\` and holds at most 255 characters. The temporary, mail and log
// folders live in the settings record instead.
#pragma once

#include <string>
#include <string_view>

struct TServerFolders {
  std::string InstallPath;   // empty until set by a caller or InitServerPaths
  std::string ConfigPath;    // install folder + "config\"
  std::string WebPath;       // install folder + "html\"
  std::string SpamPath;      // empty: install folder + "spam\" where it is used
  std::string CalendarPath;  // empty: install folder + "calendar\" where it is used
  // Computed from the mail folder (or the path file) when the settings load.
  std::string OutgoingQueue;  // mail folder + "_outgoing\"
  std::string IncomingQueue;  // mail folder + "_incoming\"
  std::string RetryQueue;     // mail folder + "_outgoing\retry\"
};

// What the path file says beyond the folders above; empty when it is silent.
struct TPathFileValues {
  std::string ServiceLogSuffix;     // line 4: appended to each service's log folder
  std::string OutgoingQueue;        // line 8
  std::string RetryQueue;           // line 9
  std::string BindAddresses;        // line 10 before `|`: replaces the settings' list
  std::string OutgoingBindAddress;  // line 10 after `|`
  std::string HostName;             // line 11: replaces the settings' host name
  std::string IncomingQueue;        // line 13
  bool Line14Switch = false;        // line 14 reads as the number 1
};

TServerFolders& ServerFolders();
TPathFileValues& PathFileValues();

// A folder as the set keeps it: ending in `\`, at most 255 characters (a
// longer one is cut and still ends in `\`).
std::string FolderPath(std::string_view path);

// The antispam and groupware folders with their defaults applied.
std::string AntispamFolder();
std::string GroupwareFolder();

// Configuration, web, temporary, mail and log folders set to their defaults
// below the current install folder.
void SetDefaultFolders();
