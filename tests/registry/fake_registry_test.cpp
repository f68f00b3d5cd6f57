// What only the fake offers: denied writes, injected failures, its set-up
// calls and its count of open keys.
#include "platform/fake/fake_registry.h"

#include <gtest/gtest.h>

#include "registry_backend.h"

using platform::FakeRegistry;
using platform::RegistryAccess;
using platform::RegistryRoot;

namespace {
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
}

TEST(FakeRegistry, DeniedWritesActLikeAKeysSecurity) {
  FakeRegistry fake;
  fake.SetString(kMachine, "Software\\Locked\\Inner", "v", "x");
  fake.DenyWrites(kMachine, "\\software\\LOCKED");

  EXPECT_TRUE(fake.OpenKey(kMachine, "Software\\Locked", RegistryAccess::Read));
  EXPECT_EQ(fake.OpenKey(kMachine, "Software\\Locked", RegistryAccess::All).Error().Code,
            platform::kRegistryAccessDenied);
  EXPECT_EQ(fake.CreateKey(kMachine, "Software\\Locked").Error().Code,
            platform::kRegistryAccessDenied);
  // The key's own rights do not reach a subkey that exists...
  EXPECT_TRUE(fake.CreateKey(kMachine, "Software\\Locked\\Inner"));
  // ...but a new subkey needs them.
  EXPECT_EQ(fake.CreateKey(kMachine, "Software\\Locked\\New\\Deeper").Error().Code,
            platform::kRegistryAccessDenied);
  EXPECT_FALSE(fake.HasKey(kMachine, "Software\\Locked\\New"));

  // Deleting a tree stops at the denied key, after what came before it.
  fake.SetString(kMachine, "Software\\A-first", "v", "x");
  fake.SetString(kMachine, "Software\\Z-last", "v", "x");
  EXPECT_EQ(fake.DeleteKeyTree(kMachine, "Software").Error().Code, platform::kRegistryAccessDenied);
  EXPECT_FALSE(fake.HasKey(kMachine, "Software\\A-first"));
  EXPECT_TRUE(fake.HasKey(kMachine, "Software\\Locked"));
  EXPECT_TRUE(fake.HasKey(kMachine, "Software\\Locked\\Inner"));
  EXPECT_TRUE(fake.HasKey(kMachine, "Software\\Z-last"));

  // Denial applies to a path before its key exists.
  fake.DenyWrites(kMachine, "Software\\Later");
  fake.SetString(kMachine, "Software\\Later", "v", "x");
  EXPECT_EQ(fake.OpenKey(kMachine, "Software\\Later", RegistryAccess::ReadWrite).Error().Code,
            platform::kRegistryAccessDenied);
}

TEST(FakeRegistry, InjectedFailuresHitOneOperationOfOneKey) {
  FakeRegistry fake;
  fake.SetString(kMachine, "Software\\K", "v", "x");
  fake.SetString(kMachine, "Software\\Other", "v", "x");
  fake.InjectFailure(FakeRegistry::Operation::WriteValue, kMachine, "software\\k", 1234);

  auto key = Must(fake.OpenKey(kMachine, "Software\\K", RegistryAccess::All));
  auto refused = key->WriteString("v", "y");
  EXPECT_EQ(refused.Error().Code, 1234u);
  EXPECT_EQ(refused.Error().Text, "System error 1234");
  EXPECT_EQ(Must(key->ReadString("v")), "x");
  EXPECT_TRUE(
      Must(fake.OpenKey(kMachine, "Software\\Other", RegistryAccess::All))->WriteString("v", "y"));

  fake.InjectFailure(FakeRegistry::Operation::ReadValue, kMachine, "Software\\K", 5);
  fake.InjectFailure(FakeRegistry::Operation::Enumerate, kMachine, "Software\\K", 5);
  fake.InjectFailure(FakeRegistry::Operation::DeleteValue, kMachine, "Software\\K", 5);
  EXPECT_EQ(key->ReadValue("v").Error().Text, "Access is denied");
  EXPECT_EQ(key->ValueType("v").Error().Code, 5u);
  EXPECT_EQ(key->ValueNames().Error().Code, 5u);
  EXPECT_EQ(key->SubkeyNames().Error().Code, 5u);
  EXPECT_EQ(key->DeleteValue("v").Error().Code, 5u);

  fake.ClearFailures();
  EXPECT_TRUE(key->WriteString("v", "z"));
  EXPECT_EQ(fake.Value(kMachine, "Software\\K", "V")->Data.size(), 2u);
}

TEST(FakeRegistry, InjectedOpenFailuresAnswerKeyExistsAsTheSystemWould) {
  FakeRegistry fake;
  fake.SetString(kMachine, "Software\\K", "v", "x");
  fake.InjectFailure(FakeRegistry::Operation::Open, kMachine, "Software\\K",
                     platform::kRegistryAccessDenied);
  EXPECT_TRUE(Must(fake.KeyExists(kMachine, "Software\\K")));
  EXPECT_FALSE(fake.OpenKey(kMachine, "Software\\K"));
  fake.InjectFailure(FakeRegistry::Operation::Open, kMachine, "Software\\K",
                     platform::kRegistryNotFound);
  EXPECT_FALSE(Must(fake.KeyExists(kMachine, "Software\\K")));
  fake.InjectFailure(FakeRegistry::Operation::Open, kMachine, "Software\\K", 1450);
  EXPECT_EQ(fake.KeyExists(kMachine, "Software\\K").Error().Code, 1450u);

  fake.InjectFailure(FakeRegistry::Operation::Create, kMachine, "Software\\New", 8);
  EXPECT_EQ(fake.CreateKey(kMachine, "Software\\New").Error().Code, 8u);
  EXPECT_FALSE(fake.HasKey(kMachine, "Software\\New"));
  fake.InjectFailure(FakeRegistry::Operation::DeleteKey, kMachine, "Software\\K", 5);
  EXPECT_EQ(fake.DeleteKeyTree(kMachine, "Software\\K").Error().Code, 5u);
  EXPECT_TRUE(fake.HasKey(kMachine, "Software\\K"));

  fake.SetRootAvailable(RegistryRoot::CurrentConfig, false);
  EXPECT_EQ(fake.CreateKey(RegistryRoot::CurrentConfig, "X").Error().Code,
            platform::kRegistryInvalidHandle);
  fake.SetRootAvailable(RegistryRoot::PerformanceData, true);
  EXPECT_TRUE(fake.CreateKey(RegistryRoot::PerformanceData, "X"));
}

TEST(FakeRegistry, CountsOpenKeysAndOutlivesNothing) {
  platform::RegistryKeyPtr survivor;
  {
    FakeRegistry fake;
    EXPECT_EQ(&platform::CurrentRegistry(), &fake);
    {
      FakeRegistry inner;
      EXPECT_EQ(&platform::CurrentRegistry(), &inner);
    }
    EXPECT_EQ(&platform::CurrentRegistry(), &fake);

    auto first = Must(fake.CreateKey(kMachine, "A"));
    auto second = Must(fake.OpenKey(kMachine, "A", RegistryAccess::All));
    EXPECT_EQ(fake.OpenKeyCount(), 2);
    first.reset();
    EXPECT_EQ(fake.OpenKeyCount(), 1);
    EXPECT_FALSE(fake.OpenKey(kMachine, "B"));
    EXPECT_EQ(fake.OpenKeyCount(), 1);
    survivor = std::move(second);
  }
  // The system's registry is back in place.
  EXPECT_EQ(dynamic_cast<FakeRegistry*>(&platform::CurrentRegistry()), nullptr);
  // A key kept past its registry stays usable and is closed safely.
  EXPECT_TRUE(survivor->WriteString("late", "ok"));
  EXPECT_EQ(Must(survivor->ReadString("late")), "ok");
  survivor.reset();
}
