#include "database/db_connection.h"

#include <exception>
#include <vector>

#include "database/firebird_database.h"
#include "database/mysql_database.h"
#include "database/odbc_connection.h"
#include "database/sqlite_database.h"
#include "support/text.h"

namespace {

constexpr size_t kMaxPartLength = 255;

// Field `index` (0-based) of `text` split by ";", trimmed; empty when absent.
std::string Field(const std::string& text, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    start = text.find(';', start);
    if (start == std::string::npos) return "";
    ++start;
  }
  const size_t end = text.find(';', start);
  return Trim(std::string_view(text).substr(start, end == std::string::npos ? end : end - start));
}

std::unique_ptr<TConnectionObject> CreateConnectionObject(TDatabaseDriver driver) {
  switch (driver) {
    case TDatabaseDriver::ODBC:
      return std::make_unique<THdbc>();
    case TDatabaseDriver::MySQL:
      return std::make_unique<TMySQLDatabase>();
    case TDatabaseDriver::SQLite:
      return std::make_unique<TSQLiteDatabase>();
    case TDatabaseDriver::Firebird:
      return std::make_unique<TFireBirdDatabase>();
  }
  return nullptr;
}

}  // namespace

uint32_t ReadConnectionNumber(const std::string& field) {
  const std::string text = Trim(field);
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return 0;
  }
  return static_cast<uint32_t>(value);
}

TDBConnection::TDBConnection(uint8_t defaultSyntax) : syntax_(defaultSyntax) {}

TDBConnection::~TDBConnection() {
  // A failing close must not end the program from a destructor.
  try {
    Disconnect();
  } catch (...) {
  }
}

void TDBConnection::SetConnectionString(const std::string& text) {
  // Only the drivers this layer knows count; another number leaves the
  // driver as it was, like an unreadable one.
  const uint32_t stored = ReadConnectionNumber(Field(text, 5));
  if (stored >= 1 && stored <= 4) {
    const auto driver = static_cast<TDatabaseDriver>(stored - 1);
    // A connection of another client cannot take these fields.
    if (driver != driver_) connection_.reset();
    driver_ = driver;
  }
  if (!connection_) connection_ = CreateConnectionObject(driver_);
  if (auto* odbc = dynamic_cast<THdbc*>(connection_.get())) {
    odbc->InfoPrompt = odbc::kDriverNoPrompt;
    // The flag of the previous configuration asks for the driver manager's cursors.
    if (cursorLibrary_) odbc->CursorLib = odbc::kCurUseOdbc;
  }

  const size_t bar = text.find('|');
  primary_ = text.substr(0, bar);
  backup_ = bar == std::string::npos ? "" : text.substr(bar + 1);
  for (char& c : backup_)
    if (c == '|') c = ';';
  ApplyConnection(false);

  switch (driver_) {
    case TDatabaseDriver::MySQL:
      syntax_ = 3;
      break;
    case TDatabaseDriver::SQLite:
      syntax_ = 7;
      break;
    case TDatabaseDriver::Firebird:
      syntax_ = 6;
      break;
    case TDatabaseDriver::ODBC:
      break;
  }
}

void TDBConnection::ApplyConnection(bool useBackup) {
  usingBackup_ = useBackup;
  const std::string part = (useBackup ? backup_ : primary_).substr(0, kMaxPartLength);
  const std::string source = Field(part, 0);
  const std::string user = Field(part, 1);
  const std::string password = Field(part, 2);
  const std::string server = Field(part, 3);
  if (auto* odbc = dynamic_cast<THdbc*>(connection_.get())) {
    const size_t question = source.find('?');
    odbc->DataSource = source.substr(0, question);
    odbc->Attributes.clear();
    if (question != std::string::npos) {
      const std::string attributes = source.substr(question + 1);
      size_t start = 0;
      while (start <= attributes.size()) {
        const size_t amp = attributes.find('&', start);
        odbc->Attributes.push_back(attributes.substr(start, amp - start));
        if (amp == std::string::npos) break;
        start = amp + 1;
      }
    }
    odbc->UserName = user;
    odbc->Password = password;
  } else if (auto* mysql = dynamic_cast<TMySQLDatabase*>(connection_.get())) {
    mysql->SetDatabaseName(source);
    mysql->SetParam("UserName", user);
    mysql->SetParam("Password", password);
    mysql->SetParam("HostName", server);
  } else if (auto* sqlite = dynamic_cast<TSQLiteDatabase*>(connection_.get())) {
    sqlite->SetFileName(source);
  } else if (auto* firebird = dynamic_cast<TFBLDatabase*>(connection_.get())) {
    firebird->DBFile = source;
    firebird->User = user;
    firebird->Password = password;
  }

  const uint32_t syntax = ReadConnectionNumber(Field(part, 4));
  if (syntax != 0) syntax_ = static_cast<uint8_t>(syntax);
  cursorLibrary_ = syntax_ != 0;
}

void TDBConnection::Connect() {
  if (!connection_) throw std::runtime_error("No database driver for this connection");
  try {
    connection_->Open();
  } catch (...) {
    std::exception_ptr first = std::current_exception();
    if (!SwitchToBackup()) std::rethrow_exception(first);
  }
}

bool TDBConnection::SwitchToBackup() {
  if (usingBackup_ || backup_.empty()) return false;
  ApplyConnection(true);
  Disconnect();
  Connect();
  return true;
}

void TDBConnection::Disconnect() {
  if (connection_ && connection_->IsOpen()) connection_->Close();
}
