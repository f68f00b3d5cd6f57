// The main window's side of the shortcuts and the uninstall: what the form
// hands over to CreateIcons, and "/UNINSTALL" answered Yes from start to
// the process's end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/shell_integration.h"
#include "components/component_state.h"
#include "components/component_tree.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_servers.h"
#include "platform/files.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"

namespace {

using ::testing::ElementsAre;

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kProductKey = "Software\\Nivalis\\Tolva Mail Server";
constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolva";

std::string Text(const std::optional<platform::RegistryValue>& value) {
  if (!value || value->Type != platform::RegistryValueType::String) return "<no text>";
  std::string text(value->Data.begin(), value->Data.end());
  return text.substr(0, text.find('\0'));
}

TEST_F(StartupTest, CreateIconsTakesTheFormsChoices) {
  registry.SetString(platform::RegistryRoot::LocalMachine, kShellFolders, "Common Programs",
                     folder / "Common");
  FillComponentTree(*form.ComponentsList);
  SetComponentState(*form.ComponentsList, kComponentWebmail, kStateUnchecked);
  SetComponentState(*form.ComponentsList, kComponentDesktopIcon, kStateUnchecked);
  form.State.InstallPath = "C:\\Tolva\\";
  form.NameEdit->SetText("Ana");
  form.CountryEdit->SetText("Austria");
  CreateIcons(form);

  std::vector<std::string> names;
  for (const platform::ShellLinkRequest& link : shell.Links)
    names.push_back(link.LinkPath.substr(link.LinkPath.rfind('\\') + 1) + "|" + link.Target);
  ASSERT_EQ(names.size(), 8u);  // service mode, no web mail, no desktop link
  EXPECT_EQ(names[6], "Uninstall.lnk|C:\\Tolva\\setup.exe");
  EXPECT_EQ(names[7], "WebAdmin.lnk|C:\\Tolva\\setup.exe");
  EXPECT_EQ(form.InstallPanelText->Text(), "Creating Icons...");
  const auto root = platform::RegistryRoot::LocalMachine;
  EXPECT_EQ(Text(registry.Value(root, kProductKey, "Name")), "Ana");
  EXPECT_EQ(Text(registry.Value(root, kProductKey, "Country")), "Austria");
  EXPECT_EQ(Text(registry.Value(root, kProductKey, "Version")), "9.1.5-7");
  EXPECT_EQ(Text(registry.Value(root, kUninstallKey, "UninstallString")),
            "C:\\Tolva\\setup.exe /UNINSTALL");
}

TEST_F(StartupTest, UninstallAnsweredYesRemovesTheInstallationAndEndsWithZero) {
  platform::FakeClock clock;
  platform::FakeServers machine;
  const std::string install = Distribution();
  PutFile(install + "smtp.exe", "x");
  PutFile(install + "doc\\readme.txt", "x");
  PutFile(install + "config\\settings.cfg", "");
  SetProductValue("InstallDir", install);
  registry.SetString(platform::RegistryRoot::LocalMachine, kUninstallKey, "DisplayName", "x");
  backend.AnswerBoxes({ui::TModalResult::Yes, ui::TModalResult::Ok});
  EXPECT_EQ(Start({"/UNINSTALL"}), kExitSuccess);

  EXPECT_FALSE(platform::PathExists(install + "smtp.exe"));
  EXPECT_FALSE(platform::PathExists(install + "doc"));
  EXPECT_TRUE(platform::PathExists(install + "config\\settings.cfg"));
  EXPECT_TRUE(platform::PathExists(install + "setup.exe"));
  EXPECT_FALSE(registry.HasKey(platform::RegistryRoot::LocalMachine, kProductKey));
  EXPECT_FALSE(registry.HasKey(platform::RegistryRoot::LocalMachine, kUninstallKey));
  ASSERT_EQ(backend.Boxes().size(), 2u);
  EXPECT_EQ(backend.Boxes()[1].Request.Caption, "Information");
  ASSERT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(shell.Opened[0].File, install);
}

}  // namespace
