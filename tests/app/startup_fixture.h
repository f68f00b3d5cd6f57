// A distribution folder and a fresh installer for each start-up test: the
// five windows on the headless backend, a fake system whose program lies in
// a scratch folder, a fake registry and shell, and a program exit that
// throws TProgramEnded instead of ending the test.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/windows.h"
#include "common/temp_folder.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "support/program_exit.h"
#include "ui/headless/headless_backend.h"

class StartupTest : public ::testing::Test {
 protected:
  StartupTest();
  ~StartupTest() override;

  // The distribution folder, where setup.exe lies; ends in `\`.
  std::string Distribution() const { return folder / "dist\\"; }
  // Runs the start-up sequence; the exit code when it ended the program.
  std::optional<int> Start(const std::vector<std::string>& arguments = {});
  // Writes a product key value below HKEY_LOCAL_MACHINE.
  void SetProductValue(const std::string& name, const std::string& text);
  void SetProductFlag(const std::string& name, bool value);
  // An installation folder with "config\settings.cfg" as given.
  std::string MakeInstallation(const std::string& name, const std::string& hostName,
                               uint16_t webPort, const std::string& logPath,
                               const std::string& interfaceLayout);

  TempFolder folder;
  platform::FakeSystem system;
  platform::FakeRegistry registry;
  platform::FakeShell shell;
  ui::THeadlessBackend backend;
  TApplicationWindows windows;
  TMainForm& form;

 private:
  TProgramExitHook previousHook_;
};
