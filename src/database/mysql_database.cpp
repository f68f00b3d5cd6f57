#include "database/mysql_database.h"

#include "database/database_error.h"
#include "database/db_connection.h"
#include "platform/dynamic_library.h"

namespace {

#ifdef _WIN32
constexpr const char* kLibraryName = "libmysql.dll";
#else
constexpr const char* kLibraryName = "libmariadb.so.3";
#endif

struct MySQLApi {
  platform::DynamicLibrary Library;
  MYSQL* (*Init)(MYSQL*) = nullptr;
  MYSQL* (*RealConnect)(MYSQL*, const char*, const char*, const char*, const char*, unsigned int,
                        const char*, unsigned long) = nullptr;
  const char* (*Error)(MYSQL*) = nullptr;
  const char* (*ServerInfo)(MYSQL*) = nullptr;
  const char* (*HostInfo)(MYSQL*) = nullptr;
  int (*SelectDb)(MYSQL*, const char*) = nullptr;
  void (*Close)(MYSQL*) = nullptr;

  bool Load() {
    if (!Library.Load(kLibraryName)) return false;
    Init = Library.SymbolAs<decltype(Init)>("mysql_init");
    RealConnect = Library.SymbolAs<decltype(RealConnect)>("mysql_real_connect");
    Error = Library.SymbolAs<decltype(Error)>("mysql_error");
    ServerInfo = Library.SymbolAs<decltype(ServerInfo)>("mysql_get_server_info");
    HostInfo = Library.SymbolAs<decltype(HostInfo)>("mysql_get_host_info");
    SelectDb = Library.SymbolAs<decltype(SelectDb)>("mysql_select_db");
    Close = Library.SymbolAs<decltype(Close)>("mysql_close");
    if (!Init || !RealConnect || !Error || !ServerInfo || !HostInfo || !SelectDb || !Close) {
      Library.Unload();
      return false;
    }
    return true;
  }
};

// Loaded on the first connect, kept until the program ends; a library that
// is missing is tried again on the next connect.
MySQLApi& RequireApi() {
  static MySQLApi api;
  if (!api.Library.IsLoaded() && !api.Load()) throw EMySQLError("MySQL client library not found");
  return api;
}

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}
std::string Text(const char* text) {
  return text ? text : "";
}

}  // namespace

TMySQLDatabase::~TMySQLDatabase() {
  try {
    Close();
  } catch (...) {
  }
}

std::string TMySQLDatabase::Param(const std::string& name) const {
  const auto found = params_.find(name);
  return found == params_.end() ? "" : found->second;
}

void TMySQLDatabase::Open() {
  MySQLApi& api = RequireApi();
  Close();
  const std::string server = Param("HostName");
  const size_t colon = server.find(':');
  std::string host = server.substr(0, colon);
  // No port means the client library's default.
  const unsigned int port =
      colon == std::string::npos ? 0 : ReadConnectionNumber(server.substr(colon + 1));
  std::string socket;
  if (host.find('\\') != std::string::npos) {
    socket = host;
    host.clear();
  }

  handle_ = api.Init(nullptr);
  if (!handle_) throw EMySQLError("Server connect failed: out of memory");
  const std::string user = Param("UserName");
  const std::string password = Param("Password");
  if (!api.RealConnect(handle_, OrNull(host), user.c_str(), password.c_str(), nullptr, port,
                       OrNull(socket), 0)) {
    const std::string reason = Text(api.Error(handle_));
    Close();
    throw EMySQLError("Server connect failed: " + reason);
  }
  connected_ = true;
  serverInfo_ = Text(api.ServerInfo(handle_));
  hostInfo_ = Text(api.HostInfo(handle_));
  if (api.SelectDb(handle_, databaseName_.c_str()) != 0) {
    const std::string reason = Text(api.Error(handle_));
    Close();
    throw EMySQLError("failed to select database: " + reason);
  }
}

void TMySQLDatabase::Close() {
  if (handle_) RequireApi().Close(handle_);
  handle_ = nullptr;
  connected_ = false;
  serverInfo_.clear();
  hostInfo_.clear();
}
