#include "database/firebird_database.h"

#include <array>

#include "platform/dynamic_library.h"

namespace {

#ifdef _WIN32
constexpr std::array<const char*, 3> kLibraryNames = {"fbembed.dll", "fbclient.dll", "gds32.dll"};
#else
constexpr std::array<const char*, 1> kLibraryNames = {"libfbclient.so.2"};
#endif

using Status = intptr_t;
using Handle = uint32_t;
constexpr size_t kStatusLength = 20;
using StatusVector = std::array<Status, kStatusLength>;

constexpr char kDpbVersion = 1;
constexpr char kDpbUserName = 28;
constexpr char kDpbPassword = 29;
constexpr char kDpbCharacterSet = 48;
constexpr char kDpbRole = 60;
constexpr char kInfoSQLDialect = 62;
constexpr char kInfoEnd = 1;

struct FirebirdApi {
  platform::DynamicLibrary Library;
  int ClientLevel = 0;
  Status (*Attach)(Status*, short, const char*, Handle*, short, const char*) = nullptr;
  Status (*Detach)(Status*, Handle*) = nullptr;
  Status (*DatabaseInfo)(Status*, Handle*, short, const char*, short, char*) = nullptr;
  int32_t (*VaxInteger)(const char*, short) = nullptr;
  int32_t (*SQLCode)(const Status*) = nullptr;
  // The bounded form of the message reader.
  int32_t (*Interpret)(char*, unsigned int, const Status**) = nullptr;

  void Load() {
    if (Library.IsLoaded()) return;
    std::string tried;
    for (const char* name : kLibraryNames) {
      tried = name;
      if (Library.Load(name)) break;
    }
    if (!Library.IsLoaded()) throw EDatabaseError("Library " + tried + " not found");
    try {
      Resolve(Attach, "isc_attach_database");
      Resolve(Detach, "isc_detach_database");
      Resolve(DatabaseInfo, "isc_database_info");
      Resolve(VaxInteger, "isc_vax_integer");
      Resolve(SQLCode, "isc_sqlcode");
      Resolve(Interpret, "fb_interpret");
    } catch (...) {
      Library.Unload();
      throw;
    }
    ClientLevel = 5;
    if (Library.Symbol("isc_rollback_retaining")) ClientLevel = 6;
    if (ClientLevel == 6 && Library.Symbol("isc_get_client_version")) ClientLevel = 7;
  }

  template <class Function>
  void Resolve(Function& function, const char* name) {
    function = Library.SymbolAs<Function>(name);
    if (!function) throw EDatabaseError(std::string("Unable to locate symbol \"") + name + "\"");
  }
};

FirebirdApi& Api() {
  static FirebirdApi api;
  return api;
}

FirebirdApi& RequireApi() {
  FirebirdApi& api = Api();
  api.Load();
  return api;
}

bool Failed(const StatusVector& status) {
  return status[0] == 1 && status[1] != 0;
}

EFBLError ErrorFrom(FirebirdApi& api, const StatusVector& status) {
  std::string message;
  std::string previous;
  const Status* cursor = status.data();
  char buffer[512];
  while (api.Interpret(buffer, sizeof buffer, &cursor) != 0) {
    buffer[sizeof buffer - 1] = '\0';
    const std::string text = buffer;
    if (text == previous) continue;
    if (!message.empty()) message += "\r\n";
    message += text;
    previous = text;
  }
  return EFBLError(message, api.SQLCode(status.data()), status[1]);
}

void AddItem(std::vector<char>& buffer, char code, const std::string& value, const char* what) {
  if (value.size() > 255) throw EDatabaseError(std::string("Database parameter too long: ") + what);
  buffer.push_back(code);
  buffer.push_back(static_cast<char>(value.size()));
  buffer.insert(buffer.end(), value.begin(), value.end());
}

}  // namespace

TFBLDatabase::~TFBLDatabase() {
  // A failing detach must not end the program from a destructor.
  try {
    Close();
  } catch (...) {
  }
  handle_ = 0;
}

int TFBLDatabase::ClientLevel() {
  return Api().ClientLevel;
}

std::string TFBLDatabase::DatabaseName() const {
  switch (Protocol) {
    case TFBLProtocol::ptLocal:
      break;
    case TFBLProtocol::ptTcpIp:
      if (Host.empty()) throw EDatabaseError("Host name cannot be blank");
      if (TcpPort == 3050) return Host + ":" + DBFile;
      return Host + "/" + std::to_string(TcpPort) + ":" + DBFile;
    case TFBLProtocol::ptNetBeui:
      if (Host.empty()) throw EDatabaseError("Host name cannot be blank");
      return "\\\\" + Host + "\\" + DBFile;
  }
  return DBFile;
}

std::vector<char> TFBLDatabase::ParameterBuffer() const {
  std::vector<char> buffer{kDpbVersion};
  AddItem(buffer, kDpbUserName, User, "user name");
  AddItem(buffer, kDpbPassword, Password, "password");
  if (!Role.empty()) AddItem(buffer, kDpbRole, Role, "role");
  if (!CharacterSet.empty()) AddItem(buffer, kDpbCharacterSet, CharacterSet, "character set");
  return buffer;
}

void TFBLDatabase::Open() {
  FirebirdApi& api = RequireApi();
  if (handle_ != 0) throw EDatabaseError("Database already Connected");
  const std::string name = DatabaseName();
  const std::vector<char> parameters = ParameterBuffer();
  if (name.size() > 32767) throw EDatabaseError("Database name too long");
  StatusVector status{};
  Handle handle = 0;
  api.Attach(status.data(), static_cast<short>(name.size()), name.data(), &handle,
             static_cast<short>(parameters.size()), parameters.data());
  if (Failed(status)) throw ErrorFrom(api, status);
  handle_ = handle;

  databaseDialect_ = 1;
  const char items[] = {kInfoSQLDialect, kInfoEnd};
  char result[32] = {};
  status = {};
  api.DatabaseInfo(status.data(), &handle_, sizeof items, items, sizeof result, result);
  if (Failed(status)) {
    EFBLError error = ErrorFrom(api, status);
    Close();
    throw error;
  }
  if (result[0] == kInfoSQLDialect) {
    const int32_t length = api.VaxInteger(result + 1, 2);
    if (length > 0 && length <= 4)
      databaseDialect_ = api.VaxInteger(result + 3, static_cast<short>(length));
  }
  if (AutoSetClientDialect) sqlDialect_ = databaseDialect_;
}

void TFBLDatabase::SetSQLDialect(int dialect) {
  if (dialect < 1 || (IsOpen() && dialect > databaseDialect_))
    throw EDatabaseError("Sql Dialect invalid");
  sqlDialect_ = dialect;
}

void TFBLDatabase::Close() {
  if (handle_ == 0) return;
  FirebirdApi& api = Api();
  StatusVector status{};
  api.Detach(status.data(), &handle_);
  if (Failed(status)) throw ErrorFrom(api, status);
  handle_ = 0;
}
