#include "config/account_storage.h"

#include <vector>

#include "config/alias_lists.h"
#include "config/database_library.h"
#include "config/domain_table.h"
#include "config/replace_file.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "support/text.h"

namespace {

bool UsableDomainName(const std::string& domain) {
  if (domain.empty() || domain.size() > kDomainNameLength) return false;
  if (domain == "." || domain.find("..") != std::string::npos) return false;
  for (char c : domain) {
    if (static_cast<unsigned char>(c) < 32) return false;
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

// The whole accounts file; a missing file is an empty one. False when the
// file exists but cannot be read (a server holding it, a damaged disk), so
// that nobody writes over accounts that were not seen.
bool ReadAccountsFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (!platform::PathExists(path)) return true;
  platform::File file;
  if (!file.Open(path, platform::FileMode::Read)) return false;
  try {
    char buffer[65536];
    while (size_t got = file.Read(buffer, sizeof buffer))
      bytes.append(buffer, got);
  } catch (const platform::IoError&) {
    return false;
  }
  return true;
}

bool NextFileAccount(TAccountEnum& accounts) {
  AccountRecord record;
  size_t have = 0;
  try {
    while (have < record.Bytes.size()) {
      size_t got = accounts.File.Read(record.Bytes.data() + have, record.Bytes.size() - have);
      if (got == 0) break;
      have += got;
    }
  } catch (const platform::IoError&) {
    return true;
  }
  if (have < record.Bytes.size()) return true;
  DecodeAccountRecord(record);
  accounts.Account = record;
  ++accounts.Index;
  return false;
}

bool NextDatabaseAccount(TAccountEnum& accounts) {
  if (DatabaseNextUser(accounts.Users)) return true;
  std::copy(std::begin(accounts.Users.Account), std::end(accounts.Users.Account),
            accounts.Account.Bytes.begin());
  TogglePasswordForm(accounts.Account);
  accounts.Index = accounts.Users.Index;
  return false;
}

}  // namespace

std::string AccountsFilePath(const std::string& domain) {
  std::string name = LowerCase(Trim(domain));
  if (!UsableDomainName(name)) return std::string();
  return ServerFolders().ConfigPath + name + "\\" + kAccountsFileName;
}

bool AccountsInDatabase() {
  return Settings().StorageMode() == kDatabaseStorageMode;
}

bool BeginAccountEnum(const std::string& domain, TAccountEnum& accounts,
                      const std::string& aliasFilter) {
  EndAccountEnum(accounts);
  accounts.AliasFilter = aliasFilter;
  accounts.Index = -1;
  accounts.Database = AccountsInDatabase();
  if (accounts.Database) {
    if (!ConnectDatabaseLibrary()) return false;
    accounts.Users = TDBUserEnum{};
    accounts.Open = DatabaseInitUsers(LowerCase(Trim(domain)), accounts.Users, -1, -1);
    return accounts.Open;
  }
  std::string path = AccountsFilePath(domain);
  accounts.Open = !path.empty() && accounts.File.Open(path, platform::FileMode::Read);
  return accounts.Open;
}

bool NextAccount(TAccountEnum& accounts) {
  if (!accounts.Open) return true;
  for (;;) {
    bool atEnd = accounts.Database ? NextDatabaseAccount(accounts) : NextFileAccount(accounts);
    if (atEnd) return true;
    if (accounts.AliasFilter.empty() ||
        AliasListsMatch(accounts.AliasFilter, accounts.Account.Aliases(), true))
      return false;
  }
}

void EndAccountEnum(TAccountEnum& accounts) {
  if (!accounts.Open) return;
  accounts.Open = false;
  if (accounts.Database)
    DatabaseDoneUsers(accounts.Users);
  else
    accounts.File = platform::File();
}

int32_t FindAccountIndex(const std::string& domain, const std::string& aliases,
                         bool allowPatterns) {
  if (SplitAliasList(aliases).empty()) return -1;
  TAccountEnum accounts;
  if (!BeginAccountEnum(domain, accounts)) return -1;
  int32_t found = -1;
  while (!NextAccount(accounts)) {
    if (AliasListsMatch(aliases, accounts.Account.Aliases(), allowPatterns)) {
      found = accounts.Index;
      break;
    }
  }
  EndAccountEnum(accounts);
  return found;
}

bool SaveAccount(const std::string& domain, const AccountRecord& record, int32_t& index) {
  if (SplitAliasList(record.Aliases()).empty()) return false;
  AccountRecord stored = record;
  if (AccountsInDatabase()) {
    if (!ConnectDatabaseLibrary()) return false;
    TogglePasswordForm(stored);
    return DatabaseSaveUser(LowerCase(Trim(domain)), stored.Bytes.data(), index);
  }
  std::string path = AccountsFilePath(domain);
  std::string bytes;
  if (path.empty() || !ReadAccountsFile(path, bytes)) return false;
  const auto count = static_cast<int32_t>(bytes.size() / kAccountRecordSize);
  if (index < -1 || index > count) return false;
  const int32_t number = index == -1 ? count : index;
  const size_t at = static_cast<size_t>(number) * kAccountRecordSize;
  if (number == count) bytes.resize(at + kAccountRecordSize);
  EncodeAccountRecord(stored);
  std::copy(stored.Bytes.begin(), stored.Bytes.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
  if (WriteFileReplacing(path, bytes.data(), bytes.size()) == WriteOutcome::Failed) return false;
  index = number;
  return true;
}
