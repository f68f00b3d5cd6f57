// TDBConnection over the real SQLite client library, checked with the sqlite3
// tool.
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/temp_folder.h"
#include "database/database_error.h"
#include "database/db_connection.h"
#include "database/sqlite_database.h"
#include "peer_tools.h"
#include "platform/files.h"
#include "support/paths.h"

namespace {

std::string Sqlite(const std::string& file, const std::string& sql) {
  return RunCommand("sqlite3 " + ShellQuote(platform::NativePath(file)) + " " + ShellQuote(sql));
}

std::string ConnectError(TDBConnection& connection) {
  try {
    connection.Connect();
  } catch (const ESQLiteException& e) {
    return e.what();
  }
  return "connected";
}

TEST(SQLiteConnection, RelativePathBelowProgramFolderCreatesFoldersAndRunsStatements) {
  const std::string relative = "dbtest" + std::to_string(getpid()) + "\\sub\\mail.db";
  const std::string folder = ProgramFolder() + "dbtest" + std::to_string(getpid()) + "\\";
  ASSERT_FALSE(FolderExists(folder));
  {
    TDBConnection connection;
    // Blanks around the fields are not part of them; syntax 5 gives way to SQLite's 7.
    connection.SetConnectionString("  " + relative + " ; user ; pw ; host ; 5 ; 3 ");
    EXPECT_EQ(connection.Driver(), TDatabaseDriver::SQLite);
    EXPECT_EQ(connection.Syntax(), 7);
    EXPECT_TRUE(connection.CursorLibrary());
    connection.Connect();
    auto* sqlite = dynamic_cast<TSQLiteDatabase*>(connection.Connection());
    ASSERT_NE(sqlite, nullptr);
    EXPECT_EQ(sqlite->FileName(), relative);
    sqlite->Execute("CREATE TABLE t(v TEXT); INSERT INTO t VALUES('kept');");
    // An open transaction is rolled back, not committed, at close.
    sqlite->Execute("BEGIN; INSERT INTO t VALUES('dropped');");
  }
  const std::string file = folder + "sub\\mail.db";
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(Sqlite(file, "SELECT group_concat(v) FROM t;"), "kept\n");
  EXPECT_EQ(RunCommand("rm -r " + ShellQuote(platform::NativePath(folder)) + " && echo ok"),
            "ok\n");
}

TEST(SQLiteConnection, AnsiPathOpensTheUtf8NamedFile) {
  TempFolder temp;
  // "café.db" as the sqlite3 tool names it (UTF-8) ...
  const std::string utf8Name = temp / "caf\xC3\xA9.db";
  Sqlite(utf8Name, "CREATE TABLE t(v TEXT); INSERT INTO t VALUES('tool');");
  ASSERT_TRUE(FileExists(utf8Name));
  // ... and as the installer holds it (Windows-1252).
  TDBConnection connection;
  connection.SetConnectionString(temp / "caf\xE9.db;;;;;3");
  connection.Connect();
  dynamic_cast<TSQLiteDatabase&>(*connection.Connection()).Execute("INSERT INTO t VALUES('ours');");
  connection.Disconnect();
  EXPECT_FALSE(connection.Connection()->IsOpen());
  EXPECT_EQ(Sqlite(utf8Name, "SELECT group_concat(v) FROM t;"), "tool,ours\n");
  EXPECT_FALSE(platform::PathExists(temp / "caf\xE9.db"));
}

TEST(SQLiteConnection, FailuresAndTheBackupConnection) {
  TempFolder temp;
  // A folder cannot be opened as a database.
  const std::string badPrimary = temp / "primary.db";
  const std::string badBackup = temp / "backup.db";
  ASSERT_TRUE(ForceFolders(badPrimary));
  ASSERT_TRUE(ForceFolders(badBackup));
  const std::string good = temp / "good.db";

  {  // No backup: the primary's error at once.
    TDBConnection connection;
    connection.SetConnectionString(badPrimary + ";;;;0;3");
    EXPECT_EQ(ConnectError(connection), "Failed to open database \"" +
                                            platform::NativePath(badPrimary) +
                                            "\" : unable to open database file");
    EXPECT_FALSE(connection.UsingBackup());
    EXPECT_FALSE(connection.SwitchToBackup());
  }
  {  // A failing primary and a working backup: connected to the backup, for good.
    TDBConnection connection;
    connection.SetConnectionString(badPrimary + ";;;;0;3|" + good + "||||0|3");
    EXPECT_EQ(connection.Backup(), good + ";;;;0;3");
    EXPECT_EQ(ConnectError(connection), "connected");
    EXPECT_TRUE(connection.UsingBackup());
    EXPECT_TRUE(connection.Connection()->IsOpen());
    EXPECT_EQ(dynamic_cast<TSQLiteDatabase&>(*connection.Connection()).FileName(), good);
    EXPECT_FALSE(connection.SwitchToBackup());
    connection.Disconnect();
    connection.Disconnect();  // nothing when closed
    EXPECT_TRUE(FileExists(good));
  }
  {  // Both failing: the backup's message.
    TDBConnection connection;
    connection.SetConnectionString(badPrimary + ";;;;0;3|" + badBackup + "||||0|3");
    EXPECT_EQ(ConnectError(connection), "Failed to open database \"" +
                                            platform::NativePath(badBackup) +
                                            "\" : unable to open database file");
    EXPECT_TRUE(connection.UsingBackup());
  }
}

TEST(ConnectionString, FieldsNumbersAndDrivers) {
  EXPECT_EQ(ReadConnectionNumber(" 12ab"), 12u);
  EXPECT_EQ(ReadConnectionNumber("-3"), 0u);
  EXPECT_EQ(ReadConnectionNumber(""), 0u);
  EXPECT_EQ(ReadConnectionNumber("99999999999"), 0u);

  TDBConnection connection(4);
  // The part in use is cut at 255 characters: the driver field beyond it is lost
  // for the fields, though the driver itself is read from the whole string.
  const std::string longName(260, 'a');
  connection.SetConnectionString(longName + ";;;;6;3");
  EXPECT_EQ(connection.Syntax(), 7);
  auto& sqlite = dynamic_cast<TSQLiteDatabase&>(*connection.Connection());
  EXPECT_EQ(sqlite.FileName(), longName.substr(0, 255));
  connection.ApplyConnection(false);
  EXPECT_EQ(connection.Syntax(), 7);
  // Forcing happens only in SetConnectionString; re-applying reads the stored syntax.
  connection.SetConnectionString("x.db;;;;6;3");
  EXPECT_EQ(connection.Syntax(), 7);
  connection.ApplyConnection(false);
  EXPECT_EQ(connection.Syntax(), 6);

  // Syntax 0 keeps the default and clears the cursor flag.
  TDBConnection fresh(0);
  fresh.SetConnectionString("x.db;;;;;3");
  fresh.ApplyConnection(false);
  EXPECT_EQ(fresh.Syntax(), 7);
  EXPECT_TRUE(fresh.CursorLibrary());
}

}  // namespace
