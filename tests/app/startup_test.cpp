#include <gtest/gtest.h>

#include "app/component_exclusions.h"
#include "app/shell_integration.h"
#include "app/startup.h"
#include "components/component_state.h"
#include "components/component_tree.h"
#include "config/server_folders.h"
#include "platform/files.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"
#include "support/paths.h"
#include "ui/application.h"

using ui::TModalResult;

namespace {

constexpr const char* kQuestionText =
    "This will install Nivalis Tolva Mail Server 9.1.5-7. Do you wish to continue?";

TEST_F(StartupTest, FreshMachineAsksOnceAndShowsTheWelcomePage) {
  // What an earlier run left in the extraction folder goes.
  PutFile(system.Temp + "tolvainstall\\html\\stale.html", "from an earlier run");
  backend.AnswerBoxes({TModalResult::Yes});
  EXPECT_EQ(Start(), std::nullopt);
  EXPECT_FALSE(platform::PathExists(system.Temp + "tolvainstall\\html\\stale.html"));

  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Nivalis Tolva Mail Server Setup");
  EXPECT_EQ(backend.Boxes()[0].Request.Text, kQuestionText);
  EXPECT_EQ(backend.Boxes()[0].Request.Buttons, ui::TMessageButtons::YesNo);
  // No language folder: English only, no chooser.
  EXPECT_TRUE(backend.ModalsShown().empty());

  const TInstallerState& state = form.State;
  EXPECT_EQ(state.WindowTitle, "Nivalis Tolva Mail Server 9.1.5-7 Setup");
  EXPECT_EQ(form.Caption(), state.WindowTitle);
  EXPECT_EQ(ui::Application().Title(), state.WindowTitle);
  EXPECT_EQ(form.AboutLabel->Text(), "Welcome to Nivalis Tolva Mail Server 9.1.5-7");
  EXPECT_EQ(state.ExtractPath, system.Temp + "tolvainstall\\");
  EXPECT_EQ(state.LicenseTextPath, Distribution() + "license.txt");
  EXPECT_EQ(state.ReadmePath, Distribution() + "readme.txt");
  EXPECT_EQ(state.InfoXmlPath, Distribution() + "info.xml");
  EXPECT_TRUE(state.AdvancedInterface);
  EXPECT_TRUE(state.PreviousVersion.empty());
  EXPECT_FALSE(state.NoInstallMail || state.NoInstallIAS || state.NoInstallAV ||
               state.NoInstallCalendar || state.NoInstallIM);

  // The product key is absent and so is the system's program-files folder.
  EXPECT_EQ(form.PathEdit->Text(), "C:\\Program Files\\Tolva\\");
  EXPECT_TRUE(form.NameEdit->Text().empty());
  EXPECT_TRUE(form.EmailEdit->Text().empty());
  EXPECT_EQ(form.CountryEdit->ItemIndex(), -1);
  EXPECT_TRUE(form.NewSetupMode->Visible());
  EXPECT_TRUE(form.State.RecordedInstallDir.empty());

  // Page 0 is in view, without the header band.
  EXPECT_EQ(state.PageIndex, 0);
  EXPECT_TRUE(form.WelcomePanel->Visible());
  EXPECT_FALSE(form.LicensePanel->Visible());
  EXPECT_FALSE(form.TopPanel->Visible());
  EXPECT_FALSE(form.BackButton->Visible());
  EXPECT_EQ(form.NextButton->Text(), "&Next >");
  EXPECT_TRUE(form.NextButton->Enabled());
  EXPECT_EQ(form.CloseButton->Text(), "&Cancel");

  // Exceptions that event handlers let escape are dropped from now on.
  ASSERT_TRUE(ui::Application().OnException);
  EXPECT_NO_THROW(
      ui::Application().HandleException(std::make_exception_ptr(std::runtime_error("lost"))));
}

TEST_F(StartupTest, DecliningTheQuestionEndsWithSuccessAndSilentSkipsIt) {
  backend.AnswerBoxes({TModalResult::No});
  EXPECT_EQ(Start(), kExitSuccess);
  EXPECT_EQ(backend.Boxes().size(), 1u);
  EXPECT_FALSE(form.WelcomePanel->Visible() && form.State.WindowTitle.empty());

  backend.ClearBoxes();
  EXPECT_EQ(Start({"/silent"}), std::nullopt);
  EXPECT_TRUE(backend.Boxes().empty());
  EXPECT_EQ(form.State.PageIndex, 0);
}

TEST_F(StartupTest, DestinationFollowsTheSystemsProgramFolder) {
  registry.SetString(platform::RegistryRoot::LocalMachine,
                     "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "D:\\Apps");
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_EQ(form.PathEdit->Text(), "D:\\Apps\\Tolva\\");
}

TEST_F(StartupTest, WithoutATemporaryFolderTheDistributionsTempIsUsed) {
  system.Temp.clear();
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_EQ(form.State.ExtractPath, Distribution() + "temp\\");
}

TEST_F(StartupTest, ProductKeyPresetsUserDetailsAndExclusions) {
  SetProductValue("Name", "Ada Admin");
  SetProductValue("Email", "ada@example.org");
  SetProductValue("Company", "Example Ltd");
  SetProductValue("Country", "Austria");
  SetProductFlag("NoInstallAV", true);
  SetProductFlag("NoInstallIM", true);
  SetProductFlag("NoInstallMail", false);
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);

  EXPECT_EQ(form.NameEdit->Text(), "Ada Admin");
  EXPECT_EQ(form.EmailEdit->Text(), "ada@example.org");
  EXPECT_EQ(form.CompanyEdit->Text(), "Example Ltd");
  ASSERT_GE(form.CountryEdit->ItemIndex(), 0);
  EXPECT_EQ(form.CountryEdit->Item(form.CountryEdit->ItemIndex()), "Austria");
  EXPECT_TRUE(form.State.NoInstallAV);
  EXPECT_TRUE(form.State.NoInstallIM);
  EXPECT_FALSE(form.State.NoInstallMail);
  EXPECT_FALSE(form.State.NoInstallIAS);
  // No "InstallDir": a new installation.
  EXPECT_EQ(form.PathEdit->Text(), "C:\\Program Files\\Tolva\\");
}

TEST_F(StartupTest, ACountryTheListDoesNotHaveSelectsNothing) {
  SetProductValue("Country", "Atlantis");
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_EQ(form.CountryEdit->ItemIndex(), -1);
}

TEST_F(StartupTest, ExclusionFlagsGoBackToTheProductKeyInOrder) {
  form.PathRegistry.SetRegistryArea(kProductArea);
  form.PathRegistry.SetRegistrySection(kProductSection);
  form.State.NoInstallCalendar = true;
  form.State.NoInstallIAS = true;
  WriteComponentExclusions(form.State, form.PathRegistry);
  TInstallerState read;
  read.NoInstallMail = true;  // a flag the key says is false is cleared
  ReadComponentExclusions(read, form.PathRegistry);
  EXPECT_TRUE(read.NoInstallCalendar);
  EXPECT_TRUE(read.NoInstallIAS);
  EXPECT_FALSE(read.NoInstallMail);
  EXPECT_FALSE(read.NoInstallAV);

  // A key that cannot be written loses nothing but the flags.
  registry.DenyWrites(platform::RegistryRoot::LocalMachine, "Software\\Nivalis\\Tolva Mail Server");
  form.State.NoInstallIM = true;
  EXPECT_NO_THROW(WriteComponentExclusions(form.State, form.PathRegistry));
  const auto kept = registry.Value(platform::RegistryRoot::LocalMachine,
                                   "Software\\Nivalis\\Tolva Mail Server", "NoInstallIM");
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->Data, (platform::RegistryBytes{0, 0, 0, 0}));
}

TEST_F(StartupTest, UpgradeOfAnInstallationWithItsConfiguration) {
  const std::string install = MakeInstallation("old", "mail.example.org;backup.example.org", 8080,
                                               "D:\\TolvaLogs\\", "basic.xml");
  SetProductValue("InstallDir", install);
  SetProductValue("Version", "8.2.6-9");
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);

  const TInstallerState& state = form.State;
  EXPECT_EQ(state.PreviousVersion, "8.2.6-9");
  EXPECT_EQ(state.RecordedInstallDir, install);
  EXPECT_EQ(ServerFolders().InstallPath, install);
  EXPECT_EQ(form.PathEdit->Text(), install);
  EXPECT_EQ(form.SetupTypeLabel->Text(), "Upgrade Setup.");
  EXPECT_EQ(ComponentState(*form.ComponentsList, kComponentDesktopIcon), kStateUnchecked);
  EXPECT_EQ(ComponentState(*form.ComponentsList, kComponentQuickLaunch), kStateUnchecked);
  EXPECT_EQ(ComponentState(*form.ComponentsList, kComponentAdminInterface), kStateChecked);
  EXPECT_EQ(state.LogsPath, "D:\\TolvaLogs\\");
  EXPECT_FALSE(form.NewSetupMode->Visible());
  EXPECT_FALSE(state.AdvancedInterface);
  // Just below both thresholds.
  EXPECT_TRUE(state.ResetAntivirusFolder);
  EXPECT_TRUE(form.WMUpgradePanel->Visible());
  EXPECT_EQ(form.WMURLLabel->Text(), "http://mail.example.org:8080/webmail/");
}

TEST_F(StartupTest, UpgradeFromTheThresholdVersionsThemselves) {
  const std::string install = MakeInstallation("recent", "", 80, "", "advanced.xml");
  SetProductValue("InstallDir", install);
  SetProductValue("Version", "9.0.0-3");
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_FALSE(form.State.ResetAntivirusFolder);
  EXPECT_FALSE(form.WMUpgradePanel->Visible());
  EXPECT_TRUE(form.State.AdvancedInterface);
  // Empty settings folders take their defaults below the installation.
  EXPECT_EQ(form.State.LogsPath, install + "logs\\");
}

TEST_F(StartupTest, UpgradeWithoutAConfigurationFolderKeepsTheModeChoice) {
  const std::string install = folder / "bare\\";
  ASSERT_TRUE(ForceFolders(install));
  SetProductValue("InstallDir", install);
  SetProductValue("Version", "8.2.7");
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_TRUE(form.NewSetupMode->Visible());
  EXPECT_TRUE(form.State.LogsPath.empty());
  EXPECT_FALSE(form.State.ResetAntivirusFolder);
  EXPECT_TRUE(form.WMUpgradePanel->Visible());
  EXPECT_EQ(form.PathEdit->Text(), install);
}

TEST_F(StartupTest, AnUnknownArgumentEndsWithoutAnyWindow) {
  EXPECT_EQ(Start({"/whatever"}), kExitSuccess);
  EXPECT_TRUE(backend.Boxes().empty());
  EXPECT_TRUE(backend.ModalsShown().empty());
  EXPECT_TRUE(shell.Opened.empty());
  EXPECT_FALSE(form.Visible());
}

TEST_F(StartupTest, WebLoginSwitchesOpenTheSuitesAddresses) {
  MakeInstallation("dist", "", 80, "", "");
  EXPECT_EQ(Start({"/WebMailLogon"}), kExitSuccess);
  ASSERT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(shell.Opened[0].Verb, "open");
  EXPECT_EQ(shell.Opened[0].File, "http://localhost/mail/");
  EXPECT_EQ(shell.Opened[0].ShowCommand, 1);
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(StartupTest, WebLoginCarriesAPortOtherThan80AndTheFirstHost) {
  MakeInstallation("dist", " host.example.org ; other.example.org", 32000, "", "");
  EXPECT_EQ(Start({"/WEBADMINLOGON"}), kExitSuccess);
  EXPECT_EQ(Start({"/webmail2logon"}), kExitSuccess);
  ASSERT_EQ(shell.Opened.size(), 2u);
  EXPECT_EQ(shell.Opened[0].File, "http://host.example.org:32000/admin/");
  EXPECT_EQ(shell.Opened[1].File, "http://host.example.org:32000/webmail/");
}

TEST_F(StartupTest, UninstallAsksFirst) {
  int removals = 0;
  UninstallProcedure() = [&](TMainForm&) { ++removals; };
  backend.AnswerBoxes({TModalResult::No});
  EXPECT_EQ(Start({"/uninstall"}), kExitSuccess);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Nivalis Tolva Mail Server Setup");
  EXPECT_EQ(backend.Boxes()[0].Request.Text,
            "Are you sure to completely remove all files and components of this program?");
  EXPECT_EQ(removals, 0);

  backend.AnswerBoxes({TModalResult::Yes});
  EXPECT_EQ(Start({"/UNINSTALL"}), kExitSuccess);
  EXPECT_EQ(removals, 1);
  UninstallProcedure() = [](TMainForm& form) { RunUninstall(form); };
}

}  // namespace
