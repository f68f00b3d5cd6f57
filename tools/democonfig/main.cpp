// democonfig: writes the configuration files that the demo distribution
// ships, through the installer's own configuration store.
//
//   democonfig settings FOLDER HOSTNAME DOMAIN
//       "settings.cfg" with the suite's built-in defaults and the host name,
//       and "domains.cfg" holding DOMAIN as its only (primary) domain.
//   democonfig accounts FOLDER DOMAIN LIST
//       FOLDER\DOMAIN\users.cfg with the accounts of LIST, in its order (an
//       existing file is replaced). LIST has one account a line, fields
//       separated by a tab: the account type, the aliases, the password;
//       lines beginning with `#` and empty lines are skipped.
//
// Exit codes: 0 written, 1 bad command line or value, 2 not written.
#include <cstdio>
#include <string>
#include <vector>

#include "config/account_record.h"
#include "config/account_storage.h"
#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_fields.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "platform/files.h"
#include "support/fields.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

constexpr const char* kUsage =
    "usage: democonfig settings FOLDER HOSTNAME DOMAIN\n"
    "       democonfig accounts FOLDER DOMAIN LIST\n";

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

// One account of the list; false with a message for a line it cannot use.
bool ParseAccount(const std::string& line, AccountRecord& account, std::string& error) {
  const std::string type = GetField(line, 0, '\t');
  const std::string aliases = GetField(line, 1, '\t');
  const std::string password = GetField(line, 2, '\t');
  if (type.empty() || type.size() > 3 ||
      type.find_first_not_of("0123456789") != std::string::npos || std::stoi(type) > 255) {
    error = "the account type \"" + type + "\" is not a number from 0 to 255";
    return false;
  }
  if (aliases.empty() || aliases.size() > account_field::AliasesWidth - 1) {
    error = "the aliases are empty or longer than " +
            std::to_string(account_field::AliasesWidth - 1) + " characters";
    return false;
  }
  if (password.size() > account_field::PasswordWidth - 1) {
    error = "the password is longer than " + std::to_string(account_field::PasswordWidth - 1) +
            " characters";
    return false;
  }
  account = AccountRecord();
  account.SetType(static_cast<uint8_t>(std::stoi(type)));
  account.SetAliases(aliases);
  account.SetPassword(password);
  return true;
}

int WriteAccounts(const std::string& folder, const std::string& domainName,
                  const std::string& list) {
  const std::string domain = LowerCase(Trim(domainName));
  const std::string text = ReadFileToString(list);
  if (text.empty()) return Fail(2, "cannot read " + list);
  std::vector<AccountRecord> accounts;
  size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    AccountRecord account;
    std::string error;
    if (!ParseAccount(line, account, error))
      return Fail(1, list + ":" + std::to_string(number) + ": " + error);
    accounts.push_back(account);
  }
  // File storage, as the built-in defaults have it, in the given folder.
  ServerFolders().ConfigPath = WithPathDelimiter(folder, true, false);
  Settings() = BuiltInSettings();
  const std::string path = AccountsFilePath(domain);
  if (path.empty()) return Fail(1, "\"" + domainName + "\" is not a domain name");
  // Saving appends: a file from an earlier run goes first.
  if (platform::PathExists(path) && !platform::RemoveFile(path))
    return Fail(2, "cannot replace " + path);
  if (!ForceFolders(ExtractFilePath(path))) return Fail(2, "cannot create the folder of " + path);
  for (const AccountRecord& account : accounts) {
    int32_t index = -1;
    if (!SaveAccount(domain, account, index))
      return Fail(2, "cannot save the account \"" + account.Aliases() + "\" in " + path);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (arguments.size() == 4 && arguments[0] == "settings")
    return WriteSettings(arguments[1], arguments[2], arguments[3]);
  if (arguments.size() == 4 && arguments[0] == "accounts")
    return WriteAccounts(arguments[1], arguments[2], arguments[3]);
  std::fputs(kUsage, stderr);
  return 1;
}
