// The domain table: "domains.cfg", the older forms it is still read from, and
// counts that do not match what is stored.
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config/settings_transform.h"
#include "config_state.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"

namespace field = settings_field;

namespace {

std::string Record(const std::string& name, size_t width = 96, uint8_t switchByte = 0) {
  std::string record(width, '\0');
  record[0] = static_cast<char>(name.size());
  record.replace(1, name.size(), name);
  if (width == 96) record[95] = static_cast<char>(switchByte);
  return record;
}

class DomainTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    UseInstallFolder(temp.Path());
    system.Dns = {"", {"192.0.2.1"}};
  }
  void TearDown() override { ResetConfigStore(); }

  // settings.cfg with the given count and form, and optionally domains.cfg.
  void Store(int32_t count, bool wide, const std::string* domains) {
    SettingsRecord record = BuiltInSettings();
    record.SetNumber(field::DomainCount, count);
    record.SetNumber(field::DomainsWide, wide ? 1 : 0);
    PutSettingsFile(SettingsPath(), record);
    if (domains) PutFile(DomainsPath(), *domains);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const DomainRecord& record : Domains().Records)
      names.push_back(record.Name());
    return names;
  }
  std::string SettingsPath() const { return temp / "config\\settings.cfg"; }
  std::string DomainsPath() const { return temp / "config\\domains.cfg"; }

  TempFolder temp;
  platform::FakeSystem system;
};

}  // namespace

TEST_F(DomainTableTest, ReadsDomainsCfgLowerCasedAndIndexed) {
  std::string stored = Record("Example.COM") + Record("second.test", 96, 7) + Record("third.test");
  Store(3, true, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"example.com", "second.test", "third.test"}));
  EXPECT_EQ(PrimaryDomainName(), "example.com");
  EXPECT_EQ(Domains().Find("SECOND.test"), 2);
  EXPECT_EQ(Domains().Find("missing.test"), 0);
  EXPECT_EQ(Domains().Records[1].Switch(), 7);
  EXPECT_TRUE(Domains().Loaded);

  // Saved back as it was, apart from the letter case.
  ASSERT_TRUE(SaveSettings(false));
  EXPECT_EQ(GetFile(DomainsPath()),
            Record("example.com") + Record("second.test", 96, 7) + Record("third.test"));
}

TEST_F(DomainTableTest, AnEmptyTableHasNoPrimaryDomain) {
  std::string none;
  Store(0, true, &none);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_TRUE(Domains().Records.empty());
  EXPECT_EQ(PrimaryDomainName(), "");
  Domains().Clear();
  EXPECT_EQ(PrimaryDomainName(), "");
}

TEST_F(DomainTableTest, TheOldTableInsideSettingsIsReadAndBothFilesExistAfterTheSave) {
  SettingsRecord record = BuiltInSettings();
  record.SetNumber(field::DomainCount, 2);
  std::string table = Record("old.test") + Record("Older.Test");
  std::copy(table.begin(), table.end(), record.Bytes.begin() + kStoredDomainTableOffset);
  PutSettingsFile(SettingsPath(), record, kStoredDomainTableOffset + table.size());
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"old.test", "older.test"}));

  ASSERT_TRUE(SaveSettings(false));
  EXPECT_EQ(GetFile(SettingsPath()).size(), kSettingsRecordSize);
  EXPECT_EQ(GetFile(DomainsPath()), Record("old.test") + Record("older.test"));
  ResetConfigStore();
  UseInstallFolder(temp.Path());
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"old.test", "older.test"}));
}

TEST_F(DomainTableTest, NarrowRecordsAreWidenedAndTheSwitchSet) {
  std::string stored = Record("narrow.test", 32) + Record(std::string(31, 'n'), 32);
  stored[32] = 90;  // a length beyond the 31 characters of the old form
  Store(2, false, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"narrow.test", std::string(31, 'n')}));
  EXPECT_TRUE(Settings().DomainsWide());
  ASSERT_TRUE(SaveSettings(false));
  EXPECT_EQ(GetFile(DomainsPath()), Record("narrow.test") + Record(std::string(31, 'n')));
  EXPECT_TRUE(GetSettingsFile(SettingsPath()).DomainsWide());
}

TEST_F(DomainTableTest, CountsThatDoNotMatchTheFile) {
  // No count: whole records of the file; a count: a record cut short too.
  std::string stored = Record("a.test") + Record("b.test") + Record("c.test").substr(0, 20);
  Store(0, true, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.test", "b.test"}));
  Store(3, true, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.test", "b.test", "c.test"}));

  // A count that would need gigabytes is cut to what the file holds.
  stored = Record("a.test") + Record("b.test");
  Store(0x7FFFFFFF, true, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.test", "b.test"}));
  EXPECT_EQ(Settings().DomainCount(), 2);

  // A smaller count reads only that many records; a negative one counts as 0.
  Store(1, true, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.test"}));
  Store(-3, true, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.test", "b.test"}));

  // A length byte beyond the name field reads the 94 characters of the field.
  stored = Record(std::string(94, 'x'));
  stored[0] = static_cast<char>(250);
  Store(1, true, &stored);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{std::string(94, 'x')}));
  EXPECT_EQ(static_cast<uint8_t>(Domains().Records[0].Bytes[0]), 94);
}

TEST_F(DomainTableTest, ATableNeverWrittenIsRebuiltFromTheOldDomainList) {
  SettingsRecord record = BuiltInSettings();
  record.SetNumber(field::DomainCount, 150);
  auto put = [&](size_t entry, const std::string& name) {
    uint8_t* at = record.Bytes.data() + kOldDomainListOffset + entry * kOldDomainListEntrySize;
    at[0] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), at + 1);
  };
  put(0, "First.Test");
  put(1, "second.test");
  put(99, "last.test");
  // The table's place in settings.cfg is empty: the file ends before it.
  PutSettingsFile(SettingsPath(), record, kStoredDomainTableOffset);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"first.test", "second.test", "last.test"}));
  EXPECT_EQ(Settings().DomainCount(), 3);

  // A count below 100 takes only that many entries.
  record.SetNumber(field::DomainCount, 2);
  std::string empty = Record("");
  PutSettingsFile(SettingsPath(), record);
  PutFile(DomainsPath(), empty);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"first.test", "second.test"}));

  // Without names there either, the table is empty.
  SettingsRecord bare = BuiltInSettings();
  bare.SetNumber(field::DomainCount, 4);
  PutSettingsFile(SettingsPath(), bare);
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(Settings().DomainCount(), 0);
}

TEST_F(DomainTableTest, ATableThatCannotBeReadIsNotOverwritten) {
  Store(2, true, nullptr);
  ASSERT_TRUE(platform::MakeFolder(DomainsPath()));  // in the way of the file
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_FALSE(Domains().Loaded);
  EXPECT_TRUE(SaveSettings(false));  // the settings are written
  EXPECT_TRUE(platform::IsFolder(DomainsPath()));
  EXPECT_EQ(GetSettingsFile(SettingsPath()).DomainCount(), 2);

  // No files at all: a new installation's empty table, written by the save.
  ResetConfigStore();
  UseInstallFolder(temp / "fresh\\");
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_TRUE(Domains().Loaded);
  Domains().Add("New.Test");
  ASSERT_TRUE(SaveSettings(false));
  EXPECT_EQ(GetFile(temp / "fresh\\config\\domains.cfg"), Record("new.test"));
  EXPECT_EQ(GetSettingsFile(temp / "fresh\\config\\settings.cfg").DomainCount(), 1);
}

TEST(DomainRecords, DecodeAndNames) {
  std::string bytes = Record("one", 32) + Record("two", 32).substr(0, 5);
  auto records =
      DecodeDomainRecords(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 32);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Name(), "one");
  EXPECT_EQ(records[1].Name(), "two");
  EXPECT_EQ(records[1].Switch(), 0);
  EXPECT_TRUE(DecodeDomainRecords(nullptr, 0, 96).empty());
  EXPECT_TRUE(DecodeDomainRecords(reinterpret_cast<const uint8_t*>(bytes.data()), 10, 40).empty());

  DomainRecord record;
  record.Bytes.fill(0xEE);
  record.SetName(std::string(100, 'z'));
  EXPECT_EQ(record.Name(), std::string(94, 'z'));
  EXPECT_EQ(record.Switch(), 0xEE);  // the suite's switch is carried through
  record.SetName("ab");
  EXPECT_EQ(record.Bytes[3], 0);
}
