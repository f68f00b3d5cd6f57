// The demo accounts copied into the primary domain, read back with tolvacfg.
#include "upgrade/demo_accounts.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "config/account_record.h"
#include "config/account_storage.h"
#include "config/domain_table.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config_state.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_system.h"
#include "support/file_io.h"
#include "tolvacfg.h"

namespace {

AccountRecord Account(uint8_t type, const std::string& aliases, uint8_t fill) {
  AccountRecord record;
  for (size_t i = 0; i < record.Bytes.size(); ++i)
    record.Bytes[i] = static_cast<uint8_t>(fill ^ (i * 3));
  record.SetType(type);
  record.SetAliases(aliases);
  record.SetPassword("pw" + std::to_string(fill));
  record.SetExpires(false);
  record.SetAdmin(false);
  return record;
}

std::vector<AccountRecord> Accounts(const std::string& domain) {
  std::vector<AccountRecord> records;
  TAccountEnum accounts;
  if (!BeginAccountEnum(domain, accounts)) return records;
  while (!NextAccount(accounts))
    records.push_back(accounts.Account);
  EndAccountEnum(accounts);
  return records;
}

// The bytes outside the expiry switch and date.
std::string WithoutExpiry(const AccountRecord& record) {
  std::string bytes(record.Bytes.begin(), record.Bytes.end());
  bytes.replace(account_field::Expires, 1, 1, '\0');
  bytes.replace(account_field::ExpiryDate, 8, 8, '\0');
  return bytes;
}

}  // namespace

TEST(DemoAccounts, UserAccountsCopiedOverExactAliasesOnly) {
  ResetConfigStore();
  TempFolder temp;
  platform::FakeSystem system;
  system.Dns = {"", {"192.0.2.1"}};
  platform::FakeClock clock;
  clock.SetNow({2026, 12, 10, 17, 45, 3, 0, 4});
  UseInstallFolder(temp.Path());
  LoadSettings(false, false);
  Domains().Add("primary.test");
  ASSERT_TRUE(SaveSettings(false));

  const std::vector<AccountRecord> demo = {Account(0, "John;demo1", 1), Account(0, "anna", 2),
                                           Account(3, "list", 3), Account(0, "bob;[b*]", 4)};
  for (const AccountRecord& each : demo) {
    int32_t index = -1;
    ASSERT_TRUE(SaveAccount(kDemoDomain, each, index));
  }
  const AccountRecord catchAll = Account(0, "[*]", 5);
  const AccountRecord oldJohn = Account(0, "x;JOHN", 6);
  for (const AccountRecord& each : {catchAll, oldJohn}) {
    int32_t index = -1;
    ASSERT_TRUE(SaveAccount("primary.test", each, index));
  }

  int notices = 0;
  TUpgradeEffects effects;
  effects.Notify = [&notices](int server, uint32_t message, uint32_t wParam, uint32_t lParam) {
    EXPECT_EQ(server, 1);
    EXPECT_EQ(message, 1280u);
    EXPECT_EQ(wParam, 0u);
    EXPECT_EQ(lParam, 0u);
    ++notices;
  };
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("copy " + std::to_string(round + 1));
    CreateDemoAccounts(effects);
    std::vector<AccountRecord> primary = Accounts("primary.test");
    ASSERT_EQ(primary.size(), 4u);
    EXPECT_EQ(primary[0], catchAll);  // the pattern account is untouched
    EXPECT_EQ(WithoutExpiry(primary[1]), WithoutExpiry(demo[0]));  // replaced "JOHN"
    EXPECT_EQ(WithoutExpiry(primary[2]), WithoutExpiry(demo[1]));
    EXPECT_EQ(WithoutExpiry(primary[3]), WithoutExpiry(demo[3]));
    for (size_t i = 1; i < 4; ++i) {
      EXPECT_TRUE(primary[i].Expires());
      EXPECT_EQ(primary[i].ExpiryDate(), 46366.0 + 30);  // 2026-12-10 is day 46366
    }
    EXPECT_EQ(notices, 3 * (round + 1));
  }
  // The demo domain's own accounts stay as they were.
  EXPECT_EQ(Accounts(kDemoDomain), demo);

  // What an administrator sees.
  ResetConfigStore();
  std::string out, err;
  ASSERT_EQ(RunTolvacfg({"accounts", temp / "config", "PRIMARY.test"}, out, err), 0) << err;
  EXPECT_EQ(out,
            "0\t0\tnever\t[*]\t-\n"
            "1\t0\t2027-01-09\tJohn;demo1\t-\n"
            "2\t0\t2027-01-09\tanna\t-\n"
            "3\t0\t2027-01-09\tbob;[b*]\t-\n");
  ResetConfigStore();
  out.clear();
  EXPECT_EQ(RunTolvacfg({"accounts", temp / "config", "nowhere.test"}, out, err), 3);
  EXPECT_EQ(out, "");
  ResetConfigStore();
}

TEST(DemoAccounts, NothingWithoutAPrimaryDomainOrDemoAccounts) {
  ResetConfigStore();
  TempFolder temp;
  UseInstallFolder(temp.Path());
  int32_t index = -1;
  ASSERT_TRUE(SaveAccount(kDemoDomain, Account(0, "a", 1), index));
  CreateDemoAccounts(TUpgradeEffects());  // no domain table: nothing written
  EXPECT_FALSE(platform::PathExists(temp / "config\\users.cfg"));
  Domains().Add("p.test");
  platform::RemoveFile(AccountsFilePath(kDemoDomain));
  CreateDemoAccounts(TUpgradeEffects());
  EXPECT_FALSE(platform::PathExists(AccountsFilePath("p.test")));
  ResetConfigStore();
}
