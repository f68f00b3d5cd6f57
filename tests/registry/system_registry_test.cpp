// The system's registry seen from outside our code. On Windows the test run
// seeds a key with the system's own reg tool before this program runs and
// checks with it afterwards what this program left; on POSIX there is no
// registry and every call must say so.
#include <cstdlib>

#include "registry_backend.h"
#include "support/advanced_registry.h"

using platform::RegistryRoot;
using platform::RegistryValueType;

#ifdef _WIN32

// Written by `reg add` (tests/registry/wine-registry.sh seed).
TEST(SystemRegistry, ReadsWhatTheRegToolWrote) {
  if (!std::getenv("SETUP_REGISTRY_SEEDED"))
    GTEST_SKIP() << "the key is seeded by the test run (ctest), not by this program";
  const std::string seeded = "Software\\SetupTests\\Seeded";
  auto key = Must(platform::CurrentRegistry().OpenKey(RegistryRoot::CurrentUser, seeded));
  EXPECT_EQ(Must(key->ReadString("Text")), "Set by reg");
  EXPECT_EQ(Must(key->ValueType("Path")), RegistryValueType::ExpandString);
  EXPECT_EQ(Must(key->ReadString("Path")), "%SystemRoot%\\x");
  EXPECT_EQ(Must(key->ReadDword("Flag")), 7u);
  EXPECT_EQ(Must(key->ReadBinary("Blob")), (platform::RegistryBytes{0x00, 0xFF, 0x10}));
  EXPECT_EQ(Must(key->ReadValue("List")),
            (platform::RegistryValue{RegistryValueType::MultiString,
                                     {'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0}}));

  TAdvancedRegistry component(TRegistryKey::hkCURRENT_USER, "\\Software\\SetupTests", "Seeded");
  int errors = 0;
  component.OnError = [&](TAdvancedRegistry&) { ++errors; };
  EXPECT_EQ(component.ReadStringValue("Text"), "Set by reg");
  EXPECT_TRUE(component.ReadBoolValue("Flag"));
  EXPECT_EQ(component.ReadStringValue("List"), "");
  EXPECT_EQ(errors, 1);
}

// Left in place for `reg query` (tests/registry/wine-registry.sh verify).
TEST(SystemRegistry, LeavesAKeyForTheRegTool) {
  TAdvancedRegistry component(TRegistryKey::hkCURRENT_USER, "\\Software\\SetupTests", "Witness");
  int errors = 0;
  component.OnError = [&](TAdvancedRegistry&) { ++errors; };
  component.DeleteRegistryKey("\\Software\\SetupTests\\Witness");  // from an earlier run
  errors = 0;
  component.WriteStringValue("Text", "Nivalis Tolva");
  component.WriteBoolValue("Flag", true);
  component.WriteBoolValue("Off", false);
  ASSERT_TRUE(Must(platform::CurrentRegistry().CreateKey(RegistryRoot::CurrentUser,
                                                         "Software\\SetupTests\\Witness"))
                  ->WriteBinary("Blob", {0x01, 0x02, 0xFF}));
  component.SetRegistrySection("Witness\\Gone\\Deep");
  component.WriteStringValue("v", "x");
  component.DeleteRegistryKey("\\Software\\SetupTests\\Witness\\Gone");
  EXPECT_EQ(errors, 0);
}

#else

TEST(SystemRegistry, IsAbsentOnPosixAndSaysSo) {
  platform::Registry& registry = platform::CurrentRegistry();
  auto open = registry.OpenKey(RegistryRoot::LocalMachine, "Software");
  EXPECT_EQ(open.Error().Code, platform::kRegistryNotImplemented);
  EXPECT_EQ(open.Error().Text, "There is no system registry on this platform");
  EXPECT_EQ(registry.CreateKey(RegistryRoot::CurrentUser, "X").Error().Code,
            platform::kRegistryNotImplemented);
  EXPECT_EQ(registry.KeyExists(RegistryRoot::CurrentUser, "X").Error().Code,
            platform::kRegistryNotImplemented);
  EXPECT_EQ(registry.DeleteKeyTree(RegistryRoot::CurrentUser, "X").Error().Code,
            platform::kRegistryNotImplemented);

  // The component reports it through its event and throws nothing.
  TAdvancedRegistry component(TRegistryKey::hkLOCAL_MACHINE, "\\Software", "Tolva");
  int errors = 0;
  component.OnError = [&](TAdvancedRegistry&) { ++errors; };
  EXPECT_EQ(component.ReadStringValue("InstallDir"), "");
  EXPECT_FALSE(component.ReadBoolValue("NoInstallIM"));
  EXPECT_NO_THROW(component.WriteStringValue("InstallDir", "x"));
  EXPECT_NO_THROW(component.WriteBoolValue("NoInstallIM", true));
  component.DeleteRegistryKey("\\Software\\Tolva");
  EXPECT_EQ(errors, 5);
  EXPECT_EQ(component.LastError().Code, platform::kRegistryNotImplemented);
}

#endif
