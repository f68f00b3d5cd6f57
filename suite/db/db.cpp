// The stand-in for the suite's database library "db.dll". It keeps the
// domains and accounts of its "database" in files below the folder that the
// data source field of its connection text names (relative to the install
// folder when it is not absolute):
//   FOLDER\domains.txt          one domain name a line
//   FOLDER\DOMAIN\users.dat     the domain's account records, 2848 bytes each
// It also keeps a log of the calls it received, for the tests.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "config/database_entries.h"
#include "config/domain_table.h"
#include "platform/files.h"
#include "support/fields.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

#ifdef _WIN32
#define DB_EXPORT extern "C" __declspec(dllexport)
#else
#define DB_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

struct Library {
  std::recursive_mutex Lock;
  std::string Connection;
  std::string InstallFolder;
  std::string CallLog;
};

Library& State() {
  static Library library;
  return library;
}

void Log(const std::string& line) {
  State().CallLog += line + "\n";
}

std::string Text(const char* text) {
  return text ? std::string(text) : std::string();
}

// The folder of the data, from the first field of the primary connection;
// empty when the connection names none.
std::string DataFolder() {
  Library& state = State();
  std::string primary = state.Connection.substr(0, state.Connection.find('|'));
  std::string source = GetField(primary, 0, ';');
  if (source.empty()) return std::string();
  if (!IsAbsolutePath(source)) source = state.InstallFolder + source;
  return WithPathDelimiter(source, true, false);
}

std::vector<std::string> DomainNames() {
  std::vector<std::string> names;
  std::string folder = DataFolder();
  if (folder.empty()) return names;
  std::vector<std::string> lines;
  SplitString(ReadFileToString(folder + "domains.txt"), '\n', lines, true);
  for (const std::string& line : lines)
    if (!Trim(line).empty()) names.push_back(LowerCase(Trim(line)));
  return names;
}

bool HasDomain(const std::string& domain) {
  std::vector<std::string> names = DomainNames();
  return std::find(names.begin(), names.end(), LowerCase(domain)) != names.end();
}

std::string UsersFile(const std::string& domain) {
  return DataFolder() + LowerCase(domain) + "\\users.dat";
}

std::vector<std::string> ReadUsers(const std::string& domain) {
  std::string bytes = ReadFileToString(UsersFile(domain));
  std::vector<std::string> records;
  for (size_t at = 0; at + kAccountRecordSize <= bytes.size(); at += kAccountRecordSize)
    records.push_back(bytes.substr(at, kAccountRecordSize));
  return records;
}

struct Enumeration {
  std::vector<std::string> Records;
  size_t Next = 0;
  size_t End = 0;
};

}  // namespace

DB_EXPORT int32_t DB_CALL DBSetConnection(const char* connection) {
  std::lock_guard lock(State().Lock);
  State().Connection = Text(connection);
  Log("DBSetConnection " + State().Connection);
  return 1;
}

DB_EXPORT int32_t DB_CALL DBLoadConfig(const char* installFolder) {
  std::lock_guard lock(State().Lock);
  State().InstallFolder = Text(installFolder);
  Log("DBLoadConfig " + State().InstallFolder);
  return 1;
}

DB_EXPORT int32_t DB_CALL DBGetConnection(char* buffer, int32_t size) {
  std::lock_guard lock(State().Lock);
  const std::string& connection = State().Connection;
  Log("DBGetConnection");
  if (buffer && size > 0) {
    size_t length = std::min(connection.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, connection.data(), length);
    buffer[length] = '\0';
  }
  return static_cast<int32_t>(connection.size());
}

DB_EXPORT void DB_CALL DBDoneConnection() {
  std::lock_guard lock(State().Lock);
  Log("DBDoneConnection");
}

DB_EXPORT int32_t DB_CALL DBGetDomainCount() {
  std::lock_guard lock(State().Lock);
  Log("DBGetDomainCount");
  try {
    return static_cast<int32_t>(DomainNames().size());
  } catch (...) {
    return 0;
  }
}

DB_EXPORT int32_t DB_CALL DBGetDomains(void* records, int32_t count) {
  std::lock_guard lock(State().Lock);
  Log("DBGetDomains " + std::to_string(count));
  if (!records || count <= 0) return 0;
  try {
    std::vector<std::string> names = DomainNames();
    int32_t filled = std::min(count, static_cast<int32_t>(names.size()));
    auto* target = static_cast<DomainRecord*>(records);
    for (int32_t i = 0; i < filled; ++i) {
      DomainRecord record;
      record.SetName(names[static_cast<size_t>(i)]);
      target[i] = record;
    }
    return filled;
  } catch (...) {
    return 0;
  }
}

DB_EXPORT int32_t DB_CALL DBGetTotalUsers(const char* domain) {
  std::lock_guard lock(State().Lock);
  std::string name = Text(domain);
  Log("DBGetTotalUsers " + name);
  try {
    if (!name.empty()) return static_cast<int32_t>(ReadUsers(name).size());
    size_t total = 0;
    for (const std::string& each : DomainNames())
      total += ReadUsers(each).size();
    return static_cast<int32_t>(total);
  } catch (...) {
    return 0;
  }
}

DB_EXPORT int32_t DB_CALL DBInitUsers(const char* domain, TDBUserEnum* users, int32_t start,
                                      int32_t count) {
  std::lock_guard lock(State().Lock);
  std::string name = Text(domain);
  Log("DBInitUsers " + name + " " + std::to_string(start) + " " + std::to_string(count));
  if (!users) return 0;
  users->Handle = nullptr;
  users->Index = -1;
  try {
    if (!HasDomain(name)) return 0;
    auto* enumeration = new Enumeration{ReadUsers(name)};
    size_t total = enumeration->Records.size();
    enumeration->Next = start < 0 ? 0 : std::min(static_cast<size_t>(start), total);
    enumeration->End =
        count < 0 ? total : std::min(total, enumeration->Next + static_cast<size_t>(count));
    users->Handle = enumeration;
    return 1;
  } catch (...) {
    return 0;
  }
}

DB_EXPORT int32_t DB_CALL DBNextUser(TDBUserEnum* users) {
  std::lock_guard lock(State().Lock);
  if (!users || !users->Handle) return 1;
  auto* enumeration = static_cast<Enumeration*>(users->Handle);
  if (enumeration->Next >= enumeration->End) return 1;
  std::memcpy(users->Account, enumeration->Records[enumeration->Next].data(), kAccountRecordSize);
  users->Index = static_cast<int32_t>(enumeration->Next++);
  return 0;
}

DB_EXPORT void DB_CALL DBDoneUsers(TDBUserEnum* users) {
  std::lock_guard lock(State().Lock);
  Log("DBDoneUsers");
  if (!users) return;
  delete static_cast<Enumeration*>(users->Handle);
  users->Handle = nullptr;
}

DB_EXPORT int32_t DB_CALL DBSaveUsers(const char* domain, const void* account, int32_t* index) {
  std::lock_guard lock(State().Lock);
  std::string name = Text(domain);
  Log("DBSaveUsers " + name + " " + (index ? std::to_string(*index) : std::string("-")));
  if (!account || !index) return 0;
  try {
    if (!HasDomain(name)) return 0;
    std::vector<std::string> records = ReadUsers(name);
    std::string record(static_cast<const char*>(account), kAccountRecordSize);
    if (*index == -1 || *index == static_cast<int32_t>(records.size())) {
      *index = static_cast<int32_t>(records.size());
      records.push_back(record);
    } else if (*index >= 0 && *index < static_cast<int32_t>(records.size())) {
      records[static_cast<size_t>(*index)] = record;
    } else {
      return 0;
    }
    std::string bytes;
    for (const std::string& each : records)
      bytes += each;
    return WriteStringToFile(bytes, UsersFile(name)) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

DB_EXPORT int32_t DB_CALL DBAddDomain(const char* domain) {
  std::lock_guard lock(State().Lock);
  std::string name = LowerCase(Trim(Text(domain)));
  Log("DBAddDomain " + name);
  try {
    std::string folder = DataFolder();
    if (folder.empty() || name.empty()) return 0;
    if (HasDomain(name)) return 1;
    std::string list;
    for (const std::string& each : DomainNames())
      list += each + "\r\n";
    list += name + "\r\n";
    return WriteStringToFile(list, folder + "domains.txt") ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

// Creates a group of the suite's tables: here the data folder, with the
// groups created so far listed in "tables.txt".
DB_EXPORT int32_t DB_CALL DBCreateTables(int32_t group, const char* connection) {
  std::lock_guard lock(State().Lock);
  State().Connection = Text(connection);
  Log("DBCreateTables " + std::to_string(group));
  try {
    std::string folder = DataFolder();
    if (folder.empty()) return 0;
    return WriteStringToFile(std::to_string(group) + "\r\n", folder + "tables.txt", false, true)
               ? 1
               : 0;
  } catch (...) {
    return 0;
  }
}

// The end of a move of the account storage into the database; the domains
// came before it through DBAddDomain.
DB_EXPORT int32_t DB_CALL DBConvertStorage(int32_t move) {
  std::lock_guard lock(State().Lock);
  Log("DBConvertStorage " + std::to_string(move));
  return DataFolder().empty() ? 0 : 1;
}

// Not one of the suite's entries: the calls received so far, one a line.
DB_EXPORT int32_t DB_CALL StandInCallLog(char* buffer, int32_t size) {
  std::lock_guard lock(State().Lock);
  const std::string& log = State().CallLog;
  if (buffer && size > 0) {
    size_t length = std::min(log.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, log.data(), length);
    buffer[length] = '\0';
  }
  return static_cast<int32_t>(log.size());
}
