#include "config/path_file.h"

#include <vector>

#include "config/server_folders.h"
#include "config/text_lines.h"
#include "platform/files.h"
#include "support/config_text.h"
#include "support/fields.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/programs.h"
#include "support/text.h"

namespace {

std::string FolderLine(const std::string& line) {
  return FolderPath(line);
}

void ApplyLine(int number, const std::string& line) {
  TServerFolders& folders = ServerFolders();
  TPathFileValues& values = PathFileValues();
  switch (number) {
    case 1:
      folders.ConfigPath = FolderLine(line);
      break;
    case 2:
      folders.WebPath = FolderLine(line);
      break;
    case 4:
      values.ServiceLogSuffix = ShortString(line);
      break;
    case 5:
      ConnectPathShares(line);
      break;
    case 6:
      folders.SpamPath = FolderLine(line);
      break;
    case 7:
      folders.CalendarPath = FolderLine(line);
      break;
    case 8:
      values.OutgoingQueue = FolderLine(line);
      break;
    case 9:
      values.RetryQueue = FolderLine(line);
      break;
    case 10: {
      size_t bar = line.find('|');
      values.BindAddresses = ShortString(Trim(line.substr(0, bar)));
      values.OutgoingBindAddress =
          bar == std::string::npos ? std::string() : ShortString(Trim(line.substr(bar + 1)));
      break;
    }
    case 11:
      values.HostName = ShortString(line);
      break;
    case 13:
      values.IncomingQueue = FolderLine(line);
      break;
    case 14:
      values.Line14Switch = StrToIntLoose(line) == 1;
      break;
    default:
      break;
  }
}

}  // namespace

void ApplyPathFile(std::string_view text) {
  int number = 0;
  for (const std::string& raw : TextLines(text)) {
    ++number;
    if (number > 14) break;
    std::string line = Trim(StripComments(raw));
    if (!line.empty()) ApplyLine(number, line);
  }
}

void ReadPathFile(const std::string& installFolder) {
  std::string oldName = installFolder + "path.cfg", name = installFolder + "path.dat";
  if (platform::PathExists(oldName)) MoveFileTo(oldName, name);
  // A file that cannot be opened reads as empty and changes nothing.
  std::string text;
  try {
    text = ReadFileToString(name);
  } catch (const platform::IoError&) {
    return;
  }
  ApplyPathFile(text);
}

void ConnectPathShares(std::string_view line) {
  std::vector<std::string> items;
  SplitString(line, '|', items, true);
  for (const std::string& item : items) {
    std::string remote = GetField(item, 0, ';');
    // An item without a share names nothing to connect.
    if (!remote.empty())
      ConnectNetworkShare(remote, GetField(item, 1, ';'), GetField(item, 2, ';'));
  }
}
