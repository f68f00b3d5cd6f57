// TDBConnection over the real Firebird client library, embedded: database
// files made by isql-fb.
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "database/db_connection.h"
#include "database/firebird_database.h"
#include "peer_tools.h"
#include "platform/files.h"

namespace {

void CreateDatabase(const std::string& file, int dialect) {
  int status = 0;
  const std::string output = RunCommand(
      "echo " +
          ShellQuote("SET SQL DIALECT " + std::to_string(dialect) + "; CREATE DATABASE '" +
                     platform::NativePath(file) + "' USER 'SYSDBA';") +
          " | isql-fb -q 2>&1",
      &status);
  ASSERT_EQ(status, 0) << output;
  ASSERT_TRUE(platform::PathExists(file)) << output;
}

TEST(FirebirdConnection, AttachesReadsTheDialectAndReportsTheEnginesTexts) {
  TempFolder temp;
  const std::string dialect3 = platform::NativePath(temp / "mail3.fdb");
  const std::string dialect1 = platform::NativePath(temp / "mail1.fdb");
  CreateDatabase(dialect3, 3);
  CreateDatabase(dialect1, 1);

  TDBConnection connection;
  connection.SetConnectionString(dialect3 + ";SYSDBA;masterkey;ignored;0;4");
  EXPECT_EQ(connection.Driver(), TDatabaseDriver::Firebird);
  EXPECT_EQ(connection.Syntax(), 6);
  connection.Connect();
  auto& firebird = dynamic_cast<TFBLDatabase&>(*connection.Connection());
  EXPECT_TRUE(firebird.IsOpen());
  EXPECT_EQ(firebird.DatabaseDialect(), 3);
  EXPECT_EQ(firebird.SQLDialect(), 3);
  EXPECT_EQ(TFBLDatabase::ClientLevel(), 7);
  EXPECT_THROW(firebird.SetSQLDialect(4), EDatabaseError);
  EXPECT_THROW(firebird.SetSQLDialect(0), EDatabaseError);
  firebird.SetSQLDialect(1);
  try {
    firebird.Open();
    ADD_FAILURE() << "attached twice";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Database already Connected");
  }
  connection.Disconnect();
  EXPECT_FALSE(firebird.IsOpen());

  // A database of dialect 1.
  TDBConnection old;
  old.SetConnectionString(dialect1 + ";SYSDBA;;;0;4");
  old.Connect();
  EXPECT_EQ(dynamic_cast<TFBLDatabase&>(*old.Connection()).SQLDialect(), 1);

  // A missing file: the engine's texts, joined by line breaks.
  const std::string missing = platform::NativePath(temp / "missing.fdb");
  TDBConnection absent;
  absent.SetConnectionString(missing + ";SYSDBA;;;0;4|" + missing + "2||||0|4");
  try {
    absent.Connect();
    ADD_FAILURE() << "attached a missing file";
  } catch (const EFBLError& e) {
    // Both failing: the backup's texts.
    EXPECT_EQ(std::string(e.what()), "I/O error during \"open\" operation for file \"" + missing +
                                         "2\"\r\nError while trying to open file\r\nNo such "
                                         "file or directory");
    EXPECT_EQ(e.SQLCode(), -902);
    EXPECT_EQ(e.EngineCode(), 335544344);  // isc_io_error
  }
  EXPECT_FALSE(platform::PathExists(missing));
}

TEST(FirebirdConnection, NamesAndParameterBuffer) {
  TFBLDatabase database;
  database.DBFile = "/data/mail.fdb";
  EXPECT_EQ(database.DatabaseName(), "/data/mail.fdb");
  database.Protocol = TFBLProtocol::ptTcpIp;
  EXPECT_THROW(database.DatabaseName(), EDatabaseError);
  database.Host = "db";
  EXPECT_EQ(database.DatabaseName(), "db:/data/mail.fdb");
  database.TcpPort = 3051;
  EXPECT_EQ(database.DatabaseName(), "db/3051:/data/mail.fdb");
  database.Protocol = TFBLProtocol::ptNetBeui;
  EXPECT_EQ(database.DatabaseName(), "\\\\db\\/data/mail.fdb");

  database.User = "SYSDBA";
  database.Password = "pw";
  EXPECT_EQ(std::string(database.ParameterBuffer().data(), database.ParameterBuffer().size()),
            std::string("\x01\x1c\x06SYSDBA\x1d\x02pw", 13));
  database.Role = "r";
  database.CharacterSet = "UTF8";
  EXPECT_EQ(std::string(database.ParameterBuffer().data(), database.ParameterBuffer().size()),
            std::string("\x01\x1c\x06SYSDBA\x1d\x02pw\x3c\x01r\x30\x04UTF8", 22));
  // 255 bytes fit the length byte; 256 are refused, not wrapped.
  database.Password = std::string(255, 'p');
  EXPECT_EQ(database.ParameterBuffer().size(), 1u + 8 + 257 + 3 + 6);
  database.Password = std::string(256, 'p');
  EXPECT_THROW(database.ParameterBuffer(), EDatabaseError);
}

}  // namespace
