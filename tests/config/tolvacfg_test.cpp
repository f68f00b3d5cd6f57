// tolvacfg on a configuration folder that the installer's own code wrote.
#include "tolvacfg.h"

#include <gtest/gtest.h>

#include <limits>

#include "common/temp_folder.h"
#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config_state.h"
#include "platform/fake/fake_system.h"

namespace field = settings_field;

namespace {

class TolvacfgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    system.Dns = {"", {"192.0.2.1"}};
    // What a new installation leaves: written by the store itself.
    UseInstallFolder(temp.Path());
    LoadSettings(false, false);
    Settings().SetText(field::InterfaceLayout, "advanced.xml");
    Settings().SetText(field::HostName, "mail.\xe9t\xe9.test");  // é in Windows-1252
    Settings().SetNumber(field::FooterSwitch, 1);
    Domains().Add("Example.Test");
    ASSERT_TRUE(SaveSettings(false));
    ResetConfigStore();
  }
  void TearDown() override { ResetConfigStore(); }

  int Run(std::vector<std::string> arguments) {
    out.clear();
    err.clear();
    ResetConfigStore();
    return RunTolvacfg(arguments, out, err);
  }

  TempFolder temp;
  platform::FakeSystem system;
  std::string out, err;
};

}  // namespace

TEST_F(TolvacfgTest, ShowsWhatTheInstallerWrote) {
  const std::string config = temp / "config";
  ASSERT_EQ(Run({"show", config}), kTolvacfgOk) << err;
  EXPECT_NE(out.find("\"configFolder\": " + std::string("\"") + "", 0), std::string::npos);
  EXPECT_NE(out.find("\"HostName\": \"mail.\xc3\xa9t\xc3\xa9.test\",\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\"InterfaceLayout\": \"advanced.xml\",\n"), std::string::npos);
  EXPECT_NE(out.find("\"FooterSwitch\": 1,\n"), std::string::npos);
  EXPECT_NE(out.find("\"WebPort\": 32000,\n"), std::string::npos);
  EXPECT_NE(out.find("\"DnsServers\": \"192.0.2.1\",\n"), std::string::npos);
  EXPECT_NE(out.find("\"PathDelimiter\": \"\\\\\",\n"), std::string::npos);
  EXPECT_NE(out.find("\"domains\": [\n    {\"name\": \"example.test\", \"switch\": 0}\n  ],\n"),
            std::string::npos);
  EXPECT_NE(out.find("\"primaryDomain\": \"example.test\"\n}\n"), std::string::npos);
  for (const SettingsField& each : kSettingsFields)
    EXPECT_NE(out.find("\"" + std::string(each.Name) + "\": "), std::string::npos) << each.Name;
}

TEST_F(TolvacfgTest, SetsEveryKindOfFieldThroughTheSave) {
  const std::string config = temp / "config\\";
  EXPECT_EQ(Run({"set", config, "webport", "80"}), kTolvacfgOk) << err;
  EXPECT_EQ(Run({"set", config, "HostName", "a;b"}), kTolvacfgOk) << err;
  EXPECT_EQ(Run({"set", config, "DayTimeValue", "-60"}), kTolvacfgOk) << err;
  EXPECT_EQ(Run({"set", config, "StorageMode", "1"}), kTolvacfgOk) << err;
  SettingsRecord stored = GetSettingsFile(config + "settings.cfg");
  EXPECT_EQ(stored.Number(field::WebPort), 80);
  EXPECT_EQ(stored.HostName(), "a;b");
  EXPECT_EQ(stored.Number(field::DayTimeValue), -60);
  EXPECT_EQ(stored.StorageMode(), 1);
  EXPECT_EQ(stored.InterfaceLayout(), "advanced.xml");

  EXPECT_EQ(Run({"set", config, "WebPort", "65536"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"set", config, "WebPort", "8o"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"set", config, "DnsQuery", "-1"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"set", config, "DnsSwitch", "2147483648"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"set", config, "PathDelimiter", "ab"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"set", config, "HostName", std::string(128, 'h')}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"set", config, "DomainCount", "5"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"set", config, "Nothing", "5"}), kTolvacfgBadValue);
  EXPECT_NE(err.find("unknown field Nothing"), std::string::npos);
  EXPECT_TRUE(GetSettingsFile(config + "settings.cfg") == stored);
}

TEST_F(TolvacfgTest, AddsDomainsAndRefusesBadOnes) {
  const std::string config = temp / "config";
  EXPECT_EQ(Run({"add-domain", config, "Second.Test"}), kTolvacfgOk) << err;
  EXPECT_EQ(Run({"add-domain", config, "SECOND.test"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"add-domain", config, "two words"}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"add-domain", config, std::string(95, 'd')}), kTolvacfgBadValue);
  EXPECT_EQ(Run({"add-domain", config, ""}), kTolvacfgBadValue);
  ASSERT_EQ(Run({"show", config}), kTolvacfgOk);
  EXPECT_NE(out.find("{\"name\": \"example.test\", \"switch\": 0},\n    "
                     "{\"name\": \"second.test\", \"switch\": 0}\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\"DomainCount\": 2,"), std::string::npos);

  EXPECT_EQ(Run({"show", temp / "nowhere"}), kTolvacfgUnreadable);
  EXPECT_EQ(Run({}), kTolvacfgUsage);
  EXPECT_EQ(Run({"show"}), kTolvacfgUsage);
  EXPECT_NE(err.find("usage: tolvacfg show CONFIGFOLDER"), std::string::npos);
}

TEST(TolvacfgExpiry, DatesTimesAndDamagedValues) {
  EXPECT_EQ(ExpiryText(46396.0), "2027-01-09");
  EXPECT_EQ(ExpiryText(46366.75), "2026-12-10 18:00");
  EXPECT_EQ(ExpiryText(2.0), "1900-01-01");
  EXPECT_EQ(ExpiryText(60.0), "1900-02-28");
  EXPECT_EQ(ExpiryText(61.0), "1900-03-01");
  EXPECT_EQ(ExpiryText(2958465.0), "9999-12-31");
  // A record's bytes may hold anything: shown as the number.
  EXPECT_EQ(ExpiryText(2958466.0), "2958466");
  EXPECT_EQ(ExpiryText(-1e300), "-1.0000000000000001e+300");
  EXPECT_EQ(ExpiryText(std::numeric_limits<double>::quiet_NaN()).substr(0, 3), "nan");
}
