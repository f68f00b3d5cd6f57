// The registry interface, the same cases against the fake and the system's
// registry, so that the fake is held to what the real one does.
#include <algorithm>

#include "registry_backend.h"

using platform::RegistryAccess;
using platform::RegistryBytes;
using platform::RegistryRoot;
using platform::RegistryValue;
using platform::RegistryValueType;

namespace {

RegistryBytes Bytes(const std::string& text) {
  return RegistryBytes(text.begin(), text.end());
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

class RegistryTest : public RegistryBackendTest {};
INSTANTIATE_FOR_REGISTRIES(RegistryTest);

TEST_P(RegistryTest, OpenCreateAndExist) {
  // Opening does not create.
  auto missing = Reg().OpenKey(kUser, Under("a"));
  ASSERT_FALSE(missing);
  EXPECT_TRUE(missing.NotFound());
  EXPECT_FALSE(missing.Error().Text.empty());
  ASSERT_TRUE(Reg().KeyExists(kUser, Under("a")));
  EXPECT_FALSE(Must(Reg().KeyExists(kUser, Under("a"))));

  // Creating makes the missing parents.
  ASSERT_TRUE(Reg().CreateKey(kUser, Under("a\\b\\c")));
  EXPECT_TRUE(Must(Reg().KeyExists(kUser, Under("a"))));
  EXPECT_TRUE(Must(Reg().KeyExists(kUser, Under("a\\b\\c"))));

  // Leading, trailing and doubled delimiters and letter case do not matter.
  EXPECT_TRUE(Reg().OpenKey(kUser, "\\" + Under("A\\\\B\\c\\")));
  EXPECT_TRUE(Must(Reg().KeyExists(kUser, "\\\\" + Under("a\\B"))));

  // A name keeps the case it was created with.
  ASSERT_TRUE(Reg().CreateKey(kUser, Under("a\\Mixed")));
  ASSERT_TRUE(Reg().CreateKey(kUser, Under("a\\MIXED\\inner")));
  auto parent = Reg().OpenKey(kUser, Under("a"));
  ASSERT_TRUE(parent);
  auto names = parent.Value()->SubkeyNames();
  ASSERT_TRUE(names);
  EXPECT_EQ(Sorted(names.Value()), (std::vector<std::string>{"Mixed", "b"}));
  auto empty = Reg().OpenKey(kUser, Under("a\\b\\c"));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(Must(empty.Value()->SubkeyNames()).empty());
  EXPECT_TRUE(Must(empty.Value()->ValueNames()).empty());
}

TEST_P(RegistryTest, TypedValuesRoundTrip) {
  auto created = Reg().CreateKey(kUser, Under("v"));
  ASSERT_TRUE(created);
  platform::RegistryKey& key = *created.Value();

  ASSERT_TRUE(key.WriteString("Text", "Nivalis \xE9t\xE9"));
  ASSERT_TRUE(key.WriteString("Empty", ""));
  ASSERT_TRUE(key.WriteDword("Zero", 0));
  ASSERT_TRUE(key.WriteDword("Max", 0xFFFFFFFFu));
  RegistryBytes blob(4096);
  for (size_t i = 0; i < blob.size(); ++i)
    blob[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(key.WriteBinary("Blob", blob));
  ASSERT_TRUE(key.WriteBinary("NoBytes", {}));
  ASSERT_TRUE(key.WriteString("", "default"));

  // Read through a second key handle, so nothing is served from the first.
  auto reopened = Reg().OpenKey(kUser, Under("V"));
  ASSERT_TRUE(reopened);
  platform::RegistryKey& again = *reopened.Value();
  EXPECT_EQ(Must(again.ReadString("text")), "Nivalis \xE9t\xE9");
  EXPECT_EQ(Must(again.ReadString("Empty")), "");
  EXPECT_EQ(Must(again.ReadDword("Zero")), 0u);
  EXPECT_EQ(Must(again.ReadDword("MAX")), 0xFFFFFFFFu);
  EXPECT_EQ(Must(again.ReadBinary("Blob")), blob);
  EXPECT_TRUE(Must(again.ReadBinary("NoBytes")).empty());
  EXPECT_EQ(Must(again.ReadString("")), "default");

  // The stored forms: text with its terminator, numbers little-endian.
  EXPECT_EQ(Must(again.ReadValue("Empty")), (RegistryValue{RegistryValueType::String, {0}}));
  EXPECT_EQ(Must(again.ReadValue("Max")),
            (RegistryValue{RegistryValueType::Dword, {0xFF, 0xFF, 0xFF, 0xFF}}));
  ASSERT_TRUE(key.WriteDword("Order", 0x04030201));
  EXPECT_EQ(Must(again.ReadValue("Order")).Data, (RegistryBytes{1, 2, 3, 4}));
  EXPECT_EQ(Must(again.ValueType("Text")), RegistryValueType::String);
  EXPECT_EQ(Must(again.ValueType("Blob")), RegistryValueType::Binary);
  EXPECT_EQ(Must(again.ValueType("Zero")), RegistryValueType::Dword);

  // Writing under another case replaces the value and keeps the first name;
  // the type follows the last write.
  ASSERT_TRUE(key.WriteDword("TEXT", 5));
  EXPECT_EQ(Must(again.ValueType("Text")), RegistryValueType::Dword);
  auto names = again.ValueNames();
  ASSERT_TRUE(names);
  EXPECT_EQ(Sorted(names.Value()), (std::vector<std::string>{"", "Blob", "Empty", "Max", "NoBytes",
                                                             "Order", "Text", "Zero"}));

  ASSERT_TRUE(key.DeleteValue("blob"));
  EXPECT_TRUE(again.ReadValue("Blob").NotFound());
  EXPECT_EQ(Must(again.ValueNames()).size(), 7u);
}

TEST_P(RegistryTest, ValuesOfEveryTypeCopyUnchanged) {
  // What a migration does: enumerate the names, copy each value as stored.
  std::vector<std::pair<std::string, RegistryValue>> values = {
      {"Multi", {RegistryValueType::MultiString, Bytes(std::string("one\0two\0\0", 9))}},
      {"Expand", {RegistryValueType::ExpandString, Bytes(std::string("%SystemRoot%\\x\0", 15))}},
      {"Quad", {RegistryValueType::Qword, {1, 2, 3, 4, 5, 6, 7, 8}}},
      {"BigEnd", {RegistryValueType::DwordBigEndian, {0, 0, 0, 9}}},
      {"Nothing", {RegistryValueType::None, {7, 0, 7}}},
      {"Bin", {RegistryValueType::Binary, {0, 0, 0xFF}}},
      {"Str", {RegistryValueType::String, Bytes(std::string("s\0", 2))}},
  };
  {
    auto source = Reg().CreateKey(kUser, Under("old"));
    ASSERT_TRUE(source);
    for (const auto& [name, value] : values)
      ASSERT_TRUE(source.Value()->WriteValue(name, value));
  }
  auto source = Reg().OpenKey(kUser, Under("old"));
  auto target = Reg().CreateKey(kUser, Under("new\\copy"));
  ASSERT_TRUE(source && target);
  auto names = source.Value()->ValueNames();
  ASSERT_TRUE(names);
  ASSERT_EQ(names.Value().size(), values.size());
  for (const std::string& name : names.Value()) {
    auto value = source.Value()->ReadValue(name);
    ASSERT_TRUE(value) << name;
    ASSERT_TRUE(target.Value()->WriteValue(name, value.Value())) << name;
  }
  for (const auto& [name, value] : values) {
    EXPECT_EQ(Must(target.Value()->ReadValue(name)), value) << name;
  }
}

TEST_P(RegistryTest, WrongTypesAndMissingValues) {
  auto created = Reg().CreateKey(kUser, Under("t"));
  ASSERT_TRUE(created);
  platform::RegistryKey& key = *created.Value();
  ASSERT_TRUE(key.WriteDword("Number", 1));
  ASSERT_TRUE(key.WriteString("Text", "1"));
  ASSERT_TRUE(key.WriteValue("Short", {RegistryValueType::Dword, {1, 0}}));
  ASSERT_TRUE(key.WriteValue(
      "Path", {RegistryValueType::ExpandString, Bytes(std::string("%TEMP%\\a\0", 9))}));
  ASSERT_TRUE(
      key.WriteValue("Cut", {RegistryValueType::String, Bytes(std::string("ab\0cd\0", 6))}));
  ASSERT_TRUE(
      key.WriteValue("List", {RegistryValueType::MultiString, Bytes(std::string("a\0b\0\0", 5))}));

  EXPECT_EQ(key.ReadString("Number").Error().Code, platform::kRegistryUnsupportedType);
  EXPECT_EQ(key.ReadString("List").Error().Code, platform::kRegistryUnsupportedType);
  EXPECT_EQ(key.ReadDword("Text").Error().Code, platform::kRegistryUnsupportedType);
  EXPECT_EQ(key.ReadBinary("Text").Error().Code, platform::kRegistryUnsupportedType);
  EXPECT_EQ(key.ReadDword("Short").Error().Code, platform::kRegistryInvalidData);
  EXPECT_EQ(Must(key.ReadString("Path")), "%TEMP%\\a");  // not expanded
  EXPECT_EQ(Must(key.ReadString("Cut")), "ab");

  EXPECT_TRUE(key.ReadValue("Absent").NotFound());
  EXPECT_TRUE(key.ReadString("Absent").NotFound());
  EXPECT_TRUE(key.ReadDword("Absent").NotFound());
  EXPECT_TRUE(key.ValueType("Absent").NotFound());
  EXPECT_EQ(key.DeleteValue("Absent").Error().Code, platform::kRegistryNotFound);
}

TEST_P(RegistryTest, DeleteTreeRemovesEverythingBelowAndNothingElse) {
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("tree\\x\\y\\z")))->WriteString("deep", "1"));
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("tree\\w")))->WriteDword("n", 2));
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("tree")))->WriteString("top", "3"));
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("treetop")))->WriteString("sibling", "4"));
  auto stale = Reg().OpenKey(kUser, Under("tree\\x"), RegistryAccess::All);
  ASSERT_TRUE(stale);

  ASSERT_TRUE(Reg().DeleteKeyTree(kUser, "\\" + Under("TREE") + "\\"));
  EXPECT_FALSE(Must(Reg().KeyExists(kUser, Under("tree"))));
  EXPECT_FALSE(Must(Reg().KeyExists(kUser, Under("tree\\x\\y\\z"))));
  EXPECT_EQ(Must(Must(Reg().OpenKey(kUser, Under("treetop")))->ReadString("sibling")), "4");

  // A handle opened before the deletion now refers to a deleted key.
  EXPECT_EQ(stale.Value()->WriteString("late", "x").Error().Code, platform::kRegistryKeyDeleted);
  EXPECT_EQ(stale.Value()->ReadValue("late").Error().Code, platform::kRegistryKeyDeleted);
  // Recreating the path makes a new, empty key.
  ASSERT_TRUE(Reg().CreateKey(kUser, Under("tree\\x")));
  EXPECT_TRUE(Must(Must(Reg().OpenKey(kUser, Under("tree\\x")))->ValueNames()).empty());

  EXPECT_EQ(Reg().DeleteKeyTree(kUser, Under("missing")).Error().Code, platform::kRegistryNotFound);
}

TEST_P(RegistryTest, AnEmptyPathNeverDeletesARootKey) {
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Under("keep")))->WriteString("v", "kept"));
  for (const char* path : {"", "\\", "\\\\\\"}) {
    auto refused = Reg().DeleteKeyTree(kUser, path);
    EXPECT_EQ(refused.Error().Code, platform::kRegistryInvalidParameter) << path;
    EXPECT_NE(refused.Error().Text.find("HKEY_CURRENT_USER"), std::string::npos);
  }
  EXPECT_EQ(Must(Must(Reg().OpenKey(kUser, Under("keep")))->ReadString("v")), "kept");
}

TEST_P(RegistryTest, RootKeysAreSeparate) {
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Base()))->WriteString("Where", "user"));
  ASSERT_TRUE(Must(Reg().CreateKey(kMachine, Base()))->WriteString("Where", "machine"));
  EXPECT_EQ(Must(Must(Reg().OpenKey(kUser, Base()))->ReadString("Where")), "user");
  EXPECT_EQ(Must(Must(Reg().OpenKey(kMachine, Base()))->ReadString("Where")), "machine");
  ASSERT_TRUE(Reg().DeleteKeyTree(kMachine, Base()));
  EXPECT_EQ(Must(Must(Reg().OpenKey(kUser, Base()))->ReadString("Where")), "user");

  // The performance root holds no keys; a number that is no root key is refused.
  auto performance = Reg().CreateKey(RegistryRoot::PerformanceData, Base());
  EXPECT_EQ(performance.Error().Code, platform::kRegistryInvalidHandle);
  EXPECT_FALSE(Reg().KeyExists(RegistryRoot::PerformanceData, Base()));
  auto bogus = static_cast<RegistryRoot>(0x80000007);
  EXPECT_EQ(Reg().OpenKey(bogus, "Software").Error().Code, platform::kRegistryInvalidHandle);
  EXPECT_EQ(Reg().DeleteKeyTree(bogus, "Software").Error().Code, platform::kRegistryInvalidHandle);
  EXPECT_NE(Reg().KeyExists(bogus, "").Error().Text.find("0x80000007"), std::string::npos);
}

TEST_P(RegistryTest, AKeyOpenedForReadingRefusesChanges) {
  ASSERT_TRUE(Must(Reg().CreateKey(kUser, Base()))->WriteString("v", "before"));
  auto reading = Reg().OpenKey(kUser, Base(), RegistryAccess::Read);
  ASSERT_TRUE(reading);
  EXPECT_EQ(reading.Value()->WriteString("v", "after").Error().Code,
            platform::kRegistryAccessDenied);
  EXPECT_EQ(reading.Value()->DeleteValue("v").Error().Code, platform::kRegistryAccessDenied);
  EXPECT_EQ(Must(reading.Value()->ReadString("v")), "before");
  auto writing = Reg().OpenKey(kUser, Base(), RegistryAccess::ReadWrite);
  ASSERT_TRUE(writing);
  EXPECT_TRUE(writing.Value()->WriteString("v", "after"));
  EXPECT_EQ(Must(reading.Value()->ReadString("v")), "after");
}
