// TDBConnection over the real MariaDB client library against a server of
// the test's own on loopback.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <unistd.h>

#include "database/database_error.h"
#include "database/db_connection.h"
#include "database/mysql_database.h"
#include "database/odbc_connection.h"
#include "mariadb_server.h"
#include "peer_tools.h"

namespace {

MariaDBServer* server = nullptr;

class ServerEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    server = &server_;
    const std::string failure = server_.Start();
    ASSERT_EQ(failure, "");
    int status = 0;
    const std::string output = server_.Sql(
        "CREATE DATABASE maildb; CREATE USER 'mail'@'127.0.0.1' IDENTIFIED BY 'pw';"
        "CREATE USER 'mail'@'localhost' IDENTIFIED BY 'pw';"
        "GRANT ALL ON maildb.* TO 'mail'@'127.0.0.1'; GRANT ALL ON maildb.* TO 'mail'@'localhost';"
        "CREATE USER 'other'@'127.0.0.1' IDENTIFIED BY 'pw';",
        &status);
    ASSERT_EQ(status, 0) << output;
    // The client library's default port, read when it starts: a server
    // field without a port must reach this server through it.
    setenv("MYSQL_TCP_PORT", std::to_string(server_.Port()).c_str(), 1);
  }
  void TearDown() override { server_.Stop(); }

 private:
  MariaDBServer server_;
};

const auto* const environment = testing::AddGlobalTestEnvironment(new ServerEnvironment);

std::string ConnectError(TDBConnection& connection) {
  try {
    connection.Connect();
  } catch (const EMySQLError& e) {
    return e.what();
  }
  return "connected";
}

std::string Address() {
  return "127.0.0.1:" + std::to_string(server->Port());
}

TEST(MySQLConnection, ConnectsAndReportsTheServersErrors) {
  {
    TDBConnection connection;
    connection.SetConnectionString("maildb;mail;pw;" + Address() + ";0;2");
    EXPECT_EQ(connection.Driver(), TDatabaseDriver::MySQL);
    EXPECT_EQ(connection.Syntax(), 3);
    ASSERT_EQ(ConnectError(connection), "connected");
    auto& mysql = dynamic_cast<TMySQLDatabase&>(*connection.Connection());
    EXPECT_EQ(mysql.Param("HostName"), Address());
    EXPECT_NE(mysql.ServerInfo().find("MariaDB"), std::string::npos) << mysql.ServerInfo();
    EXPECT_NE(mysql.HostInfo().find("127.0.0.1 via TCP/IP"), std::string::npos);
    // The server sees the session in the database.
    EXPECT_NE(server->Sql("SELECT user, db FROM information_schema.processlist WHERE user='mail';")
                  .find("mail\tmaildb"),
              std::string::npos);
    connection.Disconnect();
    EXPECT_FALSE(mysql.IsOpen());
    EXPECT_EQ(mysql.ServerInfo(), "");
  }
  {  // A wrong password.
    TDBConnection connection;
    connection.SetConnectionString("maildb;mail;wrong;" + Address() + ";0;2");
    EXPECT_EQ(ConnectError(connection),
              "Server connect failed: Access denied for user 'mail'@'localhost' (using "
              "password: YES)");
  }
  {  // A database that does not exist, and one the user may not use.
    TDBConnection connection;
    connection.SetConnectionString("nodb;mail;pw;" + Address() + ";0;2");
    EXPECT_EQ(ConnectError(connection),
              "failed to select database: Access denied for user 'mail'@'localhost' to "
              "database 'nodb'");
    connection.SetConnectionString("nodb;root;;" + Address() + ";0;2");
    EXPECT_EQ(ConnectError(connection), "failed to select database: Unknown database 'nodb'");
  }
  {  // No port: the library's default (here, this server's port).
    TDBConnection connection;
    connection.SetConnectionString("maildb;mail;pw;127.0.0.1;0;2");
    EXPECT_EQ(ConnectError(connection), "connected");
  }
  {  // A host with a backslash is a socket (or pipe) name.
    TDBConnection connection;
    connection.SetConnectionString("maildb;mail;pw;" + server->Socket() + ";0;2");
    EXPECT_EQ(ConnectError(connection), "connected");
    EXPECT_EQ(dynamic_cast<TMySQLDatabase&>(*connection.Connection()).HostInfo(),
              "Localhost via UNIX socket");
  }
}

TEST(MySQLConnection, BackupRules) {
  const std::string good = "maildb;mail;pw;" + Address() + ";0;2";
  const std::string goodBackup = "maildb|mail|pw|" + Address() + "|0|2";
  const std::string denied =
      "Server connect failed: Access denied for user 'mail'@'localhost' "
      "(using password: YES)";
  {  // A failing primary, no backup: its own error at once.
    TDBConnection connection;
    connection.SetConnectionString("maildb;mail;bad;" + Address() + ";0;2");
    EXPECT_EQ(ConnectError(connection), denied);
    EXPECT_FALSE(connection.UsingBackup());
  }
  {  // A failing primary, a working backup.
    TDBConnection connection;
    connection.SetConnectionString("maildb;mail;bad;" + Address() + ";0;2|" + goodBackup);
    EXPECT_EQ(ConnectError(connection), "connected");
    EXPECT_TRUE(connection.UsingBackup());
    EXPECT_EQ(dynamic_cast<TMySQLDatabase&>(*connection.Connection()).Param("Password"), "pw");
  }
  {  // Both failing: the backup's message.
    TDBConnection connection;
    connection.SetConnectionString("maildb;mail;bad;" + Address() + ";0;2|nodb|mail|pw|" +
                                   Address() + "|0|2");
    EXPECT_EQ(ConnectError(connection),
              "failed to select database: Access denied for user 'mail'@'localhost' to "
              "database 'nodb'");
  }
  {  // A working primary never touches the backup.
    TDBConnection connection;
    connection.SetConnectionString(good + "|nodb|mail|pw|" + Address() + "|0|2");
    EXPECT_EQ(ConnectError(connection), "connected");
    EXPECT_FALSE(connection.UsingBackup());
  }
}

TEST(MySQLConnection, ThroughTheMariaDBODBCDriver) {
  char path[] = "/tmp/odbc-ini-XXXXXX";
  const int descriptor = mkstemp(path);
  ASSERT_GE(descriptor, 0);
  close(descriptor);
  std::ofstream(path) << "[mariadsn]\nDriver=MariaDB Unicode\nServer=127.0.0.1\nPort="
                      << server->Port() << "\nDatabase=maildb\n";
  setenv("ODBCINI", path, 1);

  TDBConnection connection;
  connection.SetConnectionString("mariadsn;mail;pw;;3;1");
  EXPECT_EQ(connection.Syntax(), 3);
  try {
    connection.Connect();
  } catch (const std::exception& e) {
    ADD_FAILURE() << e.what();
  }
  EXPECT_TRUE(connection.Connection()->IsOpen());
  EXPECT_NE(server->Sql("SELECT db FROM information_schema.processlist WHERE user='mail';")
                .find("maildb"),
            std::string::npos);

  TDBConnection refused;
  refused.SetConnectionString("mariadsn;mail;secret;;3;1");
  try {
    refused.Connect();
    ADD_FAILURE() << "connected with a wrong password";
  } catch (const EODBC& e) {
    ASSERT_FALSE(e.Records().empty());
    EXPECT_EQ(e.Records().front().State, "28000");
    EXPECT_NE(std::string(e.what()).find("Access denied for user 'mail'@'localhost'"),
              std::string::npos)
        << e.what();
    EXPECT_EQ(std::string(e.what()).find("secret"), std::string::npos);
  }
  std::remove(path);
}

}  // namespace
