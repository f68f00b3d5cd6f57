#include "config/database_library.h"

#include <algorithm>
#include <array>

#include "config/config_locks.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "platform/dynamic_library.h"

namespace {

// The entry addresses, in the order of kDatabaseEntryNames.
enum Entry {
  kSetConnection,
  kLoadConfig,
  kGetConnection,
  kDoneConnection,
  kGetDomainCount,
  kGetDomains,
  kGetTotalUsers,
  kInitUsers,
  kNextUser,
  kDoneUsers,
  kSaveUsers,
  kAddDomain,
};

// No database holds more domains than this; a larger count from the library
// would only make the installer ask for memory it cannot have.
constexpr int32_t kMaxDatabaseDomains = 1 << 20;

struct LibraryState {
  platform::DynamicLibrary Library;
  bool Loaded = false;
  std::string Path;
  std::array<void*, kDatabaseEntryNames.size()> Entries{};
};

LibraryState& State() {
  static LibraryState state;
  return state;
}

template <class Function>
Function EntryAs(Entry entry) {
  return reinterpret_cast<Function>(State().Entries[entry]);
}

// Runs one call into the library under its lock; what it throws is dropped.
template <class Call>
void Guarded(Call&& call) {
  ConfigLockGuard lock(kDatabaseLock);
  try {
    call();
  } catch (...) {
  }
}

bool LoadFrom(const std::string& path) {
  LibraryState& state = State();
  if (!state.Library.Load(path)) return false;
  state.Path = path;
  return true;
}

}  // namespace

bool ConnectDatabaseLibrary() {
  ConfigLockGuard lock(kDatabaseLock);
  LibraryState& state = State();
  if (state.Loaded) return true;
  const std::string& install = ServerFolders().InstallPath;
  if (!LoadFrom(install + "db.dll") && !LoadFrom(install + "lib\\db.dll") && !LoadFrom("db.dll"))
    return false;
  for (size_t i = 0; i < kDatabaseEntryNames.size(); ++i)
    state.Entries[i] = state.Library.Symbol(kDatabaseEntryNames[i]);
  state.Loaded = true;
  DatabaseSetConnection(Settings().AccountDatabase());
  DatabaseLoadConfig(install);
  return true;
}

void ReleaseDatabaseLibrary() {
  ConfigLockGuard lock(kDatabaseLock);
  LibraryState& state = State();
  if (!state.Loaded) return;
  state.Loaded = false;
  if (auto done = EntryAs<DBDoneConnectionFn>(kDoneConnection)) Guarded([&] { done(); });
  state.Entries.fill(nullptr);
  state.Library.Unload();
  state.Path.clear();
}

bool DatabaseLibraryLoaded() {
  ConfigLockGuard lock(kDatabaseLock);
  return State().Loaded;
}

std::string DatabaseLibraryPath() {
  ConfigLockGuard lock(kDatabaseLock);
  return State().Path;
}

bool DatabaseSetConnection(const std::string& connection) {
  bool ok = false;
  Guarded([&] {
    if (auto call = EntryAs<DBSetConnectionFn>(kSetConnection)) ok = call(connection.c_str()) != 0;
  });
  return ok;
}

bool DatabaseLoadConfig(const std::string& installFolder) {
  bool ok = false;
  Guarded([&] {
    if (auto call = EntryAs<DBLoadConfigFn>(kLoadConfig)) ok = call(installFolder.c_str()) != 0;
  });
  return ok;
}

std::optional<std::string> DatabaseGetConnection() {
  std::optional<std::string> result;
  Guarded([&] {
    auto call = EntryAs<DBGetConnectionFn>(kGetConnection);
    if (!call) return;
    std::string buffer(256, '\0');
    int32_t length = call(buffer.data(), static_cast<int32_t>(buffer.size()));
    if (length < 0) return;
    if (static_cast<size_t>(length) >= buffer.size()) {
      buffer.assign(static_cast<size_t>(length) + 1, '\0');
      length = call(buffer.data(), static_cast<int32_t>(buffer.size()));
      if (length < 0) return;
    }
    buffer.resize(std::min(static_cast<size_t>(length), buffer.size() - 1));
    result = buffer;
  });
  return result;
}

void DatabaseDoneConnection() {
  Guarded([&] {
    if (auto call = EntryAs<DBDoneConnectionFn>(kDoneConnection)) call();
  });
}

bool DatabaseReadDomains(std::vector<DomainRecord>& records) {
  records.clear();
  Guarded([&] {
    auto count = EntryAs<DBGetDomainCountFn>(kGetDomainCount);
    auto read = EntryAs<DBGetDomainsFn>(kGetDomains);
    if (!count || !read) return;
    int32_t wanted = std::min(count(), kMaxDatabaseDomains);
    if (wanted <= 0) return;
    std::vector<DomainRecord> buffer(static_cast<size_t>(wanted));
    int32_t filled = read(buffer.data(), wanted);
    if (filled <= 0) return;
    buffer.resize(static_cast<size_t>(std::min(filled, wanted)));
    records = std::move(buffer);
  });
  return !records.empty();
}

std::optional<int32_t> DatabaseTotalUsers(const std::string& domain) {
  std::optional<int32_t> result;
  Guarded([&] {
    if (auto call = EntryAs<DBGetTotalUsersFn>(kGetTotalUsers)) result = call(domain.c_str());
  });
  return result;
}

bool DatabaseInitUsers(const std::string& domain, TDBUserEnum& users, int32_t start,
                       int32_t count) {
  bool ok = false;
  Guarded([&] {
    if (auto call = EntryAs<DBInitUsersFn>(kInitUsers))
      ok = call(domain.c_str(), &users, start, count) != 0;
  });
  return ok;
}

bool DatabaseNextUser(TDBUserEnum& users) {
  bool atEnd = true;
  Guarded([&] {
    if (auto call = EntryAs<DBNextUserFn>(kNextUser)) atEnd = call(&users) != 0;
  });
  return atEnd;
}

void DatabaseDoneUsers(TDBUserEnum& users) {
  Guarded([&] {
    if (auto call = EntryAs<DBDoneUsersFn>(kDoneUsers)) call(&users);
  });
}

bool DatabaseSaveUser(const std::string& domain, const uint8_t* account, int32_t& index) {
  bool ok = false;
  Guarded([&] {
    if (auto call = EntryAs<DBSaveUsersFn>(kSaveUsers))
      ok = call(domain.c_str(), account, &index) != 0;
  });
  return ok;
}

bool DatabaseAddDomain(const std::string& domain) {
  bool ok = false;
  Guarded([&] {
    if (auto call = EntryAs<DBAddDomainFn>(kAddDomain)) ok = call(domain.c_str()) != 0;
  });
  return ok;
}
