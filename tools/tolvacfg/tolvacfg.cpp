#include "tolvacfg.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "config/account_storage.h"
#include "config/database_library.h"
#include "config/domain_settings.h"
#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "json_text.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

const char* const kUsage =
    "usage: tolvacfg show CONFIGFOLDER\n"
    "       tolvacfg set CONFIGFOLDER FIELD VALUE\n"
    "       tolvacfg add-domain CONFIGFOLDER NAME\n"
    "       tolvacfg accounts [--json] CONFIGFOLDER DOMAIN\n";

// The configuration folder and, above it, the install folder, as the
// installer sets them before it loads the settings.
void SetFolders(const std::string& folder) {
  TServerFolders& folders = ServerFolders();
  folders.ConfigPath = ShortString(WithPathDelimiter(folder, true, false));
  folders.InstallPath = ShortString(ExtractFilePath(WithPathDelimiter(folder, false, false)));
}

bool Load(const std::string& folder, std::string& err) {
  SetFolders(folder);
  if (!LoadSettings(true, false)) {
    err += "tolvacfg: cannot read " + ServerFolders().ConfigPath + kSettingsFileName + "\n";
    return false;
  }
  return true;
}

const SettingsField* FindField(const std::string& name) {
  for (const SettingsField& field : kSettingsFields)
    if (SameText(field.Name, name)) return &field;
  return nullptr;
}

bool ParseInteger(const std::string& text, int64_t low, int64_t high, int64_t& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool SetField(const SettingsField& field, const std::string& value, std::string& err) {
  SettingsRecord& settings = Settings();
  int64_t number = 0;
  switch (field.Kind) {
    case SettingsFieldKind::Text:
      if (value.size() > field.Width - 1) {
        err += "tolvacfg: " + std::string(field.Name) + " holds at most " +
               std::to_string(field.Width - 1) + " characters\n";
        return false;
      }
      settings.SetText(field, value);
      return true;
    case SettingsFieldKind::Character:
      if (value.size() != 1) {
        err += "tolvacfg: " + std::string(field.Name) + " is one character\n";
        return false;
      }
      settings.SetNumber(field, static_cast<uint8_t>(value[0]));
      return true;
    case SettingsFieldKind::Byte:
      if (!ParseInteger(value, 0, 255, number)) break;
      settings.SetNumber(field, number);
      return true;
    case SettingsFieldKind::Word:
      if (!ParseInteger(value, 0, 65535, number)) break;
      settings.SetNumber(field, number);
      return true;
    case SettingsFieldKind::Int32:
      if (!ParseInteger(value, std::numeric_limits<int32_t>::min(),
                        std::numeric_limits<int32_t>::max(), number))
        break;
      settings.SetNumber(field, number);
      return true;
  }
  err += "tolvacfg: \"" + value + "\" is not a valid value of " + std::string(field.Name) + "\n";
  return false;
}

int Save(std::string& err) {
  if (SaveSettings(false)) return kTolvacfgOk;
  err += "tolvacfg: cannot write the settings in " + ServerFolders().ConfigPath + "\n";
  return kTolvacfgSaveFailed;
}

int Show(const std::string& folder, std::string& out, std::string& err) {
  if (!Load(folder, err)) return kTolvacfgUnreadable;
  out += ConfigurationJson();
  return kTolvacfgOk;
}

int Set(const std::string& folder, const std::string& name, const std::string& value,
        std::string& err) {
  const SettingsField* field = FindField(name);
  if (!field) {
    err += "tolvacfg: unknown field " + name + "\n";
    return kTolvacfgBadValue;
  }
  if (field->Offset == settings_field::DomainCount.Offset) {
    err += "tolvacfg: DomainCount follows the domain table; use add-domain\n";
    return kTolvacfgBadValue;
  }
  if (!Load(folder, err)) return kTolvacfgUnreadable;
  if (!Domains().Loaded) {
    err += "tolvacfg: the domain table cannot be read; nothing was changed\n";
    return kTolvacfgUnreadable;
  }
  if (!SetField(*field, value, err)) return kTolvacfgBadValue;
  return Save(err);
}

int AddDomain(const std::string& folder, const std::string& name, std::string& err) {
  std::string domain = LowerCase(Trim(name));
  if (domain.empty() || domain.size() > kDomainNameLength ||
      domain.find_first_of(";, ") != std::string::npos) {
    err += "tolvacfg: \"" + name + "\" is not a domain name (at most " +
           std::to_string(kDomainNameLength) + " characters, no blanks, `;` or `,`)\n";
    return kTolvacfgBadValue;
  }
  if (!Load(folder, err)) return kTolvacfgUnreadable;
  DomainTable& table = Domains();
  if (!table.Loaded) {
    err += "tolvacfg: the domain table cannot be read; nothing was changed\n";
    return kTolvacfgUnreadable;
  }
  if (table.Find(domain)) {
    err += "tolvacfg: the domain " + domain + " exists already\n";
    return kTolvacfgBadValue;
  }
  // With the accounts in a database the suite reads its domains from there.
  if (Settings().StorageMode() == kDatabaseStorageMode && DatabaseLibraryLoaded() &&
      !DatabaseAddDomain(domain)) {
    err += "tolvacfg: the database library did not add " + domain + "\n";
    return kTolvacfgSaveFailed;
  }
  table.Add(domain);
  return Save(err);
}

// One line per account (number, type, expiry, aliases, "admin" or "-",
// tab-separated), or with json the same as a JSON list that also has the
// display name and mailbox and says whether a password is set (never the
// password).
int Accounts(const std::string& folder, const std::string& domain, bool json, std::string& out,
             std::string& err) {
  if (!Load(folder, err)) return kTolvacfgUnreadable;
  TAccountEnum accounts;
  if (!BeginAccountEnum(domain, accounts)) {
    // A domain of the table without accounts simply has none.
    if (Domains().Find(LowerCase(Trim(domain)))) {
      if (json) out += "[]\n";
      return kTolvacfgOk;
    }
    err += "tolvacfg: no accounts of the domain \"" + domain + "\"\n";
    return kTolvacfgBadValue;
  }
  if (json) out += "[";
  bool first = true;
  while (!NextAccount(accounts)) {
    const AccountRecord& account = accounts.Account;
    const std::string expiry =
        account.Expires() ? ExpiryText(account.ExpiryDate()) : std::string("never");
    if (json) {
      out += std::string(first ? "" : ",") + "\n  {\"index\": " + std::to_string(accounts.Index) +
             ", \"type\": " + std::to_string(account.Type()) +
             ", \"expiry\": " + JsonString(expiry) +
             ", \"aliases\": " + JsonString(account.Aliases()) +
             ", \"name\": " + JsonString(account.Name()) +
             ", \"mailbox\": " + JsonString(account.Mailbox()) +
             ", \"admin\": " + (account.Admin() ? "true" : "false") +
             ", \"password\": " + (account.Password().empty() ? "false" : "true") + "}";
    } else {
      out += std::to_string(accounts.Index) + "\t" + std::to_string(account.Type()) + "\t" +
             expiry + "\t" + account.Aliases() + "\t" + (account.Admin() ? "admin" : "-") + "\n";
    }
    first = false;
  }
  EndAccountEnum(accounts);
  if (json) out += first ? "]\n" : "\n]\n";
  return kTolvacfgOk;
}

}  // namespace

std::string ExpiryText(double date) {
  // Years 100 to 9999 only; anything else (a damaged record) as the number.
  if (!std::isfinite(date) || date < -657434.0 || date >= 2958466.0) {
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", date);
    return number;
  }
  double whole = std::floor(date);
  auto days = static_cast<long long>(whole) - 25569;  // from 1970-01-01
  // The civil date of a day number (days since 1970-01-01).
  days += 719468;
  long long era = (days >= 0 ? days : days - 146096) / 146097;
  long long doe = days - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  long long day = doy - (153 * mp + 2) / 5 + 1;
  long long month = mp < 10 ? mp + 3 : mp - 9;
  long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  auto minutes = static_cast<long long>(std::llround((date - whole) * 1440.0));
  if (minutes >= 1440) minutes = 1439;
  char text[128];
  if (minutes == 0)
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", year, month, day);
  else
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld", year, month, day,
                  minutes / 60, minutes % 60);
  return text;
}

std::string ConfigurationJson() {
  const SettingsRecord& settings = Settings();
  std::string json = "{\n  \"configFolder\": " + JsonString(ServerFolders().ConfigPath) + ",\n";
  json += "  \"settings\": {\n";
  for (size_t i = 0; i < kSettingsFields.size(); ++i) {
    const SettingsField& field = kSettingsFields[i];
    json += "    " + JsonString(field.Name) + ": ";
    switch (field.Kind) {
      case SettingsFieldKind::Text:
        json += JsonString(settings.Text(field));
        break;
      case SettingsFieldKind::Character:
        json += JsonString(std::string(1, static_cast<char>(settings.Number(field))));
        break;
      default:
        json += std::to_string(settings.Number(field));
    }
    json += i + 1 < kSettingsFields.size() ? ",\n" : "\n";
  }
  json += "  },\n  \"domains\": [";
  const DomainTable& table = Domains();
  for (size_t i = 0; i < table.Records.size(); ++i) {
    const DomainRecord& record = table.Records[i];
    json += std::string(i ? "," : "") + "\n    {\"name\": " + JsonString(record.Name()) +
            ", \"switch\": " + std::to_string(record.Switch());
    // The domain's own settings, when the automation server keeps any.
    const TDomainSettings own = ReadDomainSettings(record.Name());
    if (!own.empty()) {
      json += ", \"settings\": {";
      for (size_t j = 0; j < own.size(); ++j)
        json += std::string(j ? ", " : "") + JsonString(own[j].first) + ": " +
                JsonString(own[j].second);
      json += "}";
    }
    json += "}";
  }
  json += table.Records.empty() ? "],\n" : "\n  ],\n";
  json += "  \"primaryDomain\": " + JsonString(PrimaryDomainName()) + "\n}\n";
  return json;
}

int RunTolvacfg(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
  const std::string command = arguments.empty() ? std::string() : arguments[0];
  if (command == "show" && arguments.size() == 2) return Show(arguments[1], out, err);
  if (command == "set" && arguments.size() == 4)
    return Set(arguments[1], arguments[2], arguments[3], err);
  if (command == "add-domain" && arguments.size() == 3)
    return AddDomain(arguments[1], arguments[2], err);
  if (command == "accounts" && arguments.size() == 3)
    return Accounts(arguments[1], arguments[2], false, out, err);
  if (command == "accounts" && arguments.size() == 4 && arguments[1] == "--json")
    return Accounts(arguments[2], arguments[3], true, out, err);
  err += kUsage;
  return kTolvacfgUsage;
}
