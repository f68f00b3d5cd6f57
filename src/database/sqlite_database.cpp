#include "database/sqlite_database.h"

#include "database/database_error.h"
#include "platform/codepage.h"
#include "platform/dynamic_library.h"
#include "platform/files.h"
#include "support/paths.h"
#include "support/utf8.h"

namespace {

#ifdef _WIN32
constexpr const char* kLibraryName = "sqlite3.dll";
#else
constexpr const char* kLibraryName = "libsqlite3.so.0";
#endif

constexpr int kSQLiteOk = 0;

using ExecCallback = int (*)(void*, int, char**, char**);

struct SQLiteApi {
  platform::DynamicLibrary Library;
  int (*Open)(const char*, sqlite3**) = nullptr;
  int (*Close)(sqlite3*) = nullptr;
  const char* (*ErrorMessage)(sqlite3*) = nullptr;
  int (*ErrorCode)(sqlite3*) = nullptr;
  int (*BusyTimeout)(sqlite3*, int) = nullptr;
  int (*Exec)(sqlite3*, const char*, ExecCallback, void*, char**) = nullptr;
  int (*EnableSharedCache)(int) = nullptr;
  int (*GetAutocommit)(sqlite3*) = nullptr;

  bool Load() {
    if (!Library.Load(kLibraryName)) return false;
    Open = Library.SymbolAs<decltype(Open)>("sqlite3_open");
    Close = Library.SymbolAs<decltype(Close)>("sqlite3_close");
    ErrorMessage = Library.SymbolAs<decltype(ErrorMessage)>("sqlite3_errmsg");
    ErrorCode = Library.SymbolAs<decltype(ErrorCode)>("sqlite3_errcode");
    BusyTimeout = Library.SymbolAs<decltype(BusyTimeout)>("sqlite3_busy_timeout");
    Exec = Library.SymbolAs<decltype(Exec)>("sqlite3_exec");
    EnableSharedCache =
        Library.SymbolAs<decltype(EnableSharedCache)>("sqlite3_enable_shared_cache");
    GetAutocommit = Library.SymbolAs<decltype(GetAutocommit)>("sqlite3_get_autocommit");
    // A library without one of these is no use: treat it as missing.
    if (!Open || !Close || !ErrorMessage || !ErrorCode || !BusyTimeout || !Exec ||
        !EnableSharedCache || !GetAutocommit) {
      Library.Unload();
      return false;
    }
    EnableSharedCache(1);
    return true;
  }
};

// Loaded by the first database object, kept until the program ends.
SQLiteApi* Api() {
  static SQLiteApi* api = [] {
    auto* loaded = new SQLiteApi;
    if (!loaded->Load()) {
      delete loaded;
      return static_cast<SQLiteApi*>(nullptr);
    }
    return loaded;
  }();
  return api;
}

SQLiteApi& RequireApi() {
  SQLiteApi* api = Api();
  if (!api) throw ESQLiteException("Failed to load SQLite3 library");
  return *api;
}

}  // namespace

TSQLiteDatabase::TSQLiteDatabase() {
  Api();
}

TSQLiteDatabase::~TSQLiteDatabase() {
  // A failing ROLLBACK must not end the program from a destructor.
  try {
    Close();
  } catch (...) {
    if (handle_) Api()->Close(handle_);
    handle_ = nullptr;
  }
}

std::string TSQLiteDatabase::ResolvePath(const std::string& path) {
  const bool absolute =
      (!path.empty() && (path[0] == '/' || path[0] == '\\')) || path.find(':') != std::string::npos;
  return platform::NativePath(absolute ? path : ProgramFolder() + path);
}

void TSQLiteDatabase::Open() {
  SQLiteApi& api = RequireApi();
  Close();
  const std::string path = ResolvePath(fileName_);
  if (!FileExists(path)) ForceFolders(ExtractFilePath(path));
  // The library takes UTF-8 file names; ours are in the ANSI code page.
  const std::string utf8 = Utf16ToUtf8(platform::AnsiToUtf16(path));
  sqlite3* handle = nullptr;
  if (api.Open(utf8.c_str(), &handle) != kSQLiteOk) {
    std::string reason = handle ? api.ErrorMessage(handle) : "unknown error";
    // The library hands out a handle even when the open fails; it must be closed.
    if (handle) api.Close(handle);
    throw ESQLiteException("Failed to open database \"" + path + "\" : " + reason);
  }
  handle_ = handle;
  api.BusyTimeout(handle_, 2000);
  Execute("PRAGMA synchronous = OFF;");
  Execute("PRAGMA temp_store = MEMORY;");
  Execute("PRAGMA read_uncommitted = 1;");
}

void TSQLiteDatabase::Execute(const std::string& sql) {
  SQLiteApi& api = RequireApi();
  if (!handle_) throw ESQLiteException("Error executing SQL statement");
  if (api.Exec(handle_, sql.c_str(), nullptr, nullptr, nullptr) == kSQLiteOk) return;
  if (api.ErrorCode(handle_) == kSQLiteOk) throw ESQLiteException("Error executing SQL statement");
  throw ESQLiteException("Error executing SQL statement \"" + sql +
                         "\" : " + api.ErrorMessage(handle_));
}

void TSQLiteDatabase::Close() {
  if (!handle_) return;
  SQLiteApi& api = *Api();
  sqlite3* handle = handle_;
  std::string rollbackError;
  if (api.GetAutocommit(handle) == 0) {
    try {
      Execute("ROLLBACK;");
    } catch (const ESQLiteException& e) {
      rollbackError = e.what();
    }
  }
  handle_ = nullptr;
  api.Close(handle);
  if (!rollbackError.empty()) throw ESQLiteException(rollbackError);
}
