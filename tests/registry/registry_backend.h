// Runs a test against each registry the build has: the in-memory fake
// everywhere, and the system's own on Windows (under Wine, the prefix's real
// registry). Each test works below a scratch key of its own, removed before
// and after it under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fake/fake_registry.h"
#include "platform/registry.h"

inline std::vector<std::string> RegistryBackends() {
#ifdef _WIN32
  return {"Fake", "System"};
#else
  return {"Fake"};
#endif
}

class RegistryBackendTest : public ::testing::TestWithParam<std::string> {
 protected:
  static constexpr platform::RegistryRoot kUser = platform::RegistryRoot::CurrentUser;
  static constexpr platform::RegistryRoot kMachine = platform::RegistryRoot::LocalMachine;

  void SetUp() override {
    if (GetParam() == "Fake") fake_ = std::make_unique<platform::FakeRegistry>();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    base_ = std::string("Software\\SetupTests\\") + test->test_suite_name() + "." + test->name();
    for (char& c : base_)
      if (c == '/') c = '.';
    Clean();
  }
  void TearDown() override { Clean(); }

  platform::Registry& Reg() { return platform::CurrentRegistry(); }
  bool IsFake() const { return fake_ != nullptr; }
  platform::FakeRegistry& Fake() { return *fake_; }
  // A path below this test's scratch key.
  std::string Under(const std::string& relative) const { return base_ + "\\" + relative; }
  const std::string& Base() const { return base_; }

 private:
  void Clean() {
    Reg().DeleteKeyTree(kUser, base_);
    Reg().DeleteKeyTree(kMachine, base_);
  }

  std::unique_ptr<platform::FakeRegistry> fake_;
  std::string base_;
};

// The value of a result that a test needs to go on; a failed one ends the
// test with the error instead of touching an empty result.
template <class T>
T Must(platform::RegistryResult<T>&& result) {
  if (!result) throw std::runtime_error("registry call failed: " + result.Error().Text);
  return std::move(result.Value());
}

#define INSTANTIATE_FOR_REGISTRIES(suite)                                              \
  INSTANTIATE_TEST_SUITE_P(Registries, suite, ::testing::ValuesIn(RegistryBackends()), \
                           [](const auto& info) { return info.param; })
