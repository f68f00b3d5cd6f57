// "path.dat", "servertitle.dat" and a domain's "domain.dat" are written by
// administrators: any text must be taken without crashing, every folder must
// come out as a folder, and the domain's settings read back as written.
// Input: the path file's text, a NUL byte, the title file's text, a NUL
// byte, the domain settings' text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/domain_settings.h"
#include "config/path_file.h"
#include "config/server_folders.h"
#include "config/server_title.h"
#include "platform/fake/fake_shell.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckFolder(const std::string& folder) {
  Check(folder.size() <= 255);
  // A folder written with `/` keeps it as its delimiter.
  Check(folder.empty() || folder.back() == '\\' || folder.back() == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static platform::FakeShell shell;  // no share is really connected
  shell.Shares.clear();
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  std::string pathText = input.substr(0, split);
  std::string titleText = split == std::string::npos ? std::string() : input.substr(split + 1);
  std::string domainText;
  if (size_t second = titleText.find('\0'); second != std::string::npos) {
    domainText = titleText.substr(second + 1);
    titleText.resize(second);
  }

  ServerFolders() = TServerFolders();
  PathFileValues() = TPathFileValues();
  ApplyPathFile(pathText);
  const TServerFolders& folders = ServerFolders();
  const TPathFileValues& values = PathFileValues();
  for (const std::string* folder :
       {&folders.ConfigPath, &folders.WebPath, &folders.SpamPath, &folders.CalendarPath,
        &values.OutgoingQueue, &values.RetryQueue, &values.IncomingQueue})
    CheckFolder(*folder);
  Check(values.HostName.size() <= 255 && values.BindAddresses.size() <= 255);
  for (const auto& share : shell.Shares)
    Check(!share.Remote.empty());

  ServerTitle() = TServerTitle();
  ApplyServerTitleText(titleText);
  Check(ServerTitle().Title.size() <= 255);
  for (const auto& [key, value] : ServerTitle().Pairs)
    Check(key.size() <= 255 && value.size() <= 255);

  const TDomainSettings settings = ParseDomainSettings(domainText);
  for (const auto& [key, value] : settings) {
    Check(!key.empty() && key.find('=') == std::string::npos);
    Check(key.find_first_of("\r\n") == std::string::npos);
    Check(value.find_first_of("\r\n") == std::string::npos);
  }
  Check(ParseDomainSettings(DomainSettingsText(settings)) == settings);
  return 0;
}
