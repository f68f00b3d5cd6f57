// The suite's database library, found and driven through the stand-in
// db.dll that the build puts in "standin\" beside this test program.
#include <gtest/gtest.h>

#include <cstring>

#include "common/temp_folder.h"
#include "config/database_library.h"
#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config_state.h"
#include "platform/dynamic_library.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace field = settings_field;

namespace {

std::string StandIn() {
  return ExtractFilePath(platform::CurrentSystem().ProgramPath()) + "standin\\db.dll";
}

// The stand-in's log of the calls it received, read through a handle of our
// own on the library the store loaded.
class CallLog {
 public:
  explicit CallLog(const std::string& path) : library_(path) {}
  std::string Text() const {
    auto read = library_.SymbolAs<int32_t (*)(char*, int32_t)>("StandInCallLog");
    if (!read) return "<no log>";
    std::string text(static_cast<size_t>(read(nullptr, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(read(text.data(), static_cast<int32_t>(text.size()))));
    return text;
  }
  // What arrived since the last call of this.
  std::string Since() {
    std::string all = Text();
    std::string fresh = all.substr(std::min(seen_, all.size()));
    seen_ = all.size();
    return fresh;
  }

 private:
  platform::DynamicLibrary library_;
  size_t seen_ = 0;
};

class DatabaseLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    ASSERT_TRUE(platform::PathExists(StandIn())) << StandIn();
    UseInstallFolder(temp.Path());
  }
  void TearDown() override { ResetConfigStore(); }

  void Install(const std::string& below) {
    ASSERT_TRUE(ForceFolders(temp / below));
    ASSERT_TRUE(CopyFileTo(StandIn(), temp / (below + "db.dll"), false));
  }
  // Settings of a database installation whose data lies in "data\".
  void DatabaseSettings(const std::string& domains) {
    Settings().SetNumber(field::StorageMode, kDatabaseStorageMode);
    Settings().SetText(field::AccountDatabase, "data;user;;host;3;2");
    if (!domains.empty()) PutFile(temp / "data\\domains.txt", domains);
  }

  TempFolder temp;
};

}  // namespace

TEST_F(DatabaseLibraryTest, LoadsFromTheInstallFolderThenItsLibFolder) {
  Install("lib\\");
  Settings().SetText(field::AccountDatabase, "first;u;p;h;0;1");
  ASSERT_TRUE(ConnectDatabaseLibrary());
  EXPECT_EQ(DatabaseLibraryPath(), temp / "lib\\db.dll");
  CallLog log(DatabaseLibraryPath());
  EXPECT_EQ(log.Since(), "DBSetConnection first;u;p;h;0;1\nDBLoadConfig " + temp.Path() + "\n");
  EXPECT_TRUE(ConnectDatabaseLibrary());  // once per process
  EXPECT_EQ(log.Since(), "");
  EXPECT_EQ(DatabaseGetConnection(), "first;u;p;h;0;1");
  ReleaseDatabaseLibrary();
  EXPECT_FALSE(DatabaseLibraryLoaded());
  EXPECT_EQ(log.Since(), "DBGetConnection\nDBDoneConnection\n");
  ReleaseDatabaseLibrary();  // nothing loaded: nothing called
  EXPECT_EQ(log.Since(), "");
  EXPECT_FALSE(DatabaseGetConnection());

  // The install folder comes first.
  Install("");
  ASSERT_TRUE(ConnectDatabaseLibrary());
  EXPECT_EQ(DatabaseLibraryPath(), temp / "db.dll");
}

TEST_F(DatabaseLibraryTest, NoLibraryAnywhereIsFalse) {
  EXPECT_FALSE(ConnectDatabaseLibrary());
  EXPECT_FALSE(DatabaseLibraryLoaded());
  EXPECT_FALSE(DatabaseSetConnection("x"));
  std::vector<DomainRecord> records;
  EXPECT_FALSE(DatabaseReadDomains(records));
  TDBUserEnum users{};
  EXPECT_FALSE(DatabaseInitUsers("a.test", users, -1, -1));
  EXPECT_TRUE(DatabaseNextUser(users));  // at the end
}

TEST_F(DatabaseLibraryTest, StorageModeTwoReadsTheDomainTableFromTheDatabase) {
  Install("");
  DatabaseSettings("Alpha.Test\r\nbeta.test\r\n");
  PutSettingsFile(temp / "config\\settings.cfg", Settings());
  std::string fileTable(96, '\0');
  fileTable[0] = 9;
  fileTable.replace(1, 9, "file.test");
  PutFile(temp / "config\\domains.cfg", fileTable);
  ResetConfigStore();
  UseInstallFolder(temp.Path());
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(PrimaryDomainName(), "alpha.test");
  ASSERT_EQ(Domains().Records.size(), 2u);
  EXPECT_EQ(Domains().Find("BETA.test"), 2);
  EXPECT_EQ(Settings().DomainCount(), 2);
  CallLog log(DatabaseLibraryPath());
  EXPECT_EQ(log.Since(), "DBSetConnection data;user;;host;3;2\nDBLoadConfig " + temp.Path() +
                             "\nDBGetDomainCount\nDBGetDomains 2\n");

  // Each save hands the install folder to the library again.
  ASSERT_TRUE(SaveSettings(false));
  EXPECT_EQ(log.Since(), "DBLoadConfig " + temp.Path() + "\n");

  // A changed connection text reconnects the loaded library.
  Settings().SetText(field::AccountDatabase, "other;user;;host;3;2");
  PutSettingsFile(temp / "config\\settings.cfg", Settings());
  Settings().SetText(field::AccountDatabase, "data;user;;host;3;2");
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(log.Since().rfind("DBSetConnection other;user;;host;3;2\nDBGetDomainCount\n", 0), 0u);
  // The "other" folder has no domains: the files are read instead.
  EXPECT_EQ(PrimaryDomainName(), "alpha.test");
}

TEST_F(DatabaseLibraryTest, AnEmptyDatabaseFallsBackToTheFiles) {
  Install("");
  DatabaseSettings("");
  PutSettingsFile(temp / "config\\settings.cfg", Settings());
  std::string fileTable(96, '\0');
  fileTable[0] = 9;
  fileTable.replace(1, 9, "file.test");
  PutFile(temp / "config\\domains.cfg", fileTable);
  ResetConfigStore();
  UseInstallFolder(temp.Path());
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_TRUE(DatabaseLibraryLoaded());
  EXPECT_EQ(PrimaryDomainName(), "file.test");

  // With file storage the library is not even loaded.
  ResetConfigStore();
  UseInstallFolder(temp.Path());
  Settings().SetNumber(field::StorageMode, 0);
  LoadDomains();
  EXPECT_FALSE(DatabaseLibraryLoaded());
}

TEST_F(DatabaseLibraryTest, AccountsAndDomainsThroughTheEntries) {
  Install("");
  DatabaseSettings("one.test\r\n");
  ASSERT_TRUE(ConnectDatabaseLibrary());
  EXPECT_TRUE(DatabaseAddDomain("Two.Test"));
  std::vector<DomainRecord> records;
  ASSERT_TRUE(DatabaseReadDomains(records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].Name(), "two.test");

  uint8_t account[kAccountRecordSize] = {};
  int32_t index = -1;
  for (uint8_t type : {0, 1, 0}) {
    account[0] = type;
    index = -1;
    ASSERT_TRUE(DatabaseSaveUser("two.test", account, index));
  }
  EXPECT_EQ(index, 2);
  account[0] = 7;
  index = 1;
  ASSERT_TRUE(DatabaseSaveUser("two.test", account, index));  // replaces record 1
  index = 9;
  EXPECT_FALSE(DatabaseSaveUser("two.test", account, index));
  index = -1;
  EXPECT_FALSE(DatabaseSaveUser("nowhere.test", account, index));
  EXPECT_EQ(DatabaseTotalUsers("two.test"), 3);
  EXPECT_EQ(DatabaseTotalUsers(""), 3);
  EXPECT_EQ(DatabaseTotalUsers("one.test"), 0);

  TDBUserEnum users{};
  ASSERT_TRUE(DatabaseInitUsers("two.test", users, -1, -1));
  std::vector<int> types;
  while (!DatabaseNextUser(users))
    types.push_back(users.Account[0]);
  DatabaseDoneUsers(users);
  EXPECT_EQ(types, (std::vector<int>{0, 7, 0}));
  EXPECT_FALSE(DatabaseInitUsers("nowhere.test", users, -1, -1));
}

#ifndef _WIN32
// A library of that name without the entries: every call fails, none crashes.
TEST_F(DatabaseLibraryTest, ALibraryWithoutTheEntriesFailsEveryCall) {
  const char* candidates[] = {"/lib/x86_64-linux-gnu/libz.so.1",
                              "/usr/lib/x86_64-linux-gnu/libz.so.1"};
  std::string zlib;
  for (const char* candidate : candidates)
    if (platform::PathExists(candidate)) zlib = candidate;
  if (zlib.empty()) GTEST_SKIP() << "no zlib to stand in for a foreign library";
  ASSERT_TRUE(CopyFileTo(zlib, temp / "db.dll", false));
  DatabaseSettings("");
  ASSERT_TRUE(ConnectDatabaseLibrary());
  EXPECT_FALSE(DatabaseSetConnection("x"));
  EXPECT_FALSE(DatabaseGetConnection());
  EXPECT_FALSE(DatabaseTotalUsers(""));
  std::vector<DomainRecord> records;
  EXPECT_FALSE(DatabaseReadDomains(records));
  LoadDomains();
  EXPECT_TRUE(Domains().Records.empty());
  ReleaseDatabaseLibrary();
}
#endif
