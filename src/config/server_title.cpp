#include "config/server_title.h"

#include "config/server_folders.h"
#include "config/text_lines.h"
#include "platform/files.h"
#include "support/config_text.h"
#include "support/file_io.h"
#include "support/text.h"

TServerTitle& ServerTitle() {
  static TServerTitle title;
  return title;
}

void ApplyServerTitleText(std::string_view text) {
  TServerTitle& title = ServerTitle();
  std::vector<std::string> lines = TextLines(text);
  if (!lines.empty() && !lines[0].empty()) title.Title = ShortString(lines[0]);
  title.Pairs.clear();
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string line = StripComments(lines[i]);
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    title.Pairs.emplace_back(ShortString(Trim(line.substr(0, equals))),
                             ShortString(Trim(line.substr(equals + 1))));
  }
}

void ReadServerTitleFile() {
  std::string name = ServerFolders().ConfigPath + "servertitle.dat";
  platform::File file;
  if (!file.Open(name, platform::FileMode::Read)) return;
  std::string text;
  try {
    char buffer[65536];
    while (size_t got = file.Read(buffer, sizeof buffer))
      text.append(buffer, got);
    file.Close();
  } catch (const platform::IoError&) {
    return;
  }
  ApplyServerTitleText(text);
}
