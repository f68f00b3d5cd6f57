// api.dll: "NivalisServer.APIObject", the suite's global settings, the
// primary domain and the database storage.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "automation_errors.h"
#include "com_server.h"
#include "config/account_record.h"
#include "config/account_storage.h"
#include "config/database_library.h"
#include "config/domain_table.h"
#include "config/settings_record.h"
#include "suite_files.h"
#include "support/text.h"

namespace {

using TCreateTablesFn = int32_t(DB_CALL*)(int32_t group, const char* connection);
using TConvertStorageFn = int32_t(DB_CALL*)(int32_t move);

const char* const kHostName = "C_Mail_SMTP_General_HostName";
const char* const kStorageMode = "C_System_Storage_Accounts_StorageMode";
const char* const kConnection = "C_System_Storage_Accounts_Connection";

// An entry of the suite's database library beyond those the installer uses.
FARPROC DatabaseEntry(const char* name) {
  if (!ConnectDatabaseLibrary()) throw TServerError("The database library db.dll cannot be loaded");
  HMODULE library = GetModuleHandleA(DatabaseLibraryPath().c_str());
  FARPROC entry = library ? GetProcAddress(library, name) : nullptr;
  if (!entry) throw TServerError(std::string("The database library has no entry ") + name);
  return entry;
}

class TApiObject final : public TDispatchObject {
 public:
  TApiObject() : TDispatchObject("NivalisServer.APIObject") {
    Member("MakePrimaryDomain", 1, [](std::vector<TArgument>& arguments) {
      MakePrimaryDomain(LowerCase(Trim(arguments[0].Text())));
      return NoResult();
    });
    Member("SetProperty", 2, [this](std::vector<TArgument>& arguments) {
      SetProperty(arguments[0].Text(), arguments[1]);
      return NoResult();
    });
    Member("GetProperty", 1,
           [this](std::vector<TArgument>& arguments) { return GetProperty(arguments[0].Text()); });
    Member("Save", 0, [this](std::vector<TArgument>&) { return BoolResult(Save()); });
    Member("LastErr", 0, [](std::vector<TArgument>&) { return IntegerResult(kErrNone); });
    Member("CreateTables", 2, [](std::vector<TArgument>& arguments) {
      return BoolResult(CreateTables(arguments[0].Integer(), arguments[1].Text()));
    });
    Member("ConvertStorage", 1, [](std::vector<TArgument>& arguments) {
      return BoolResult(ConvertStorage(arguments[0].Boolean()));
    });
  }

 protected:
  bool IsProperty(const std::string& name) const override {
    return SameText(name, kHostName) || SameText(name, kStorageMode) || SameText(name, kConnection);
  }

  VARIANT GetProperty(const std::string& name) override {
    LoadSuiteSettings();
    const SettingsRecord& settings = Settings();
    if (SameText(name, kHostName)) return TextResult(settings.HostName());
    if (SameText(name, kStorageMode)) return IntegerResult(settings.StorageMode());
    if (SameText(name, kConnection)) return TextResult(settings.AccountDatabase());
    throw TServerError("Unknown property " + name);
  }

 private:
  static void MakePrimaryDomain(const std::string& name) {
    LoadSuiteSettings();
    DomainTable& table = Domains();
    const int number = table.Find(name);
    if (!table.Loaded || number == 0) throw TServerError("The domain " + name + " does not exist");
    // The primary domain is record 0; the others keep their order.
    std::rotate(table.Records.begin(), table.Records.begin() + (number - 1),
                table.Records.begin() + number);
    table.Reindex();
    if (!SaveSuiteSettings(false)) throw TServerError("The domain table cannot be written");
  }

  void SetProperty(const std::string& name, TArgument& value) {
    if (SameText(name, kStorageMode)) {
      const int32_t mode = value.Integer();
      if (mode < 0 || mode > 255) throw TServerError("The storage mode must be 0 to 255");
      pending_.emplace_back(kStorageMode, std::to_string(mode));
    } else if (SameText(name, kHostName) || SameText(name, kConnection)) {
      pending_.emplace_back(SameText(name, kHostName) ? kHostName : kConnection, value.Text());
    } else {
      throw TServerError("Unknown property " + name);
    }
  }

  bool Save() {
    LoadSuiteSettings();
    SettingsRecord& settings = Settings();
    for (const auto& [name, value] : pending_) {
      if (name == kStorageMode)
        settings.SetNumber(settings_field::StorageMode, std::stoi(value));
      else if (name == kHostName)
        settings.SetText(settings_field::HostName, value);
      else
        settings.SetText(settings_field::AccountDatabase, value);
    }
    pending_.clear();
    return SaveSuiteSettings(true);
  }

  // The suite keeps the connection it creates its tables with.
  static bool CreateTables(int32_t group, const std::string& connection) {
    LoadSuiteSettings();
    Settings().SetText(settings_field::AccountDatabase, connection);
    if (!SaveSuiteSettings(true)) throw TServerError("The settings cannot be written");
    auto create =
        reinterpret_cast<TCreateTablesFn>(reinterpret_cast<void*>(DatabaseEntry("DBCreateTables")));
    DatabaseSetConnection(connection);
    const bool created = create(group, connection.c_str()) != 0;
    WriteStandInLog("db.dll DBCreateTables " + std::to_string(group) + " -> " +
                    (created ? "1" : "0"));
    return created;
  }

  // Copies the domains and their accounts from the files into the
  // database; the files stay as they were.
  static bool ConvertStorage(bool move) {
    LoadSuiteSettings();
    SettingsRecord& settings = Settings();
    if (settings.StorageMode() != kDatabaseStorageMode)
      throw TServerError("The account storage is not a database");
    auto convert = reinterpret_cast<TConvertStorageFn>(
        reinterpret_cast<void*>(DatabaseEntry("DBConvertStorage")));
    // The accounts as the files hold them, read with the file storage.
    std::vector<std::pair<std::string, std::vector<AccountRecord>>> domains;
    settings.SetNumber(settings_field::StorageMode, 0);
    for (const DomainRecord& record : Domains().Records) {
      domains.emplace_back(record.Name(), std::vector<AccountRecord>());
      TAccountEnum accounts;
      if (!BeginAccountEnum(record.Name(), accounts)) continue;
      while (!NextAccount(accounts))
        domains.back().second.push_back(accounts.Account);
      EndAccountEnum(accounts);
    }
    settings.SetNumber(settings_field::StorageMode, kDatabaseStorageMode);
    bool converted = true;
    size_t accountCount = 0;
    for (const auto& [domain, accounts] : domains) {
      converted = DatabaseAddDomain(domain) && converted;
      for (const AccountRecord& account : accounts) {
        int32_t index = -1;
        converted = SaveAccount(domain, account, index) && converted;
        ++accountCount;
      }
    }
    converted = convert(move ? 1 : 0) != 0 && converted;
    WriteStandInLog(std::string("db.dll DBConvertStorage ") + (move ? "1" : "0") + " -> " +
                    (converted ? "1" : "0") + " (" + std::to_string(domains.size()) + " domains, " +
                    std::to_string(accountCount) + " accounts)");
    return converted;
  }

  std::vector<std::pair<std::string, std::string>> pending_;
};

TDispatchObject* CreateApiObject() {
  return new TApiObject();
}

}  // namespace

// {C873D32B-D0E6-49BA-856A-175915B52317}
const TServedClass kServedClasses[] = {
    {"NivalisServer.APIObject",
     {0xc873d32b, 0xd0e6, 0x49ba, {0x85, 0x6a, 0x17, 0x59, 0x15, 0xb5, 0x23, 0x17}},
     CreateApiObject},
};
const size_t kServedClassCount = 1;
