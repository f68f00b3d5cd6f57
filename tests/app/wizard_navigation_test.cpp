#include <gtest/gtest.h>

#include <vector>

#include "app/components_page.h"
#include "app/folder_chooser.h"
#include "app/wizard_navigation.h"
#include "app/wizard_operations.h"
#include "app/wizard_pages.h"
#include "components/component_state.h"
#include "components/component_tree.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/setup_log.h"
#include "support/text.h"
#include "ui/application.h"

using ui::TModalResult;

namespace {

class WizardTest : public StartupTest {
 protected:
  WizardTest() { WizardOperations() = TWizardOperations(); }
  ~WizardTest() override { WizardOperations() = TWizardOperations(); }

  // Starts the installer and binds the wizard as setup.exe does.
  void Begin() {
    ASSERT_EQ(Start({"/SILENT"}), std::nullopt);
    BindWizard(windows);
    ui::ShowForm(form);
    // From here on an ended program reaches the test, not the empty hook.
    ui::Application().OnException = [this](std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const TProgramEnded& ended) {
        exitCode = ended.ExitCode();
      }
    };
  }
  int Page() const { return form.State.PageIndex; }
  void Next() { ASSERT_TRUE(backend.Click(*form.NextButton)) << "page " << Page(); }
  void Back() { ASSERT_TRUE(backend.Click(*form.BackButton)) << "page " << Page(); }
  // From page 0 to page 3 with the licence accepted and details typed.
  void WalkToSetupType() {
    Next();
    backend.Click(*form.LicenseAgree);
    Next();
    backend.Type(*form.NameEdit, "Ada");
    backend.Type(*form.EmailEdit, "ada@example.org");
    Next();
    ASSERT_EQ(Page(), 3);
  }
  int State(int id) const { return ComponentState(*form.ComponentsList, id); }

  std::optional<int> exitCode;
};

TEST_F(WizardTest, LicencePageWantsTheAgreementAndKeepsIt) {
  Begin();
  Next();
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(form.NextButton->Text(), "&Yes");
  EXPECT_EQ(form.CloseButton->Text(), "&No");
  EXPECT_FALSE(backend.Click(*form.NextButton));  // disabled
  backend.Click(*form.LicenseAgree);
  Back();
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(form.CloseButton->Text(), "&Cancel");
  Next();
  EXPECT_TRUE(form.LicenseAgree->Checked());
  EXPECT_TRUE(form.NextButton->Enabled());
  Next();
  EXPECT_EQ(Page(), 2);
  EXPECT_FALSE(form.NextButton->Enabled());
  EXPECT_EQ(form.PageCaption->Text(), "User/Company Details");
}

TEST_F(WizardTest, AdvancedModeAsksForTheDatabase) {
  Begin();
  WalkToSetupType();
  backend.Click(*form.SetupModeAdvanced);
  TODBCForm& dialog = windows.ODBCForm;
  // Cancelled: still on the mode page.
  backend.WhenModal("TODBCForm", [&](ui::TForm&) { backend.Click(*dialog.CancelButton); });
  Next();
  EXPECT_EQ(Page(), 3);
  EXPECT_FALSE(dialog.BackupConnBox->Visible());
  EXPECT_FALSE(dialog.CreateTablesBut->Visible());
  EXPECT_TRUE(form.State.DatabaseConnection.empty());

  // OK without a data source keeps the dialog open; Esc closes it.
  bool stayedOpen = false;
  backend.WhenModal("TODBCForm", [&](ui::TForm&) {
    backend.Click(*dialog.OKButton);
    stayedOpen = dialog.Visible();
    backend.PressKey(ui::kKeyEscape);
  });
  Next();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(Page(), 3);

  // Confirmed, with a connection test that passes.
  int tests = 0;
  WizardOperations().TestDatabaseConnection = [&](bool silent) {
    EXPECT_TRUE(silent);
    ++tests;
    return true;
  };
  backend.WhenModal("TODBCForm", [&](ui::TForm&) {
    backend.Type(*dialog.Primary.DSN, "tolva");
    backend.Type(*dialog.Primary.User, "sa");
    backend.Click(*dialog.OKButton);
  });
  Next();
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(tests, 1);
  EXPECT_EQ(form.State.DatabaseConnection, "tolva;sa;;;0;1");
  EXPECT_EQ(backend.ModalsShown().size(), 3u);

  // Back and forward again shows the dialog with the connection kept.
  Back();
  std::string shown;
  backend.WhenModal("TODBCForm", [&](ui::TForm&) {
    shown = dialog.Primary.DSN->Text();
    backend.Click(*dialog.CancelButton);
  });
  Next();
  EXPECT_EQ(shown, "tolva");
  EXPECT_EQ(Page(), 3);
}

TEST_F(WizardTest, BackFromComponentsRunsTheCountryStepAgain) {
  PutFile(Distribution() + "lang\\at\\setup.lng", "<?lang caption=\"Deutsch\"?>\r\n");
  PutFile(Distribution() + "lang\\at\\info.xml",
          "<INFO><COUNTRY>Austria</COUNTRY><FOOTERVALUE>Gesendet</FOOTERVALUE></INFO>");
  backend.WhenModal("TLangSelectForm",
                    [&](ui::TForm&) { backend.Click(*windows.LangSelectForm.OKButton); });
  Begin();
  WalkToSetupType();
  EXPECT_TRUE(form.State.FooterText.empty());  // no country chosen
  Next();
  EXPECT_EQ(Page(), 4);
  // Choose the country now; the way back to page 3 applies it.
  Back();
  Back();
  const std::vector<std::string> items = form.CountryEdit->Items();
  const auto austria = std::find(items.begin(), items.end(), "Austria");
  ASSERT_NE(austria, items.end());
  backend.PickItem(*form.CountryEdit, static_cast<int>(austria - items.begin()));
  Next();
  Next();
  Back();
  EXPECT_EQ(Page(), 3);
  EXPECT_EQ(form.State.FooterText, "Gesendet");
  EXPECT_EQ(form.State.InfoXmlPath, Distribution() + "lang\\at\\info.xml");
}

TEST_F(WizardTest, ComponentsPageAndTheExclusionFlags) {
  SetProductFlag("NoInstallAV", true);
  Begin();
  WalkToSetupType();
  Next();
  ASSERT_EQ(Page(), 4);
  ui::TControl& tree = *form.ComponentsList;
  EXPECT_EQ(State(kComponentAntiVirus), kStateUnchecked);
  EXPECT_EQ(State(kGroupModules), kStatePartlyChecked);
  EXPECT_EQ(State(kGroupAddOns), kStatePartlyChecked);
  EXPECT_EQ(State(kGroupAdministration), kStateChecked);
  EXPECT_TRUE(tree.NodeAt(0)->Expanded() || tree.NodeAt(1)->Expanded());
  EXPECT_EQ(tree.SelectedNode(), tree.NodeAt(0));
  Next();
  EXPECT_TRUE(form.State.NoInstallAV);
  EXPECT_FALSE(form.State.NoInstallMail);

  Back();
  ui::TTreeNode* antivirus = ComponentNode(tree, kComponentAntiVirus);
  backend.ClickNode(tree, antivirus, 10);  // on the check picture's margin
  EXPECT_EQ(State(kComponentAntiVirus), kStateUnchecked);
  backend.ClickNode(tree, antivirus, 30);
  EXPECT_EQ(State(kComponentAntiVirus), kStateChecked);
  EXPECT_EQ(State(kGroupModules), kStateChecked);
  // The space key toggles the webmail node.
  backend.ClickNode(tree, ComponentNode(tree, kComponentWebmail), 5);
  backend.PressKey(tree, ui::kKeySpace);
  Next();
  EXPECT_FALSE(form.State.NoInstallAV);
  EXPECT_TRUE(form.State.NoInstallMail);
  EXPECT_EQ(form.PageCaption->Text(), "Start The Installation Process");
}

TEST_F(WizardTest, InstallWithoutARunStaysOnTheDestinationPage) {
  Begin();
  WalkToSetupType();
  Next();
  Next();
  ASSERT_EQ(Page(), 5);
  EXPECT_EQ(form.NextButton->Text(), "&Install");
  backend.Click(*form.NextButton);
  EXPECT_EQ(Page(), 5);
  EXPECT_TRUE(form.InstallPanel->Visible());
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text,
            "The installation run is not built into this build of Setup.");
  EXPECT_EQ(exitCode, std::nullopt);
}

TEST_F(WizardTest, RunAndFinishCallTheirOperationsInOrder) {
  Begin();
  WalkToSetupType();
  Next();
  Next();
  std::vector<std::string> calls;
  WizardOperations().RunInstallation = [&](TApplicationWindows&) {
    calls.push_back("run");
    EXPECT_EQ(Page(), 6);
    EXPECT_FALSE(form.NextButton->Enabled());
    EXPECT_FALSE(form.BackButton->Enabled());
    EXPECT_TRUE(backend.WaitCursorShown());
    form.State.InstallPath = folder / "installed\\";
  };
  WizardOperations().RunConfigurationWizard = [&](TApplicationWindows&) {
    calls.push_back("wizard");
  };
  WizardOperations().CreateDatabaseStorage = [&](const std::string&) { calls.push_back("db"); };
  WizardOperations().NotifyServer = [&](int server, uint32_t message, uintptr_t w, intptr_t l) {
    calls.push_back("notify " + std::to_string(server) + " " + std::to_string(message) + " " +
                    std::to_string(w) + " " + std::to_string(l));
  };
  Next();
  ASSERT_EQ(Page(), 7);
  EXPECT_FALSE(backend.WaitCursorShown());
  EXPECT_FALSE(form.BackButton->Visible());
  EXPECT_EQ(form.NextButton->Text(), "&Finish");
  EXPECT_TRUE(form.NextButton->Enabled());

  PutFile(folder / "installed\\doc\\quickstart.pdf", "%PDF");
  backend.Click(*form.RunConfig);
  Next();
  EXPECT_EQ(exitCode, kExitSuccess);
  EXPECT_EQ(calls, (std::vector<std::string>{"run", "wizard", "notify 2 1280 3 0"}));
  ASSERT_EQ(shell.Opened.size(), 2u);
  EXPECT_EQ(shell.Opened[0].File, folder / "installed\\doc\\quickstart.pdf");
  EXPECT_EQ(shell.Opened[1].File, folder / "installed\\config.exe");
}

// A run that an exception ends must not reach the finish page as if it
// had installed: a box, the log's abort line, the run's failure code, and
// what the run registered to put back is put back.
TEST_F(WizardTest, ARunEndedByAnExceptionFailsWithoutTheFinishPage) {
  Begin();
  WalkToSetupType();
  Next();
  Next();
  OpenLog(folder / "setup.log", 0);
  bool putBack = false;
  WizardOperations().RunInstallation = [&](TApplicationWindows&) {
    TExitCleanup cleanup([&] { putBack = true; });
    throw std::runtime_error("a failing step");
  };
  bool finished = false;
  WizardOperations().NotifyServer = [&](int, uint32_t, uintptr_t, intptr_t) { finished = true; };
  backend.Click(*form.NextButton);
  EXPECT_EQ(exitCode, kExitFailedDuringInstall);
  EXPECT_TRUE(putBack);
  EXPECT_FALSE(finished);
  EXPECT_NE(Page(), 7);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text, "a failing step");
  const std::string log = GetFile(folder / "setup.log");
  EXPECT_EQ(log, "Error: Setup aborted - a failing step\r\n\r\n");
  SetupLog().Active = false;
}

TEST_F(WizardTest, EscAndTheCloseBoxAskOnEveryPage) {
  Begin();
  WizardOperations().RunInstallation = [&](TApplicationWindows&) {};
  for (int page = 0; page <= 7; ++page) {
    SCOPED_TRACE(page);
    ASSERT_EQ(Page(), page);
    backend.ClearBoxes();
    backend.AnswerBoxes({TModalResult::No, TModalResult::No});
    backend.PressKey(ui::kKeyEscape);
    backend.CloseWindow(form);
    ASSERT_EQ(backend.Boxes().size(), 2u);
    EXPECT_EQ(backend.Boxes()[1].Request.Caption, "Exit Setup");
    EXPECT_EQ(Page(), page);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(exitCode, std::nullopt);
    // Yes ends the program with success, by either way.
    for (bool byKey : {true, false}) {
      backend.AnswerBoxes({TModalResult::Yes});
      if (byKey)
        backend.PressKey(ui::kKeyEscape);
      else
        backend.CloseWindow(form);
      EXPECT_EQ(exitCode, kExitSuccess);
      exitCode.reset();
    }
    if (page == 1) backend.Click(*form.LicenseAgree);
    if (page == 2) {
      backend.Type(*form.NameEdit, "Ada");
      backend.Type(*form.EmailEdit, "ada@example.org");
    }
    if (page == 5) {
      Next();  // the run goes straight on to page 7
      ++page;
      continue;
    }
    if (page < 7) Next();
  }
  EXPECT_EQ(backend.PendingAnswers(), 0u);
}

TEST_F(WizardTest, UpgradeSkipsTheModeChoiceAndTheTutorial) {
  const std::string install = MakeInstallation("old", "", 80, "", "basic.xml");
  SetProductValue("InstallDir", install);
  SetProductValue("Version", "9.1.0-1");
  Begin();
  WalkToSetupType();
  EXPECT_FALSE(form.NewSetupMode->Reachable());
  Next();
  EXPECT_EQ(Page(), 4);
  EXPECT_TRUE(backend.ModalsShown().empty());
  Next();
  form.State.IsUpgrade = true;  // as the run decides it
  WizardOperations().RunInstallation = [&](TApplicationWindows&) {};
  Next();
  ASSERT_EQ(Page(), 7);
  EXPECT_FALSE(form.RunTutorial->Checked());
  EXPECT_FALSE(form.RunTutorial->Enabled());
  EXPECT_FALSE(form.ShowTutorial->Checked());
}

TEST_F(WizardTest, HelpAndTheWebmailLinkOpenThroughTheShell) {
  const std::string install = MakeInstallation("old", "mail.example.org", 80, "", "");
  SetProductValue("InstallDir", install);
  SetProductValue("Version", "8.9.0");
  Begin();
  backend.Click(*form.HelpButton);
  ASSERT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(shell.Opened[0].File, Distribution() + "installguide.pdf");
  EXPECT_EQ(shell.Opened[0].Verb, "open");
  form.State.PageIndex = 7;
  ShowPage(form);
  ASSERT_TRUE(form.WMURLLabel->Reachable());
  backend.Click(*form.WMURLLabel);
  ASSERT_EQ(shell.Opened.size(), 2u);
  EXPECT_EQ(shell.Opened[1].File, "http://mail.example.org/webmail/");
}

TEST_F(WizardTest, TheDemoLanguagesAndTheirCountries) {
  // The demo distribution's language folder, as an administrator gets it.
  for (const char* language : {"de\\", "de-at\\"})
    for (const char* file : {"setup.lng", "info.xml", "license.txt", "readme.txt"})
      PutFile(Distribution() + "lang\\" + language + file,
              GetFile(std::string(SETUP_DEMO_DIR) + "lang\\" + language + file));
  std::vector<std::string> offered;
  backend.WhenModal("TLangSelectForm", [&](ui::TForm&) {
    offered = windows.LangSelectForm.LanguageCombo->Items();
    backend.PickItem(*windows.LangSelectForm.LanguageCombo, 0);
    backend.Click(*windows.LangSelectForm.OKButton);
  });
  Begin();
  EXPECT_EQ(offered, (std::vector<std::string>{"Deutsch", "Deutsch (\xD6sterreich)", "English"}));
  const std::vector<std::string>& countries = windows.LangSelectForm.CountryList;
  ASSERT_EQ(countries.size(), 2u);
  EXPECT_EQ(form.State.LicenseTextPath, Distribution() + "lang\\de\\license.txt");
  EXPECT_NE(form.NextButton->Text(), "&Next >");

  // The German country box offers the name the Austrian folder declares.
  Next();
  backend.Click(*form.LicenseAgree);
  Next();
  backend.Type(*form.NameEdit, "Ada");
  backend.Type(*form.EmailEdit, "ada@example.org");
  const std::vector<std::string> items = form.CountryEdit->Items();
  const auto austria = std::find(items.begin(), items.end(), "\xD6sterreich");
  ASSERT_NE(austria, items.end());
  backend.PickItem(*form.CountryEdit, static_cast<int>(austria - items.begin()));
  Next();
  EXPECT_EQ(Page(), 3);
  EXPECT_EQ(form.State.InfoXmlPath, Distribution() + "lang\\de-at\\info.xml");
  EXPECT_EQ(form.State.FooterText, "Gesendet mit der Demoversion des Nivalis Tolva Mail Server.");
}

TEST_F(WizardTest, FolderChooser) {
  Begin();
  TBrowseFolder& chooser = windows.BrowseFolder;
  const std::string base = folder / "tree\\";
  ASSERT_TRUE(ForceFolders(base + "Beta\\"));
  ASSERT_TRUE(ForceFolders(base + "alpha\\"));
  form.PathEdit->SetText(base + "Tolva\\");  // does not exist yet
  form.State.PageIndex = 5;
  ShowPage(form);
  ASSERT_TRUE(form.BrowseButton->Reachable());

  // A folder chosen in the list lands in the path field; OK returns it.
  backend.WhenModal("TBrowseFolder", [&](ui::TForm&) {
    EXPECT_TRUE(chooser.PathEdit->Focused());
    EXPECT_EQ(chooser.PathEdit->SelLength(), chooser.PathEdit->WideText().size());
    EXPECT_EQ(chooser.CurrentFolder, base);
    const std::vector<std::string> items = chooser.DirectoryListBox->Items();
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(Trim(items[items.size() - 2]), "alpha");
    EXPECT_EQ(Trim(items.back()), "Beta");
    backend.PickItem(*chooser.DirectoryListBox, static_cast<int>(items.size()) - 1);
    EXPECT_EQ(chooser.PathEdit->Text(), base + "Beta");
    backend.Click(*chooser.OKButton);
  });
  backend.Click(*form.BrowseButton);
  EXPECT_EQ(form.PathEdit->Text(), base + "Beta");
  EXPECT_TRUE(backend.Boxes().empty());

  // A folder that does not exist: No keeps the chooser open, Yes returns
  // the path as typed.
  backend.AnswerBoxes({TModalResult::No, TModalResult::Yes});
  bool openAfterNo = false;
  backend.WhenModal("TBrowseFolder", [&](ui::TForm&) {
    backend.ReplaceText(*chooser.PathEdit, base + "New");
    backend.Click(*chooser.OKButton);
    openAfterNo = chooser.Visible();
    backend.Click(*chooser.OKButton);
  });
  backend.Click(*form.BrowseButton);
  EXPECT_TRUE(openAfterNo);
  ASSERT_EQ(backend.Boxes().size(), 2u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Setup");
  EXPECT_EQ(backend.Boxes()[0].Request.Text, "The Folder:\r\n\r\n'" + base +
                                                 "New'\r\n\r\ndoes not exist. Do you want the "
                                                 "folder to be created?");
  EXPECT_EQ(form.PathEdit->Text(), base + "New");
  EXPECT_FALSE(FolderExists(base + "New\\"));  // the run creates it

  // Esc closes without a result; the network button asks the system.
  backend.WhenModal("TBrowseFolder", [&](ui::TForm&) {
    backend.Click(*chooser.Netbutton);
    backend.ReplaceText(*chooser.PathEdit, "elsewhere");
    backend.PressKey(ui::kKeyEscape);
  });
  backend.Click(*form.BrowseButton);
  EXPECT_EQ(form.PathEdit->Text(), base + "New");
  EXPECT_EQ(shell.NetworkDialogs, 1);

  // An empty path is no destination: OK does nothing.
  backend.WhenModal("TBrowseFolder", [&](ui::TForm&) {
    backend.ReplaceText(*chooser.PathEdit, "");
    backend.Click(*chooser.OKButton);
    EXPECT_TRUE(chooser.Visible());
    backend.Click(*chooser.CancelButton);
  });
  backend.Click(*form.BrowseButton);
  EXPECT_EQ(form.PathEdit->Text(), base + "New");
}

}  // namespace
