// The accounts of a domain: the stored bytes of "users.cfg", enumeration,
// lookup by alias (with patterns) and saving, in files and through the
// stand-in database library.
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "config/account_record.h"
#include "config/account_storage.h"
#include "config/alias_lists.h"
#include "config/database_library.h"
#include "config/settings_record.h"
#include "config/settings_transform.h"
#include "config_state.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace {

AccountRecord MakeAccount(uint8_t type, const std::string& aliases, const std::string& password,
                          uint8_t fill) {
  AccountRecord record;
  for (size_t i = 0; i < record.Bytes.size(); ++i)
    record.Bytes[i] = static_cast<uint8_t>(fill + i * 7);
  record.SetType(type);
  record.SetAliases(aliases);
  record.SetPassword(password);
  return record;
}

// The stored bytes, worked out here from the documented form rather than
// through the code under test.
std::string StoredBytes(const AccountRecord& plain) {
  std::string bytes(plain.Bytes.begin(), plain.Bytes.end());
  if (plain.Type() == kUserAccount) {
    for (size_t i = 0; i < 127; ++i)
      bytes[773 + i] = static_cast<char>(bytes[773 + i] ^ static_cast<uint8_t>(0xA7 + 13 * i));
  }
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(bytes[i] ^ SettingsFileKey[i % 16]);
  return bytes;
}

std::vector<AccountRecord> AllAccounts(const std::string& domain, const std::string& filter = "") {
  std::vector<AccountRecord> records;
  TAccountEnum accounts;
  if (!BeginAccountEnum(domain, accounts, filter)) return records;
  while (!NextAccount(accounts))
    records.push_back(accounts.Account);
  EndAccountEnum(accounts);
  return records;
}

class AccountStorage : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    UseInstallFolder(temp.Path());
  }
  void TearDown() override { ResetConfigStore(); }
  TempFolder temp;
};

}  // namespace

TEST(AliasLists, ExactItemsAndPatterns) {
  EXPECT_TRUE(AliasListsMatch("Info", " x ;INFO;", false));
  EXPECT_TRUE(AliasListsMatch(" a ; b ;; c", "c", false));
  EXPECT_FALSE(AliasListsMatch("info", "inf;info2", true));
  EXPECT_FALSE(AliasListsMatch("", "a", true));
  EXPECT_FALSE(AliasListsMatch(";;", ";;", true));
  EXPECT_EQ(FirstAlias(" ; Sales ;b"), "sales");

  // Stored patterns match only when allowed, and only from the stored side.
  EXPECT_TRUE(AliasListsMatch("anyone", "[*]", true));
  EXPECT_FALSE(AliasListsMatch("anyone", "[*]", false));
  EXPECT_FALSE(AliasListsMatch("[*]", "anyone", true));
  EXPECT_TRUE(AliasListsMatch("[*]", "[*]", false));  // the same item, literally
  EXPECT_TRUE(AliasListsMatch("x;Sales-North", "a;[SALES-*]", true));
  EXPECT_FALSE(AliasListsMatch("sales", "[sales-*]", true));
  EXPECT_TRUE(AliasListsMatch("ab", "[??]", true));
  EXPECT_FALSE(AliasListsMatch("abc", "[??]", true));
  EXPECT_TRUE(AliasListsMatch("a*b", "[a*]", true));
  EXPECT_TRUE(AliasListsMatch("aXbYb", "[a*b]", true));
  EXPECT_FALSE(AliasListsMatch("aXbYc", "[a*b]", true));
  // Not patterns: taken as ordinary aliases.
  for (const char* item : {"[]", "[a[b]", "[ab", "[a]b"}) {
    EXPECT_FALSE(IsAliasPattern(item)) << item;
    EXPECT_TRUE(AliasListsMatch(item, item, true)) << item;
  }
  // A hostile mask costs time proportional to the lengths, not exponential.
  std::string mask = "[" + std::string(100, '*') + "b]";
  EXPECT_FALSE(AliasPatternMatches(mask, std::string(5000, 'a')));
}

TEST_F(AccountStorage, FileBytesEnumerationLookupAndSaving) {
  const std::string path = temp / "config\\primary.test\\users.cfg";
  AccountRecord user = MakeAccount(0, "John;j.doe", "s3cret", 1);
  AccountRecord list = MakeAccount(3, "[*]", "notapassword", 2);
  AccountRecord second = MakeAccount(0, "mary", "pw", 3);

  int32_t index = -1;
  ASSERT_TRUE(SaveAccount("Primary.Test", user, index));
  EXPECT_EQ(index, 0);
  index = -1;
  ASSERT_TRUE(SaveAccount("primary.test", list, index));
  EXPECT_EQ(index, 1);
  index = 2;  // the number of records appends too
  ASSERT_TRUE(SaveAccount("primary.test", second, index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(GetFile(path), StoredBytes(user) + StoredBytes(list) + StoredBytes(second));
  EXPECT_FALSE(platform::PathExists(path + ".new"));

  std::vector<AccountRecord> read = AllAccounts("PRIMARY.test");
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0], user);
  EXPECT_EQ(read[0].Password(), "s3cret");
  EXPECT_EQ(read[1], list);
  EXPECT_EQ(read[2], second);
  std::vector<AccountRecord> filtered = AllAccounts("primary.test", "MARY");
  ASSERT_EQ(filtered.size(), 2u);  // the catch-all and mary
  EXPECT_EQ(filtered[0], list);
  EXPECT_EQ(filtered[1], second);

  // The catch-all before mary wins only where patterns count.
  EXPECT_EQ(FindAccountIndex("primary.test", "x;Mary"), 1);
  EXPECT_EQ(FindAccountIndex("primary.test", "x;Mary", false), 2);
  EXPECT_EQ(FindAccountIndex("primary.test", "J.DOE", false), 0);
  EXPECT_EQ(FindAccountIndex("primary.test", "nobody", false), -1);
  EXPECT_EQ(FindAccountIndex("other.test", "john"), -1);

  // Replacing keeps the others byte for byte.
  AccountRecord changed = user;
  changed.SetPassword("new");
  index = 0;
  ASSERT_TRUE(SaveAccount("primary.test", changed, index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(GetFile(path), StoredBytes(changed) + StoredBytes(list) + StoredBytes(second));

  // Nothing stored: no alias, an index beyond the end, a name that is no
  // folder of the configuration folder.
  const std::string before = GetFile(path);
  AccountRecord noAlias = MakeAccount(0, " ; ;", "x", 4);
  index = -1;
  EXPECT_FALSE(SaveAccount("primary.test", noAlias, index));
  index = 4;
  EXPECT_FALSE(SaveAccount("primary.test", second, index));
  EXPECT_EQ(index, 4);
  EXPECT_EQ(GetFile(path), before);
  for (const char* bad : {"", "..", "..\\escape", "a\\b", "c:x", "a/b"}) {
    index = -1;
    EXPECT_FALSE(SaveAccount(bad, user, index)) << bad;
    TAccountEnum probe;
    EXPECT_FALSE(BeginAccountEnum(bad, probe)) << bad;
  }
  EXPECT_FALSE(platform::PathExists(temp / "escape"));
  EXPECT_FALSE(platform::PathExists(temp / "config\\users.cfg"));

  // A last record cut short is not an account; appending takes its place.
  PutFile(path, before + std::string(100, 'x'));
  EXPECT_EQ(AllAccounts("primary.test").size(), 3u);
  index = -1;
  ASSERT_TRUE(SaveAccount("primary.test", user, index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(GetFile(path), before + StoredBytes(user));
}

TEST_F(AccountStorage, DatabaseStorageGoesThroughTheLibrary) {
  std::string standIn =
      ExtractFilePath(platform::CurrentSystem().ProgramPath()) + "standin\\db.dll";
  ASSERT_TRUE(CopyFileTo(standIn, temp / "db.dll", false));
  Settings().SetNumber(settings_field::StorageMode, kDatabaseStorageMode);
  Settings().SetText(settings_field::AccountDatabase, "data;user;;host;3;2");
  PutFile(temp / "data\\domains.txt", "db.test\r\n");
  // Files of the same domain are not what the database storage reads.
  PutFile(temp / "config\\db.test\\users.cfg", StoredBytes(MakeAccount(0, "file", "f", 9)));

  AccountRecord user = MakeAccount(0, "Ann;[x*]", "pw1", 5);
  AccountRecord other = MakeAccount(1, "group", "", 6);
  int32_t index = -1;
  ASSERT_TRUE(SaveAccount("DB.test", user, index));
  EXPECT_EQ(index, 0);
  index = -1;
  ASSERT_TRUE(SaveAccount("db.test", other, index));
  EXPECT_EQ(index, 1);
  index = -1;
  EXPECT_FALSE(SaveAccount("unknown.test", user, index));

  // The library keeps the records with the password in stored form and
  // without the file's transform.
  AccountRecord storedUser = user;
  TogglePasswordForm(storedUser);
  EXPECT_EQ(GetFile(temp / "data\\db.test\\users.dat"),
            std::string(storedUser.Bytes.begin(), storedUser.Bytes.end()) +
                std::string(other.Bytes.begin(), other.Bytes.end()));
  std::vector<AccountRecord> read = AllAccounts("db.test");
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0], user);
  EXPECT_EQ(read[1], other);
  EXPECT_EQ(FindAccountIndex("db.test", "xylophone"), 0);
  EXPECT_EQ(FindAccountIndex("db.test", "GROUP"), 1);
  EXPECT_EQ(FindAccountIndex("db.test", "file"), -1);

  // Without a library nothing falls back to the files.
  ReleaseDatabaseLibrary();
  ASSERT_TRUE(platform::RemoveFile(temp / "db.dll"));
  EXPECT_TRUE(AllAccounts("db.test").empty());
  index = -1;
  EXPECT_FALSE(SaveAccount("db.test", user, index));
}
