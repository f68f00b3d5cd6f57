#include "database/odbc_connection.h"

namespace {

bool Succeeded(odbc::Return result) {
  return result == odbc::kSuccess || result == odbc::kSuccessWithInfo;
}

odbc::Char* Text(std::string& text) {
  return reinterpret_cast<odbc::Char*>(text.data());
}

void* IntegerValue(uintptr_t value) {
  return reinterpret_cast<void*>(value);
}

}  // namespace

THenv& THenv::Instance() {
  static THenv environment;
  return environment;
}

std::mutex& THenv::HandleLock() {
  static std::mutex lock;
  return lock;
}

odbc::Handle THenv::Handle() {
  std::lock_guard<std::mutex> guard(HandleLock());
  if (handle_) return handle_;
  if (pooling_ != TConnectionPooling::cpDefault) {
    const uintptr_t wanted = pooling_ == TConnectionPooling::cpOff ? odbc::kCpOff
                             : pooling_ == TConnectionPooling::cpOnePerDriver
                                 ? odbc::kCpOnePerDriver
                                 : odbc::kCpOnePerHenv;
    uintptr_t current = 0;
    odbc::Return result =
        SQLGetEnvAttr(nullptr, odbc::kAttrConnectionPooling, &current, 0, nullptr);
    if (!Succeeded(result)) throw EODBC::FromHandle(odbc::kHandleEnv, nullptr, result);
    if (current != wanted) {
      result = SQLSetEnvAttr(nullptr, odbc::kAttrConnectionPooling, IntegerValue(wanted), 0);
      if (!Succeeded(result)) throw EODBC::FromHandle(odbc::kHandleEnv, nullptr, result);
    }
  }
  odbc::Handle handle = nullptr;
  odbc::Return result = SQLAllocHandle(odbc::kHandleEnv, nullptr, &handle);
  if (!Succeeded(result)) throw EODBC::FromHandle(odbc::kHandleEnv, handle, result);
  result = SQLSetEnvAttr(handle, odbc::kAttrOdbcVersion, IntegerValue(odbc::kOvOdbc3), 0);
  if (!Succeeded(result)) {
    EODBC error = EODBC::FromHandle(odbc::kHandleEnv, handle, result);
    SQLFreeHandle(odbc::kHandleEnv, handle);
    throw error;
  }
  handle_ = handle;
  return handle_;
}

void THenv::Register(THdbc* connection) {
  connections_.insert(connection);
}
void THenv::Unregister(THdbc* connection) {
  connections_.erase(connection);
}

THenv::~THenv() {
  std::lock_guard<std::mutex> guard(HandleLock());
  if (handle_) SQLFreeHandle(odbc::kHandleEnv, handle_);
  handle_ = nullptr;
}

THdbc::~THdbc() {
  // A failing disconnect must not end the program from a destructor.
  try {
    Disconnect();
  } catch (...) {
  }
  ReleaseHandle();
}

odbc::Handle THdbc::Handle() {
  if (handle_) return handle_;
  THenv& environment = THenv::Instance();
  odbc::Handle env = environment.Handle();
  {
    std::lock_guard<std::mutex> guard(THenv::HandleLock());
    odbc::Handle handle = nullptr;
    const odbc::Return result = SQLAllocHandle(odbc::kHandleDbc, env, &handle);
    if (!Succeeded(result)) throw EODBC::FromHandle(odbc::kHandleEnv, env, result);
    handle_ = handle;
    environment.Register(this);
  }
  ApplyCursorLibrary();
  return handle_;
}

void THdbc::ReleaseHandle() {
  std::lock_guard<std::mutex> guard(THenv::HandleLock());
  if (!handle_) return;
  SQLFreeHandle(odbc::kHandleDbc, handle_);
  handle_ = nullptr;
  connected_ = false;
  THenv::Instance().Unregister(this);
}

void THdbc::Check(odbc::Return result) {
  if (Succeeded(result)) return;
  EODBC error = EODBC::FromHandle(odbc::kHandleDbc, handle_, result);
  // The next use allocates a new handle. Released here, by its owner, so a
  // copy of the exception that outlives this object frees nothing.
  if (error.IsConnectionException()) ReleaseHandle();
  throw error;
}

void THdbc::ApplyCursorLibrary() {
  uintptr_t current = 0;
  Check(SQLGetConnectAttr(handle_, odbc::kAttrOdbcCursors, &current, 0, nullptr));
  if (current != CursorLib)
    Check(SQLSetConnectAttr(handle_, odbc::kAttrOdbcCursors, IntegerValue(CursorLib), 0));
}

std::string THdbc::DriverConnectString() const {
  if (DriverName.empty() && InfoPrompt == odbc::kDriverNoPrompt && Attributes.empty()) return "";
  std::string text;
  if (!DataSource.empty()) text += "DSN=" + DataSource + ";";
  if (!UserName.empty()) text += "UID=" + UserName + ";";
  if (!Password.empty()) text += "PWD=" + Password + ";";
  if (!DriverName.empty()) text += "DRIVER=" + DriverName + ";";
  for (const std::string& attribute : Attributes)
    text += attribute + ";";
  return text;
}

void THdbc::Connect() {
  if (connected_) return;
  Handle();
  ApplyCursorLibrary();
  std::string connectString = DriverConnectString();
  if (!connectString.empty()) {
    odbc::Char out[256] = {};
    odbc::SmallInt outLength = 0;
    Check(SQLDriverConnect(handle_, nullptr, Text(connectString), odbc::kNts, out, sizeof out,
                           &outLength, InfoPrompt));
  } else {
    std::string source = DataSource, user = UserName, password = Password;
    Check(SQLConnect(handle_, Text(source), odbc::kNts, Text(user), odbc::kNts, Text(password),
                     odbc::kNts));
  }
  connected_ = true;
  try {
    uintptr_t isolation = 0;
    Check(SQLGetConnectAttr(handle_, odbc::kAttrTxnIsolation, &isolation, 0, nullptr));
    if (isolation != IsolationLevel)
      Check(SQLSetConnectAttr(handle_, odbc::kAttrTxnIsolation, IntegerValue(IsolationLevel), 0));
    odbc::USmallInt supported = 0;
    Check(SQLGetFunctions(handle_, odbc::kApiDescribeParam, &supported));
    describeParam_ = supported != 0;
  } catch (...) {
    // Nothing half-open is left behind.
    if (handle_ && connected_) SQLDisconnect(handle_);
    connected_ = false;
    throw;
  }
}

void THdbc::Disconnect() {
  if (!connected_ || !handle_) return;
  connected_ = false;
  Check(SQLDisconnect(handle_));
}
