#include "support/advanced_registry.h"

#include "registry_backend.h"

using platform::RegistryAccess;
using platform::RegistryBytes;
using platform::RegistryValueType;

class AdvancedRegistryTest : public RegistryBackendTest {
 protected:
  // A component on "\" + scratch key + "\Area" with section "Section", whose
  // error events are counted.
  void SetUp() override {
    RegistryBackendTest::SetUp();
    component_.SetRegistryArea("\\" + Under("Area"));
    component_.SetRegistrySection("Section");
    component_.OnError = [this](TAdvancedRegistry& sender) {
      EXPECT_EQ(&sender, &component_);
      EXPECT_NE(sender.LastError().Code, 0u);
      ++errors_;
    };
  }
  std::string KeyK() const { return Under("Area\\Section"); }

  TAdvancedRegistry component_;
  int errors_ = 0;
};
INSTANTIATE_FOR_REGISTRIES(AdvancedRegistryTest);

TEST_P(AdvancedRegistryTest, MissingKeysAndValues) {
  // A key that does not exist: one event per read, default results.
  EXPECT_EQ(component_.ReadStringValue("InstallDir"), "");
  EXPECT_EQ(errors_, 1);
  EXPECT_EQ(component_.LastError().Code, platform::kRegistryNotFound);
  EXPECT_NE(component_.LastError().Text.find("HKEY_CURRENT_USER\\Software\\SetupTests"),
            std::string::npos);
  EXPECT_FALSE(component_.ReadBoolValue("NoInstallIM"));
  EXPECT_EQ(errors_, 2);
  EXPECT_FALSE(Must(Reg().KeyExists(kUser, KeyK()))) << "reading must not create the key";

  // A missing value in an existing key reads as empty text without an event,
  // but as a failing boolean.
  ASSERT_TRUE(Reg().CreateKey(kUser, KeyK()));
  EXPECT_EQ(component_.ReadStringValue("InstallDir"), "");
  EXPECT_EQ(errors_, 2);
  EXPECT_EQ(component_.LastError().Code, 0u);
  EXPECT_FALSE(component_.ReadBoolValue("NoInstallIM"));
  EXPECT_EQ(errors_, 3);
  EXPECT_EQ(component_.LastError().Code, platform::kRegistryNotFound);

  // Without a handler the same failures are silent.
  component_.OnError = nullptr;
  EXPECT_FALSE(component_.ReadBoolValue("NoInstallIM"));
  component_.SetRegistrySection("Elsewhere");
  EXPECT_EQ(component_.ReadStringValue("InstallDir"), "");
  EXPECT_EQ(errors_, 3);
}

TEST_P(AdvancedRegistryTest, WritesCreateTheKeyAndStoreTheRightTypes) {
  component_.WriteStringValue("InstallDir", "C:\\Program Files\\Tolva\\");
  component_.WriteBoolValue("NoInstallIM", true);
  component_.WriteBoolValue("NoInstallAV", false);
  component_.WriteStringValue("NoModify", "1");
  EXPECT_EQ(errors_, 0);

  // Checked through the registry itself, not through the component.
  auto key = Must(Reg().OpenKey(kUser, KeyK()));
  EXPECT_EQ(Must(key->ReadValue("InstallDir")).Type, RegistryValueType::String);
  EXPECT_EQ(Must(key->ReadString("InstallDir")), "C:\\Program Files\\Tolva\\");
  EXPECT_EQ(Must(key->ReadValue("NoInstallIM")),
            (platform::RegistryValue{RegistryValueType::Dword, {1, 0, 0, 0}}));
  EXPECT_EQ(Must(key->ReadDword("NoInstallAV")), 0u);
  EXPECT_EQ(Must(key->ValueType("NoModify")), RegistryValueType::String);

  EXPECT_EQ(component_.ReadStringValue("installdir"), "C:\\Program Files\\Tolva\\");
  EXPECT_TRUE(component_.ReadBoolValue("NoInstallIM"));
  EXPECT_FALSE(component_.ReadBoolValue("NoInstallAV"));
  EXPECT_EQ(errors_, 0);

  // Overwriting changes the value in place.
  component_.WriteBoolValue("NoInstallIM", false);
  component_.WriteStringValue("InstallDir", "");
  EXPECT_FALSE(component_.ReadBoolValue("NoInstallIM"));
  EXPECT_EQ(component_.ReadStringValue("InstallDir"), "");
  EXPECT_EQ(errors_, 0);
  EXPECT_EQ(component_.LastError().Code, 0u);
}

TEST_P(AdvancedRegistryTest, ValuesOfTheWrongType) {
  {
    auto key = Must(Reg().CreateKey(kUser, KeyK()));
    ASSERT_TRUE(key->WriteDword("Number", 7));
    ASSERT_TRUE(key->WriteString("Text", "1"));
    ASSERT_TRUE(key->WriteBinary("Blob", RegistryBytes{1, 0, 0, 0}));
    ASSERT_TRUE(key->WriteValue(
        "Path", {RegistryValueType::ExpandString, {'%', 'T', 'E', 'M', 'P', '%', 0}}));
  }
  // Text read from a number is empty, and reported.
  EXPECT_EQ(component_.ReadStringValue("Number"), "");
  EXPECT_EQ(errors_, 1);
  EXPECT_EQ(component_.LastError().Code, platform::kRegistryUnsupportedType);
  EXPECT_EQ(component_.ReadStringValue("Blob"), "");
  EXPECT_EQ(errors_, 2);
  // Expandable text is text, returned as stored.
  EXPECT_EQ(component_.ReadStringValue("Path"), "%TEMP%");
  EXPECT_EQ(errors_, 2);

  // Booleans are numbers: "1" as text or four bytes as binary are not.
  EXPECT_FALSE(component_.ReadBoolValue("Text"));
  EXPECT_FALSE(component_.ReadBoolValue("Blob"));
  EXPECT_EQ(errors_, 4);
  EXPECT_TRUE(component_.ReadBoolValue("Number"));  // any number but 0
  EXPECT_EQ(errors_, 4);
}

TEST_P(AdvancedRegistryTest, EachReadUsesTheKeyAsItIsAtTheCall) {
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, KeyK()))->WriteString("Who", "user"));
  ASSERT_TRUE(Must(Reg().CreateKey(kMachine, KeyK()))->WriteString("Who", "machine"));
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("Area\\Other")))->WriteString("Who", "other"));
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("Moved\\Section")))->WriteString("Who", "moved"));

  EXPECT_EQ(component_.ReadStringValue("Who"), "user");
  component_.SetRegistryRootKey(TRegistryKey::hkLOCAL_MACHINE);
  EXPECT_EQ(component_.RootKey(), platform::RegistryRoot::LocalMachine);
  EXPECT_EQ(component_.ReadStringValue("Who"), "machine");
  component_.SetRegistryRootKey(TRegistryKey::hkCURRENT_USER);
  component_.SetRegistrySection("Other");
  EXPECT_EQ(component_.ReadStringValue("Who"), "other");
  component_.SetRegistrySection("Section");
  component_.SetRegistryArea("\\" + Under("Moved"));
  EXPECT_EQ(component_.ReadStringValue("Who"), "moved");
  // Without a section the area itself is the key.
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("Moved")))->WriteString("Who", "area"));
  component_.SetRegistrySection("");
  EXPECT_EQ(component_.ReadStringValue("Who"), "area");
  component_.SetRegistrySection("Section");
  EXPECT_EQ(errors_, 0);

  // Writes follow the switch too.
  component_.SetRegistryRootKey(TRegistryKey::hkLOCAL_MACHINE);
  component_.WriteStringValue("Who", "machine moved");
  EXPECT_EQ(Must(Must(Reg().OpenKey(kMachine, Under("Moved\\Section")))->ReadString("Who")),
            "machine moved");
  EXPECT_EQ(Must(Must(Reg().OpenKey(kUser, Under("Moved\\Section")))->ReadString("Who")), "moved");
}

TEST_P(AdvancedRegistryTest, DeleteRegistryKeyWorksFromTheRoot) {
  component_.WriteStringValue("v", "1");
  ASSERT_TRUE(Reg().CreateKey(kUser, KeyK() + "\\Deeper\\Still"));
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("Neighbour")))->WriteString("v", "stays"));

  // The path is taken from the root, whatever area and section say.
  component_.SetRegistrySection("Unrelated");
  component_.DeleteRegistryKey("\\" + Under("Area"));
  EXPECT_EQ(errors_, 0);
  EXPECT_FALSE(Must(Reg().KeyExists(kUser, Under("Area"))));
  EXPECT_EQ(Must(Must(Reg().OpenKey(kUser, Under("Neighbour")))->ReadString("v")), "stays");

  component_.DeleteRegistryKey("\\" + Under("Area"));
  EXPECT_EQ(errors_, 1);
  EXPECT_EQ(component_.LastError().Code, platform::kRegistryNotFound);

  // An empty path would empty the whole root key: refused and reported.
  component_.DeleteRegistryKey("");
  component_.DeleteRegistryKey("\\");
  EXPECT_EQ(errors_, 3);
  EXPECT_EQ(component_.LastError().Code, platform::kRegistryInvalidParameter);
  EXPECT_TRUE(Must(Reg().KeyExists(kUser, Under("Neighbour"))));
}

TEST_P(AdvancedRegistryTest, ARootWithoutKeysReportsEveryOperation) {
  component_.SetRegistryRootKey(TRegistryKey::hkPERFORMANCE_DATA);
  EXPECT_EQ(component_.ReadStringValue("v"), "");
  EXPECT_FALSE(component_.ReadBoolValue("v"));
  component_.WriteStringValue("v", "x");  // cannot be created: an event, no exception
  component_.WriteBoolValue("v", true);
  component_.DeleteRegistryKey(Under("Area"));
  EXPECT_EQ(errors_, 5);
  EXPECT_EQ(component_.LastError().Code, platform::kRegistryInvalidHandle);
}

TEST(AdvancedRegistry, RootKeysMapInTheirOrder) {
  EXPECT_EQ(static_cast<uint32_t>(RegistryRootOf(TRegistryKey::hkCLASSES_ROOT)), 0x80000000u);
  EXPECT_EQ(static_cast<uint32_t>(RegistryRootOf(TRegistryKey::hkCURRENT_USER)), 0x80000001u);
  EXPECT_EQ(static_cast<uint32_t>(RegistryRootOf(TRegistryKey::hkLOCAL_MACHINE)), 0x80000002u);
  EXPECT_EQ(static_cast<uint32_t>(RegistryRootOf(TRegistryKey::hkUSERS)), 0x80000003u);
  EXPECT_EQ(static_cast<uint32_t>(RegistryRootOf(TRegistryKey::hkPERFORMANCE_DATA)), 0x80000004u);
  EXPECT_EQ(static_cast<uint32_t>(RegistryRootOf(TRegistryKey::hkCURRENT_CONFIG)), 0x80000005u);
  EXPECT_EQ(static_cast<uint32_t>(RegistryRootOf(TRegistryKey::hkDYN_DATA)), 0x80000006u);

  TAdvancedRegistry product(TRegistryKey::hkLOCAL_MACHINE, "\\Software\\Nivalis",
                            "Tolva Mail Server");
  EXPECT_EQ(product.RegistryRootKey(), TRegistryKey::hkLOCAL_MACHINE);
  EXPECT_EQ(product.RootKey(), platform::RegistryRoot::LocalMachine);
  EXPECT_EQ(product.KeyPath(), "\\Software\\Nivalis\\Tolva Mail Server");
  TAdvancedRegistry plain;
  EXPECT_EQ(plain.RegistryRootKey(), TRegistryKey::hkCURRENT_USER);
}

// Failures that only the fake can bring about.
TEST(AdvancedRegistry, AFailedWriteIntoAnOpenedKeyReachesTheCaller) {
  platform::FakeRegistry fake;
  const std::string key = "Software\\Nivalis\\Tolva Mail Server";
  TAdvancedRegistry product(TRegistryKey::hkLOCAL_MACHINE, "\\Software\\Nivalis",
                            "Tolva Mail Server");
  int errors = 0;
  product.OnError = [&](TAdvancedRegistry&) { ++errors; };
  fake.InjectFailure(platform::FakeRegistry::Operation::WriteValue,
                     platform::RegistryRoot::LocalMachine, key, platform::kRegistryAccessDenied);

  try {
    product.WriteStringValue("InstallDir", "C:\\Tolva\\");
    ADD_FAILURE() << "no exception";
  } catch (const RegistryWriteError& error) {
    EXPECT_EQ(error.Code(), platform::kRegistryAccessDenied);
    EXPECT_STREQ(error.what(),
                 "Failed to write \"InstallDir\" in "
                 "\"HKEY_LOCAL_MACHINE\\Software\\Nivalis\\Tolva Mail Server\": Access is denied");
  }
  EXPECT_THROW(product.WriteBoolValue("NoInstallIM", true), RegistryWriteError);
  EXPECT_EQ(errors, 0) << "the exception replaces the event";
  EXPECT_EQ(product.LastError().Code, platform::kRegistryAccessDenied);
  EXPECT_EQ(fake.OpenKeyCount(), 0) << "the key is closed on the way out";
  EXPECT_TRUE(fake.HasKey(platform::RegistryRoot::LocalMachine, key));  // opening created it
  EXPECT_FALSE(fake.Value(platform::RegistryRoot::LocalMachine, key, "InstallDir"));
}

TEST(AdvancedRegistry, KeysThatCannotBeOpenedOrCreatedFireTheEvent) {
  platform::FakeRegistry fake;
  TAdvancedRegistry product(TRegistryKey::hkLOCAL_MACHINE, "\\Software\\Locked", "Tolva");
  std::vector<std::string> reports;
  product.OnError = [&](TAdvancedRegistry& sender) { reports.push_back(sender.LastError().Text); };

  // A parent that may not get subkeys: the write becomes an event.
  fake.DenyWrites(platform::RegistryRoot::LocalMachine, "Software\\Locked");
  product.WriteStringValue("v", "x");
  product.WriteBoolValue("b", true);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0], "Access is denied");
  EXPECT_FALSE(fake.HasKey(platform::RegistryRoot::LocalMachine, "Software\\Locked\\Tolva"));

  // A key that exists but may not be opened with full rights: reads fail once.
  fake.SetString(platform::RegistryRoot::LocalMachine, "Software\\Locked\\Tolva", "v", "x");
  fake.DenyWrites(platform::RegistryRoot::LocalMachine, "Software\\Locked\\Tolva");
  EXPECT_EQ(product.ReadStringValue("v"), "");
  EXPECT_EQ(reports.size(), 3u);
  EXPECT_EQ(product.LastError().Code, platform::kRegistryAccessDenied);

  // Every operation leaves no key open, failed or not.
  EXPECT_EQ(fake.OpenKeyCount(), 0);
  product.SetRegistryArea("\\Software\\Open");
  product.WriteStringValue("v", "x");
  EXPECT_EQ(product.ReadStringValue("v"), "x");
  EXPECT_EQ(fake.OpenKeyCount(), 0);
}
