// TDBConnection over unixODBC with the SQLite3 ODBC driver: data sources from
// an ODBCINI file of the test's own.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/temp_folder.h"
#include "database/db_connection.h"
#include "database/odbc_connection.h"
#include "database/sqlite_database.h"
#include "peer_tools.h"
#include "platform/files.h"

namespace {

std::string ConnectError(TDBConnection& connection) {
  try {
    connection.Connect();
  } catch (const EODBC& e) {
    return e.Records().empty() ? "no records" : e.Records().front().State + " " + e.what();
  }
  return "connected";
}

TEST(ODBCConnection, DataSourcesAttributesAndErrors) {
  TempFolder temp;
  const std::string main = platform::NativePath(temp / "main.db");
  const std::string other = platform::NativePath(temp / "other.db");
  PutFile(temp / "odbc.ini", "[maildsn]\nDriver=SQLite3\nDatabase=" + main + "\n");
  setenv("ODBCINI", platform::NativePath(temp / "odbc.ini").c_str(), 1);

  {  // A plain data source goes through SQLConnect.
    TDBConnection connection;
    connection.SetConnectionString(" maildsn ;;;;;0");
    EXPECT_EQ(connection.Driver(), TDatabaseDriver::ODBC);
    EXPECT_EQ(connection.Syntax(), 0);
    auto& odbc = dynamic_cast<THdbc&>(*connection.Connection());
    EXPECT_EQ(odbc.DriverConnectString(), "");
    EXPECT_EQ(ConnectError(connection), "connected");
    EXPECT_TRUE(odbc.IsOpen());
    EXPECT_TRUE(platform::PathExists(main));
    connection.Disconnect();
    EXPECT_FALSE(odbc.IsOpen());
  }
  {  // "?" attributes go through SQLDriverConnect, and the driver takes them.
    TDBConnection connection;
    connection.SetConnectionString("maildsn?Database=" + other + "&Timeout=1000;;;;;");
    auto& odbc = dynamic_cast<THdbc&>(*connection.Connection());
    EXPECT_EQ(odbc.DataSource, "maildsn");
    EXPECT_EQ(odbc.DriverConnectString(), "DSN=maildsn;Database=" + other + ";Timeout=1000;");
    EXPECT_EQ(ConnectError(connection), "connected");
    EXPECT_TRUE(platform::PathExists(other));
    // With a user and a password they come after the data source.
    connection.SetConnectionString("sales?Trusted_Connection=yes&App=mail;u;p;;0;1");
    EXPECT_EQ(odbc.DriverConnectString(), "DSN=sales;UID=u;PWD=p;Trusted_Connection=yes;App=mail;");
    connection.SetConnectionString("sales?Trusted_Connection=yes&App=mail;;;;;1");
    EXPECT_EQ(odbc.DriverConnectString(), "DSN=sales;Trusted_Connection=yes;App=mail;");
  }
  {  // An unknown data source: the driver manager's text.
    TDBConnection connection;
    connection.SetConnectionString("nosuchdsn;user;secret;;0;0");
    EXPECT_EQ(ConnectError(connection),
              "IM002 [unixODBC][Driver Manager]Data source name not found and no default "
              "driver specified");
  }
  {  // An unknown one with a working backup.
    TDBConnection connection;
    connection.SetConnectionString("nosuchdsn;;;;;1|maildsn|||||1");
    EXPECT_EQ(ConnectError(connection), "connected");
    EXPECT_TRUE(connection.UsingBackup());
  }
}

TEST(ODBCConnection, DriverNumbers) {
  TDBConnection connection;
  connection.SetConnectionString("a;;;;;");
  EXPECT_EQ(connection.Driver(), TDatabaseDriver::ODBC);
  EXPECT_NE(dynamic_cast<THdbc*>(connection.Connection()), nullptr);
  connection.SetConnectionString("a;;;;;0");
  EXPECT_EQ(connection.Driver(), TDatabaseDriver::ODBC);
  // Another driver takes a client of its own.
  connection.SetConnectionString("a.db;;;;;3");
  EXPECT_EQ(connection.Driver(), TDatabaseDriver::SQLite);
  EXPECT_NE(dynamic_cast<TSQLiteDatabase*>(connection.Connection()), nullptr);
  // A number that names no driver leaves the driver as it was.
  connection.SetConnectionString("b.db;;;;;7");
  EXPECT_EQ(connection.Driver(), TDatabaseDriver::SQLite);
  EXPECT_EQ(dynamic_cast<TSQLiteDatabase&>(*connection.Connection()).FileName(), "b.db");
  connection.SetConnectionString("dsn;;;;2;1");
  auto& odbc = dynamic_cast<THdbc&>(*connection.Connection());
  EXPECT_EQ(odbc.DataSource, "dsn");
  // The cursor flag of the previous configuration (SQLite's syntax) asks for
  // the driver manager's cursors; a first configuration never does.
  EXPECT_EQ(odbc.CursorLib, odbc::kCurUseOdbc);
  TDBConnection fresh;
  fresh.SetConnectionString("dsn;;;;2;1");
  EXPECT_EQ(dynamic_cast<THdbc&>(*fresh.Connection()).CursorLib, odbc::kCurUseDriver);
  EXPECT_TRUE(fresh.CursorLibrary());
}

TEST(ODBCConnection, DiagnosticRecordsWithoutADriverManagerRecord) {
  const EODBC invalid = EODBC::FromHandle(odbc::kHandleDbc, nullptr, odbc::kInvalidHandle);
  EXPECT_STREQ(invalid.what(), "Invalid ODBC Handle");
  EXPECT_STREQ(EODBC::FromHandle(odbc::kHandleDbc, nullptr, odbc::kNoData).what(), "No Data Found");
  EXPECT_STREQ(EODBC::FromHandle(odbc::kHandleDbc, nullptr, 2).what(), "ODBC Return Code 2");
  // A null handle yields no records to read.
  const EODBC none = EODBC::FromHandle(odbc::kHandleDbc, nullptr, odbc::kError);
  ASSERT_EQ(none.Records().size(), 1u);
  EXPECT_STREQ(none.what(), "Unable to Retrieve ODBC Error");
  EXPECT_FALSE(none.IsConnectionException());
  EXPECT_TRUE(EODBC({{"HY000", 1, "x"}, {"08001", 2, "y"}}).IsConnectionException());
}

}  // namespace
