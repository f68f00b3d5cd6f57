// The connection string as the installer stores it: parsed for every driver
// and both parts, without connecting.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "database/db_connection.h"
#include "database/firebird_database.h"
#include "database/mysql_database.h"
#include "database/odbc_connection.h"
#include "database/sqlite_database.h"

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

void Inspect(const TDBConnection& connection) {
  TConnectionObject* object = connection.Connection();
  Require(object != nullptr);
  Require(!object->IsOpen());
  if (auto* odbc = dynamic_cast<THdbc*>(object)) {
    Require(odbc->DataSource.size() <= 255);
    odbc->DriverConnectString();
  } else if (auto* mysql = dynamic_cast<TMySQLDatabase*>(object)) {
    Require(mysql->DatabaseName().size() <= 255);
  } else if (auto* sqlite = dynamic_cast<TSQLiteDatabase*>(object)) {
    Require(sqlite->FileName().size() <= 255);
  } else if (auto* firebird = dynamic_cast<TFBLDatabase*>(object)) {
    try {
      const std::vector<char> buffer = firebird->ParameterBuffer();
      Require(buffer.size() <= 1 + 2 * 257);
    } catch (const EDatabaseError&) {
    }
    firebird->DatabaseName();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TDBConnection connection;
  connection.SetConnectionString(text);
  Inspect(connection);
  connection.ApplyConnection(true);
  Inspect(connection);
  // A second string on the same object, as a repeated test does.
  connection.SetConnectionString(text.substr(text.size() / 2));
  Inspect(connection);
  return 0;
}
