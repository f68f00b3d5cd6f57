// democonfig: writes the configuration files that the demo distribution
// ships, through the installer's own configuration store.
//
//   democonfig settings FOLDER HOSTNAME DOMAIN
//       "settings.cfg" with the suite's built-in defaults and the host name,
//       and "domains.cfg" holding DOMAIN as its only (primary) domain.
//
// Exit codes: 0 written, 1 bad command line or value, 2 not written.
#include <cstdio>
#include <string>
#include <vector>

#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_fields.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

constexpr const char* kUsage = "usage: democonfig settings FOLDER HOSTNAME DOMAIN\n";

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "democonfig: %s\n", message.c_str());
  return code;
}

int WriteSettings(const std::string& folder, const std::string& hostName,
                  const std::string& domainName) {
  const std::string domain = LowerCase(Trim(domainName));
  if (domain.empty() || domain.size() > kDomainNameLength ||
      domain.find_first_of(";, ") != std::string::npos)
    return Fail(1, "\"" + domainName + "\" is not a domain name");
  if (hostName.empty() || hostName.size() > settings_field::HostName.Width - 1)
    return Fail(1, "\"" + hostName + "\" is not a host name");
  // Nothing is loaded: the files carry the built-in defaults, not what this
  // machine would normalise them to.
  ServerFolders().ConfigPath = WithPathDelimiter(folder, true, false);
  SettingsRecord& settings = Settings();
  settings = BuiltInSettings();
  settings.SetText(settings_field::HostName, hostName);
  DomainTable& table = Domains();
  table.Clear();
  table.Loaded = true;
  table.Add(domain);
  if (!SaveSettings(false)) return Fail(2, "cannot write the settings in " + folder);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (arguments.size() == 4 && arguments[0] == "settings")
    return WriteSettings(arguments[1], arguments[2], arguments[3]);
  std::fputs(kUsage, stderr);
  return 1;
}
