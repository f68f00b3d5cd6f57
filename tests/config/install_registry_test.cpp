// Moving the install-info registry from its old key names: against the
// in-memory registry, and under Wine against the prefix's own registry.
#include <gtest/gtest.h>

#include <cstdlib>

#include "config/install_registry.h"
#include "platform/fake/fake_registry.h"
#include "platform/registry.h"

using platform::RegistryRoot;
using platform::RegistryValue;
using platform::RegistryValueType;

namespace {

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

RegistryValue Binary(std::vector<uint8_t> bytes) {
  return {RegistryValueType::Binary, std::move(bytes)};
}

RegistryValue Text(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return {RegistryValueType::String, bytes};
}

void SeedOldKeys(platform::FakeRegistry& registry) {
  registry.SetString(kMachine, kOldServerInfoKey, "InstallDir", "C:\\Tolva\\");
  registry.SetString(kMachine, kOldServerInfoKey, "Version", "8.5.3-7");
  registry.SetString(kMachine, kOldServerInfoKey, "Name", "Admin");
  registry.SetString(kMachine, kOldServerInfoKey, "Company", "Example Ltd");
  registry.SetValue(kMachine, kOldServerInfoKey, "DNSQuery", Binary({1, 2, 3}));
  registry.SetValue(kMachine, kOldServerInfoKey, "SMTPTest", Binary({}));
  registry.SetValue(kMachine, kOldServerInfoKey, "TOLVANotify", Binary({9}));
  registry.SetValue(kMachine, std::string(kOldServerInfoKey) + "\\Sub", "x", Text("y"));
  registry.SetString(kMachine, kOldWebMailInfoKey, "InstallDir", "C:\\WebMail\\");
  registry.SetValue(kMachine, kOldWebMailInfoKey, "Settings", Binary({5}));
}

}  // namespace

TEST(InstallRegistry, CopiesTheOldKeysAndDeletesThemWhenAsked) {
  for (bool deleteOld : {false, true}) {
    platform::FakeRegistry registry;
    SeedOldKeys(registry);
    MigrateInstallRegistry(deleteOld);
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "InstallDir"), Text("C:\\Tolva\\"));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Version"), Text("8.5.3-7"));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Name"), Text("Admin"));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Email"), Text(""));  // missing: empty
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Country"), Text(""));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Company"), Text("Example Ltd"));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "DNSQuery"), Binary({1, 2, 3}));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "SMTPTest"), Binary({}));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Notify"), Binary({9}));
    EXPECT_FALSE(registry.Value(kMachine, kServerInfoKey, "Settings"));
    EXPECT_FALSE(registry.Value(kMachine, kServerInfoKey, "TOLVANotify"));
    EXPECT_EQ(registry.Value(kMachine, kWebMailInfoKey, "InstallDir"), Text("C:\\WebMail\\"));
    EXPECT_EQ(registry.Value(kMachine, kWebMailInfoKey, "Version"), Text(""));
    EXPECT_FALSE(registry.Value(kMachine, kWebMailInfoKey, "Settings"));  // strings only
    EXPECT_NE(registry.HasKey(kMachine, kOldServerInfoKey), deleteOld);
    EXPECT_NE(registry.HasKey(kMachine, std::string(kOldServerInfoKey) + "\\Sub"), deleteOld);
    EXPECT_NE(registry.HasKey(kMachine, kOldWebMailInfoKey), deleteOld);
    EXPECT_EQ(registry.OpenKeyCount(), 0);
  }
}

TEST(InstallRegistry, ChangesNothingOnceTheNewKeyExists) {
  platform::FakeRegistry registry;
  SeedOldKeys(registry);
  registry.SetString(kMachine, kServerInfoKey, "Version", "9.0.0");
  MigrateInstallRegistry(true);
  EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Version"), Text("9.0.0"));
  EXPECT_FALSE(registry.Value(kMachine, kServerInfoKey, "InstallDir"));
  EXPECT_TRUE(registry.HasKey(kMachine, kOldServerInfoKey));
  EXPECT_FALSE(registry.HasKey(kMachine, kWebMailInfoKey));

  // "\Software\Nivalis" alone is enough.
  platform::FakeRegistry other;
  SeedOldKeys(other);
  other.SetString(kMachine, kNivalisKey, "x", "");
  MigrateInstallRegistry(true);
  EXPECT_FALSE(other.HasKey(kMachine, kServerInfoKey));
  EXPECT_TRUE(other.HasKey(kMachine, kOldServerInfoKey));

  // Nothing old, nothing new.
  platform::FakeRegistry empty;
  MigrateInstallRegistry(true);
  EXPECT_FALSE(empty.HasKey(kMachine, kNivalisKey));
}

TEST(InstallRegistry, AnErrorEndsTheCopyWhereItHappened) {
  {
    // A binary value over 4096 bytes: the strings are there, nothing after.
    platform::FakeRegistry registry;
    SeedOldKeys(registry);
    registry.SetValue(kMachine, kOldServerInfoKey, "Settings", Binary(std::vector<uint8_t>(4097)));
    MigrateInstallRegistry(true);
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Version"), Text("8.5.3-7"));
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "DNSQuery"), Binary({1, 2, 3}));
    EXPECT_FALSE(registry.Value(kMachine, kServerInfoKey, "Settings"));
    EXPECT_FALSE(registry.Value(kMachine, kServerInfoKey, "Notify"));
    EXPECT_TRUE(registry.HasKey(kMachine, kOldServerInfoKey));
    EXPECT_FALSE(registry.HasKey(kMachine, kWebMailInfoKey));
  }
  {
    // Exactly 4096 bytes is still copied.
    platform::FakeRegistry registry;
    SeedOldKeys(registry);
    registry.SetValue(kMachine, kOldServerInfoKey, "Settings",
                      Binary(std::vector<uint8_t>(4096, 1)));
    MigrateInstallRegistry(false);
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Settings"),
              Binary(std::vector<uint8_t>(4096, 1)));
  }
  {
    // A value of another type.
    platform::FakeRegistry registry;
    SeedOldKeys(registry);
    registry.SetValue(kMachine, kOldServerInfoKey, "Name",
                      {RegistryValueType::Dword, {1, 0, 0, 0}});
    MigrateInstallRegistry(true);
    EXPECT_EQ(registry.Value(kMachine, kServerInfoKey, "Version"), Text("8.5.3-7"));
    EXPECT_FALSE(registry.Value(kMachine, kServerInfoKey, "Name"));
    EXPECT_TRUE(registry.HasKey(kMachine, kOldServerInfoKey));
  }
  {
    // No right to write below "\Software\Nivalis": nothing, silently.
    platform::FakeRegistry registry;
    SeedOldKeys(registry);
    registry.DenyWrites(kMachine, "Software");
    EXPECT_NO_THROW(MigrateInstallRegistry(true));
    EXPECT_FALSE(registry.HasKey(kMachine, kServerInfoKey));
    EXPECT_TRUE(registry.HasKey(kMachine, kOldServerInfoKey));
    EXPECT_TRUE(registry.HasKey(kMachine, kOldWebMailInfoKey));
  }
}

#ifdef _WIN32

namespace {

std::string ReadText(const char* path, const char* name) {
  auto key = platform::CurrentRegistry().OpenKey(kMachine, path);
  if (!key) return "<no key>";
  return key.Value()->ReadString(name).ValueOr("<no value>");
}

bool Exists(const char* path) {
  return platform::CurrentRegistry().KeyExists(kMachine, path).ValueOr(false);
}

}  // namespace

// The old keys are seeded by the reg tool (install-registry.sh seed) before
// this program runs; the same tool checks afterwards what the last step left.
TEST(InstallRegistryUnderWine, MovesTheSeededKeysInTheRealRegistry) {
  if (!std::getenv("SETUP_INSTALL_REGISTRY_SEEDED"))
    GTEST_SKIP() << "the old keys are seeded by the test run (ctest), not by this program";
  platform::Registry& registry = platform::CurrentRegistry();
  ASSERT_TRUE(Exists(kOldServerInfoKey));
  ASSERT_FALSE(Exists(kNivalisKey));

  MigrateInstallRegistry(false);
  EXPECT_EQ(ReadText(kServerInfoKey, "InstallDir"), "C:\\Tolva\\");
  EXPECT_EQ(ReadText(kServerInfoKey, "Email"), "");
  EXPECT_EQ(ReadText(kWebMailInfoKey, "Version"), "8.1.0");
  auto notify = registry.OpenKey(kMachine, kServerInfoKey).Value()->ReadBinary("Notify");
  ASSERT_TRUE(notify);
  EXPECT_EQ(notify.Value(), (platform::RegistryBytes{0xCA, 0xFE}));
  EXPECT_TRUE(Exists(kOldServerInfoKey));
  EXPECT_TRUE(Exists(kOldWebMailInfoKey));

  // With both old and new keys present nothing changes, deletion included.
  ASSERT_TRUE(registry.CreateKey(kMachine, kServerInfoKey).Value()->WriteString("Version", "9.1"));
  MigrateInstallRegistry(true);
  EXPECT_EQ(ReadText(kServerInfoKey, "Version"), "9.1");
  EXPECT_TRUE(Exists(kOldServerInfoKey));

  // Without the new keys the move deletes the old ones.
  ASSERT_TRUE(registry.DeleteKeyTree(kMachine, kNivalisKey));
  MigrateInstallRegistry(true);
  EXPECT_EQ(ReadText(kServerInfoKey, "Version"), "8.5.3-7");
  EXPECT_FALSE(Exists(kOldServerInfoKey));
  EXPECT_FALSE(Exists(kOldWebMailInfoKey));
}

#endif
