// The connection layer under Wine: no client DLLs of MySQL, SQLite or
// Firebird in the prefix, and ODBC through Wine's odbc32 to the host's
// unixODBC with the data sources of the ODBCINI file the test run names.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "database/db_connection.h"
#include "database/odbc_connection.h"
#include "support/paths.h"

namespace {

std::string ConnectError(const std::string& connectionString) {
  TDBConnection connection;
  connection.SetConnectionString(connectionString);
  try {
    connection.Connect();
  } catch (const EODBC& e) {
    return e.Records().front().State + " " + e.what();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "connected";
}

TEST(ClientLibraries, MissingLibrariesAreNamed) {
  EXPECT_EQ(ConnectError("maildb;mail;pw;127.0.0.1:3306;0;2"), "MySQL client library not found");
  EXPECT_EQ(ConnectError("mail.db;;;;0;3"), "Failed to load SQLite3 library");
  EXPECT_EQ(ConnectError("C:\\mail.fdb;SYSDBA;pw;;0;4"), "Library gds32.dll not found");
}

TEST(ClientLibraries, ODBCThroughWinesDriverManager) {
  // The files that the SQLite3 ODBC driver makes, seen from Windows through drive Z:.
  const std::string folder = "Z:" + std::string(DATABASE_TEST_FOLDER) + "/";
  std::remove((folder + "wine-odbc.db").c_str());
  std::remove((folder + "wine-odbc-other.db").c_str());

  EXPECT_EQ(ConnectError("nosuchdsn;user;pw;;0;1"),
            "IM002 [unixODBC][Driver Manager]Data source name not found and no default driver "
            "specified");
  EXPECT_EQ(ConnectError("winedsn;;;;0;1"), "connected");
  EXPECT_TRUE(FileExists(folder + "wine-odbc.db"));
  EXPECT_EQ(ConnectError("winedsn?Database=" + std::string(DATABASE_TEST_FOLDER) +
                         "/wine-odbc-other.db&Timeout=1000;;;;0;1"),
            "connected");
  EXPECT_TRUE(FileExists(folder + "wine-odbc-other.db"));
}

}  // namespace
