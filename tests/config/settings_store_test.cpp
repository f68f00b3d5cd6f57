// The settings record: its transform, its fields, and what loading and
// saving "settings.cfg" do with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <thread>

#include "common/temp_folder.h"
#include "config/config_locks.h"
#include "config/replace_file.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config/settings_transform.h"
#include "config_state.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"

namespace field = settings_field;

namespace {

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    UseInstallFolder(temp.Path());
    system.Dns = {"", {"192.0.2.1"}};
  }
  void TearDown() override { ResetConfigStore(); }

  std::string SettingsPath() const { return temp / "config\\settings.cfg"; }

  TempFolder temp;
  platform::FakeSystem system;
};

// A record whose every byte is random, with the installer's fields set to
// values that loading leaves as they are.
SettingsRecord NormalRandomRecord(const std::string& install) {
  std::mt19937 random(20344);
  SettingsRecord record;
  for (uint8_t& byte : record.Bytes)
    byte = static_cast<uint8_t>(random());
  record.SetText(field::HostName, "mail.example.net");
  record.SetText(field::TempPath, install + "t\\");
  record.SetText(field::MailPath, install + "m\\");
  record.SetText(field::LogPath, install + "l\\");
  record.SetNumber(field::WebPort, 8080);
  record.SetText(field::BindAddresses, "192.0.2.7;192.0.2.8");
  record.SetText(field::DnsServers, "192.0.2.53");
  record.SetText(field::AccountDatabase, "data;user;secret pass;host;3;2");
  record.SetNumber(field::DnsQuery, 4);
  record.SetNumber(field::DnsSwitch, 7);
  record.SetNumber(field::DayTimeValue, 100);
  record.SetNumber(field::PathDelimiter, '\\');
  record.SetNumber(field::StorageMode, 0);
  record.SetNumber(field::SingleProcessor, 0);
  record.SetNumber(field::DomainsWide, 1);
  record.SetNumber(field::DomainCount, 2);
  return record;
}

// The offset of the first byte that differs (the record size when none does).
size_t FirstDifference(const SettingsRecord& a, const SettingsRecord& b) {
  return static_cast<size_t>(std::mismatch(a.Bytes.begin(), a.Bytes.end(), b.Bytes.begin()).first -
                             a.Bytes.begin());
}

// 96-byte records with their four-character names in lower case.
std::string LowerCaseNames(std::string records) {
  for (size_t at = 0; at < records.size(); at += 96)
    for (size_t i = 1; i <= 4; ++i)
      records[at + i] =
          static_cast<char>(std::tolower(static_cast<unsigned char>(records[at + i])));
  return records;
}

}  // namespace

TEST(SettingsTransform, CombinesWithTheKeyFromTheStartOffset) {
  std::array<uint8_t, 40> block{};
  TransformSettingsBytes(block.data(), block.size(), 0);
  const uint8_t key[16] = {0x3c, 0x9a, 0x51, 0xe0, 0x7b, 0x2d, 0x8f, 0x46,
                           0xa1, 0xc3, 0x07, 0x5e, 0x92, 0xb4, 0xd8, 0x6f};
  for (size_t i = 0; i < block.size(); ++i)
    EXPECT_EQ(block[i], key[i % 16]) << i;

  std::array<uint8_t, 3> shifted{0x00, 0xFF, 0x01};
  TransformSettingsBytes(shifted.data(), shifted.size(), 8 + 16 * 1271);
  EXPECT_EQ(shifted, (std::array<uint8_t, 3>{0xa1, 0xc3 ^ 0xFF, 0x07 ^ 0x01}));
  TransformSettingsBytes(shifted.data(), shifted.size(), 8);
  EXPECT_EQ(shifted, (std::array<uint8_t, 3>{0x00, 0xFF, 0x01}));
  TransformSettingsBytes(nullptr, 0, 5);  // nothing to do, nothing touched
}

TEST(SettingsRecordFields, TextsNumbersAndDefaults) {
  SettingsRecord record;
  record.Bytes[0] = 200;  // beyond the 128-byte field: the field's 127 characters
  std::fill_n(record.Bytes.begin() + 1, 300, 'x');
  EXPECT_EQ(record.HostName(), std::string(127, 'x'));
  record.SetText(field::HostName, std::string(130, 'y'));
  EXPECT_EQ(record.Bytes[0], 127);
  EXPECT_EQ(record.Bytes[128], 'x');  // the next field is untouched
  record.SetText(field::HostName, "ab");
  EXPECT_EQ(record.HostName(), "ab");
  EXPECT_EQ(record.Bytes[3], 'y');  // bytes behind a text keep their values

  record.SetNumber(field::DomainCount, -5);
  EXPECT_EQ(record.DomainCount(), -5);
  EXPECT_EQ(record.Bytes[7020], 0xFB);
  EXPECT_EQ(record.Bytes[7023], 0xFF);
  record.SetNumber(field::WebPort, 0);
  EXPECT_EQ(record.WebPort(), 32000);
  record.SetNumber(field::WebPort, 0x1234);
  EXPECT_EQ(record.Bytes[1036], 0x34);
  EXPECT_EQ(record.Bytes[1037], 0x12);
  EXPECT_EQ(field::SizeValue.Offset + field::SizeValue.Width <= kSettingsRecordSize, true);

  SettingsRecord defaults = BuiltInSettings();
  EXPECT_EQ(defaults.HostName(), "mail.example.com");
  EXPECT_EQ(defaults.InterfaceLayout(), "basic.xml");
  EXPECT_EQ(defaults.Number(field::PathDelimiter), '\\');
  EXPECT_TRUE(defaults.DomainsWide());
  EXPECT_EQ(defaults.Number(field::WebPort), 0);
  EXPECT_EQ(defaults.WebPort(), 32000);
  EXPECT_EQ(defaults.StorageMode(), 0);
  EXPECT_EQ(defaults.DomainCount(), 0);
  EXPECT_EQ(defaults.TempPath(), "");
}

TEST_F(SettingsStore, LoadAndSaveKeepEveryByte) {
  SettingsRecord record = NormalRandomRecord(temp.Path());
  PutSettingsFile(SettingsPath(), record);
  std::string domains(2 * 96, '\x5a');
  domains[0] = domains[96] = 4;  // names of four characters, the rest the suite's
  PutFile(temp / "config\\domains.cfg", domains);
  const std::string before = GetFile(SettingsPath());
  ASSERT_TRUE(LoadSettings(true, false));
  EXPECT_EQ(FirstDifference(Settings(), record), kSettingsRecordSize);
  ASSERT_TRUE(SaveSettings(false));
  EXPECT_EQ(FirstDifference(GetSettingsFile(SettingsPath()), record), kSettingsRecordSize);
  EXPECT_TRUE(GetFile(SettingsPath()) == before);
  EXPECT_TRUE(GetFile(temp / "config\\domains.cfg") == LowerCaseNames(domains));
  EXPECT_FALSE(platform::PathExists(ReplacementFileName(SettingsPath())));
  EXPECT_EQ(FirstDifference(Settings(), record), kSettingsRecordSize);  // plain after the save
  EXPECT_TRUE(SettingsLoadState().SettingsFileRead);
  EXPECT_EQ(SettingsLoadState().DnsServers, "192.0.2.53");
  EXPECT_EQ(SettingsLoadState().DnsQuery, 4);
  EXPECT_EQ(SettingsLoadState().DnsSwitch, 7);
}

TEST_F(SettingsStore, ShortFilesKeepTheDefaultsBeyondTheirEnd) {
  SettingsRecord record = NormalRandomRecord(temp.Path());
  PutSettingsFile(SettingsPath(), record, 20344);
  ASSERT_TRUE(LoadSettings(false, true));
  const SettingsRecord& loaded = Settings();
  EXPECT_TRUE(std::equal(loaded.Bytes.begin(), loaded.Bytes.begin() + 20344, record.Bytes.begin()));
  SettingsRecord expected = BuiltInSettings();
  expected.SetNumber(field::DnsSwitch, 1);  // filled in by the load
  EXPECT_TRUE(
      std::equal(loaded.Bytes.begin() + 20344, loaded.Bytes.end(), expected.Bytes.begin() + 20344));
  EXPECT_EQ(loaded.InterfaceLayout(), "basic.xml");

  // An empty file is read too: all defaults.
  ResetConfigStore();
  UseInstallFolder(temp.Path());
  PutFile(SettingsPath(), "");
  ASSERT_TRUE(LoadSettings(true, true));
  EXPECT_TRUE(SettingsLoadState().SettingsFileRead);
  EXPECT_EQ(Settings().HostName(), "mail.example.com");

  // A longer file gives its first 30071 bytes and nothing more.
  PutSettingsFile(SettingsPath(), record);
  PutFile(SettingsPath(), GetFile(SettingsPath()) + std::string(50000, '\x7f'));
  ASSERT_TRUE(LoadSettings(true, true));
  EXPECT_EQ(FirstDifference(Settings(), record), kSettingsRecordSize);
  ASSERT_TRUE(SaveSettings(true));
  EXPECT_EQ(GetFile(SettingsPath()).size(), kSettingsRecordSize);
}

TEST_F(SettingsStore, LoadingFillsZeroNumbersEmptyFoldersAndSeparatesLists) {
  SettingsRecord record = BuiltInSettings();
  record.SetNumber(field::PathDelimiter, '/');
  record.SetText(field::TempPath, "");
  record.SetText(field::MailPath, "E:\\mail");
  record.SetText(field::LogPath, "E:\\logs\\");
  record.SetText(field::HostName, "  mail.example.org ");
  record.SetText(field::DnsServers, " 192.0.2.1, 192.0.2.2 ,192.0.2.3 ");
  record.SetText(field::BindAddresses, "192.0.2.9 192.0.2.10");
  record.SetText(field::AccountDatabase, " db, user;pass word ");
  record.SetNumber(field::HourTimeValue, 0);
  PutSettingsFile(SettingsPath(), record);
  ASSERT_TRUE(LoadSettings(false, true));
  const SettingsRecord& loaded = Settings();
  EXPECT_EQ(loaded.Number(field::PathDelimiter), '\\');
  EXPECT_EQ(loaded.TempPath(), temp / "temp\\");
  EXPECT_EQ(loaded.MailPath(), "E:\\mail\\");
  EXPECT_EQ(loaded.LogPath(), "E:\\logs\\");
  EXPECT_EQ(loaded.HostName(), "mail.example.org");
  EXPECT_EQ(loaded.DnsServers(), "192.0.2.1;192.0.2.2;192.0.2.3");
  EXPECT_EQ(loaded.BindAddresses(), "192.0.2.9192.0.2.10");  // blanks go, as the suite does it
  EXPECT_EQ(loaded.AccountDatabase(), "db; user;pass word");
  EXPECT_EQ(loaded.Number(field::WebPort), 32000);
  EXPECT_EQ(loaded.Number(field::DnsQuery), 3);
  EXPECT_EQ(loaded.Number(field::DnsSwitch), 1);
  EXPECT_EQ(loaded.Number(field::DayTimeValue), 2880);
  EXPECT_EQ(loaded.Number(field::HourTimeValue), 0);  // no default of its own
  EXPECT_EQ(ServerFolders().OutgoingQueue, "E:\\mail\\_outgoing\\");
  EXPECT_EQ(ServerFolders().IncomingQueue, "E:\\mail\\_incoming\\");
  EXPECT_EQ(ServerFolders().RetryQueue, "E:\\mail\\_outgoing\\retry\\");

  // Once loaded, the stored zero port reads back as 32000 from the file too.
  ASSERT_TRUE(SaveSettings(true));
  EXPECT_EQ(GetSettingsFile(SettingsPath()).Number(field::WebPort), 32000);
}

TEST_F(SettingsStore, AnEmptyDnsListComesFromTheSystem) {
  SettingsRecord record = BuiltInSettings();
  PutSettingsFile(SettingsPath(), record);
  system.Dns = {"192.0.2.1", {"192.0.2.2", " ", "2001:db8::53"}};
  ASSERT_TRUE(LoadSettings(false, true));
  EXPECT_EQ(Settings().DnsServers(), "192.0.2.1;192.0.2.2;2001:db8::53");

  // At most 127 characters, and no address cut in two.
  system.Dns = {"", {}};
  std::string long40(40, '1');
  for (int i = 0; i < 4; ++i)
    system.Dns.Configured.push_back(long40.substr(0, 39) + std::to_string(i));
  Settings().SetText(field::DnsServers, "");
  NormalizeSettings(false);
  EXPECT_EQ(Settings().DnsServers(), system.Dns.Configured[0] + ";" + system.Dns.Configured[1] +
                                         ";" + system.Dns.Configured[2]);

  system.Dns = {"", {}};
  Settings().SetText(field::DnsServers, "");
  NormalizeSettings(false);
  EXPECT_EQ(Settings().DnsServers(), "");
}

TEST_F(SettingsStore, PathFileOverridesAndQueueFolders) {
  PathFileValues().HostName = "mx.example.org";
  PathFileValues().BindAddresses = "198.51.100.4";
  PathFileValues().OutgoingQueue = "Q:\\out\\";
  PathFileValues().RetryQueue = "Q:\\retry\\";
  PutSettingsFile(SettingsPath(), NormalRandomRecord(temp.Path()));
  ASSERT_TRUE(LoadSettings(false, true));
  EXPECT_EQ(Settings().HostName(), "mx.example.org");
  EXPECT_EQ(Settings().BindAddresses(), "198.51.100.4");
  EXPECT_EQ(ServerFolders().OutgoingQueue, "Q:\\out\\");
  EXPECT_EQ(ServerFolders().RetryQueue, "Q:\\retry\\");
  EXPECT_EQ(ServerFolders().IncomingQueue, temp / "m\\_incoming\\");
}

TEST_F(SettingsStore, AMissingFileLeavesTheRecordAndIsReportedOnlyWhenAsked) {
  Settings().SetText(field::HostName, "kept.example.org");
  Settings().SetNumber(field::DomainsWide, 0);
  EXPECT_FALSE(LoadSettings(true, true));
  EXPECT_FALSE(SettingsLoadState().SettingsFileRead);
  EXPECT_EQ(Settings().HostName(), "kept.example.org");
  EXPECT_TRUE(Settings().DomainsWide());  // a first run keeps its table in the current form
  EXPECT_EQ(Settings().TempPath(), temp / "temp\\");
  EXPECT_TRUE(LoadSettings(false, true));

  // Without an install folder the configuration folder's parent stands in.
  ResetConfigStore();
  ServerFolders().ConfigPath = temp / "config\\";
  LoadSettings(false, true);
  EXPECT_EQ(ServerFolders().InstallPath, temp / "config\\..\\");
  EXPECT_EQ(Settings().MailPath(), temp / "config\\..\\mail\\");
}

TEST_F(SettingsStore, LoadingAppliesTheProcessorAffinity) {
  SettingsRecord record = NormalRandomRecord(temp.Path());
  record.SetNumber(field::SingleProcessor, 1);
  PutSettingsFile(SettingsPath(), record);
  ASSERT_TRUE(LoadSettings(false, false));
  record.SetNumber(field::SingleProcessor, 0);
  PutSettingsFile(SettingsPath(), record);
  ASSERT_TRUE(LoadSettings(false, true));  // skipping the dependants: not applied
  ASSERT_TRUE(LoadSettings(false, false));
  EXPECT_EQ(system.AffinityRequests, (std::vector<bool>{true, false}));
  EXPECT_EQ(system.Affinity, system.AllProcessors);
}

TEST_F(SettingsStore, SavingCreatesTheFolderOrFailsWithoutChangingTheRecord) {
  ServerFolders().ConfigPath = temp / "new\\deeper\\config\\";
  Settings().SetText(field::HostName, "saved.example.org");
  ASSERT_TRUE(SaveSettings(true));
  EXPECT_EQ(GetSettingsFile(temp / "new\\deeper\\config\\settings.cfg").HostName(),
            "saved.example.org");
  EXPECT_FALSE(platform::PathExists(temp / "new\\deeper\\config\\domains.cfg"));

  // A configuration folder that cannot be made: a file is in its way.
  PutFile(temp / "blocked", "x");
  ServerFolders().ConfigPath = temp / "blocked\\config\\";
  const SettingsRecord before = Settings();
  EXPECT_FALSE(SaveSettings(false));
  EXPECT_TRUE(Settings() == before);
}

TEST(ConfigLocks, EntriesAreRecursiveAndOthersDoNothing) {
  EnterConfigLock(kSettingsLock);
  EnterConfigLock(kSettingsLock);
  LeaveConfigLock(kSettingsLock);
  LeaveConfigLock(kSettingsLock);
  EnterConfigLock(-1);
  EnterConfigLock(kConfigLockCount);
  LeaveConfigLock(kConfigLockCount);
  { ConfigLockGuard guard(kDatabaseLock); }
  // The entry is free again: another thread can take it.
  bool taken = false;
  std::thread other([&] {
    ConfigLockGuard guard(kDatabaseLock);
    taken = true;
  });
  other.join();
  EXPECT_TRUE(taken);
}
