// Answer files, and the wizard walked from one without a window.
#include <gmock/gmock.h>

#include "app/answer_file.h"
#include "app/installation_run.h"
#include "app/shell_integration.h"
#include "app/startup.h"
#include "app/unattended.h"
#include "app/wizard_navigation.h"
#include "app/wizard_operations.h"
#include "components/component_state.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"

namespace {

std::string Refusal(const std::string& text) {
  TAnswerFile answers;
  std::string error;
  return ParseAnswerFile(text, answers, error) ? "accepted" : error;
}

TEST(AnswerFile, EveryKeyIsCheckedAndSavingDropsPasswords) {
  TAnswerFile answers;
  std::string error;
  ASSERT_TRUE(
      ParseAnswerFile("\xEF\xBB\xBF; answers\r\n[setup]\r\n name = \"Ana Admin\" \r\n"
                      "EMAIL=ana@example.test\r\nCountry=Austria\r\nMode=advanced\r\n"
                      "Database=dsn;sa;secret;db.example.test;1;0|bk|sa|other|h|1|0\r\n"
                      "Components=0, 1,4,15\r\nDestination=D:\\Mail Server\r\n"
                      "[Finish]\r\nQuickStart=no\r\n[Configuration]\r\nHostName= mail\r\n"
                      "Domain=example.test\r\nUser=admin\r\nPassword=\r\n",
                      answers, error))
      << error;
  EXPECT_EQ(answers.Name, "Ana Admin");
  EXPECT_EQ(answers.Advanced, true);
  EXPECT_EQ(answers.Components, (std::vector<int>{0, 1, 4, 15}));
  EXPECT_EQ(answers.Destination, "D:\\Mail Server");
  EXPECT_EQ(answers.QuickStart, false);
  EXPECT_EQ(answers.ConfigurationWizard, std::nullopt);
  EXPECT_TRUE(answers.Configure);
  EXPECT_EQ(answers.Password, "");

  const std::string saved = FormatAnswerFile(answers);
  EXPECT_EQ(saved.find("secret"), std::string::npos);
  EXPECT_EQ(saved.find("other"), std::string::npos);
  EXPECT_NE(saved.find("Database=\"dsn;sa;;db.example.test;1;0|bk|sa||h|1|0\"\r\n"),
            std::string::npos);
  EXPECT_EQ(saved.find("[Configuration]"), std::string::npos);

  EXPECT_EQ(Refusal("[Setup]\nColour=blue\n"), "[Setup] Colour: unknown key");
  EXPECT_EQ(Refusal("[Setup]\nMode=Expert\n"), "[Setup] Mode: neither Basic nor Advanced");
  EXPECT_EQ(Refusal("[Setup]\nDatabase=x\n"), "[Setup] Database: only with Mode=Advanced");
  EXPECT_EQ(Refusal("[Setup]\nMode=Advanced\n"), "[Setup] Mode: Advanced needs the key Database");
  EXPECT_EQ(Refusal("[Setup]\nComponents=0,13\n").substr(0, 20), "[Setup] Components: ");
  EXPECT_EQ(Refusal("[Setup]\nComponents=0,0\n").substr(0, 20), "[Setup] Components: ");
  EXPECT_EQ(Refusal("[Setup]\nComponents=\n").substr(0, 20), "[Setup] Components: ");
  EXPECT_EQ(Refusal("[Setup]\nCountry=Atlantis\n").substr(0, 17), "[Setup] Country: ");
  EXPECT_EQ(Refusal("[Setup]\nDestination=Tolva\n"),
            "[Setup] Destination: not an absolute folder path");
  EXPECT_EQ(Refusal("[Setup]\nLanguage=..\\..\\x\n"), "[Setup] Language: not a folder name");
  EXPECT_EQ(Refusal("[Setup]\nName=a\nname=b\n"), "[Setup] name: given twice");
  EXPECT_EQ(Refusal("Name=a\n"), "line 1: Name outside a section");
  EXPECT_EQ(Refusal("[Setup]\n\n[Extras]\n"), "line 3: unknown section [Extras]");
  EXPECT_EQ(Refusal("[Finish]\nQuickStart=maybe\n"), "[Finish] QuickStart: neither 1 nor 0");
  EXPECT_EQ(Refusal("[Configuration]\nHostName=h\nDomain=d\n"), "[Configuration] User: missing");
  EXPECT_EQ(Refusal("[Configuration]\nHostName=\nDomain=d\nUser=u\n"),
            "[Configuration] HostName: empty");
  EXPECT_EQ(Refusal(std::string(kMaxAnswerFileSize + 1, ';')), "the file is larger than 64 KiB");
  EXPECT_EQ(Refusal("[Setup]\nName=" + std::string(256, 'a') + "\n"),
            "[Setup] Name: longer than 255 characters");
}

class UnattendedWalk : public StartupTest {
 protected:
  std::optional<int> Walk(const TAnswerFile& answers) {
    BindWizard(windows);
    PrepareUnattended(windows, &backend, nullptr, options, &answers);
    try {
      FormShow(windows);
      WalkWizard(windows, answers, true);
    } catch (const TProgramEnded& ended) {
      return ended.ExitCode();
    }
    return std::nullopt;
  }
  ~UnattendedWalk() override {
    WizardOperations() = TWizardOperations();
    RunOperations() = TRunOperations();
    UninstallProcedure() = [](TMainForm& shown) { RunUninstall(shown); };
  }
  TUnattendedOptions options;
};

TEST_F(UnattendedWalk, AnswersFillEveryPageUntilTheFinish) {
  options.VerySilent = true;
  options.SilentFirst = true;
  options.SaveInf = folder / "saved.ini";
  system.Args = {"/SILENT", "/VERYSILENT"};
  std::vector<std::string> calls;
  WizardOperations().RunInstallation = [&](TApplicationWindows& shown) {
    calls.push_back("run " + shown.MainForm.PathEdit->Text());
  };
  WizardOperations().NotifyServer = [&](int, uint32_t, uintptr_t, intptr_t) {
    calls.push_back("notify");
  };
  TAnswerFile answers;
  std::string error;
  ASSERT_TRUE(
      ParseAnswerFile("[Setup]\nName=Ana\nEmail=ana@example.test\nCountry=Austria\n"
                      "Components=0,1,5\nDestination=D:\\Tolva\\\n[Finish]\nQuickStart=1\n",
                      answers, error));
  EXPECT_EQ(Walk(answers), kExitSuccess);
  EXPECT_THAT(calls, ::testing::ElementsAre("run D:\\Tolva\\", "notify"));
  EXPECT_EQ(form.NameEdit->Text(), "Ana");
  EXPECT_TRUE(form.LicenseAgree->Checked());
  EXPECT_TRUE(ComponentSelected(*form.ComponentsList, 5));
  EXPECT_FALSE(ComponentSelected(*form.ComponentsList, 4));
  EXPECT_TRUE(form.State.NoInstallMail);
  // Without a person nothing is opened, whatever the answers say.
  EXPECT_FALSE(form.ShowTutorial->Checked());
  EXPECT_TRUE(shell.Opened.empty());
  const std::string saved = GetFile(folder / "saved.ini");
  EXPECT_NE(saved.find("Components=0,1,5\r\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("Language="), std::string::npos);
  EXPECT_NE(saved.find("Destination=\"D:\\Tolva\\\"\r\n"), std::string::npos);
  // Saved again at the finish, with what its page chose.
  EXPECT_NE(saved.find("\r\n[Finish]\r\nConfigurationWizard=0\r\nQuickStart=0\r\n"
                       "AdministrationInterface=0\r\n"),
            std::string::npos)
      << saved;
}

// A language that the distribution has no folder for ends the walk before
// the run; English is there by its name too.
TEST_F(UnattendedWalk, ALanguageThatIsNotThereIsRefused) {
  bool ran = false;
  WizardOperations().RunInstallation = [&](TApplicationWindows&) { ran = true; };
  TAnswerFile answers;
  std::string error;
  ASSERT_TRUE(
      ParseAnswerFile("[Setup]\nLanguage=xx\nName=Ana\nEmail=ana@example.test\n", answers, error));
  EXPECT_EQ(Walk(answers), kExitBadAnswers);
  EXPECT_FALSE(ran);
}

TEST_F(UnattendedWalk, EnglishByItsName) {
  bool ran = false;
  WizardOperations().RunInstallation = [&](TApplicationWindows&) { ran = true; };
  TAnswerFile answers;
  std::string error;
  ASSERT_TRUE(ParseAnswerFile("[Setup]\nLanguage=English\nName=Ana\nEmail=ana@example.test\n",
                              answers, error));
  EXPECT_EQ(Walk(answers), kExitSuccess);
  EXPECT_TRUE(ran);
}

TEST_F(UnattendedWalk, ARunThatThrowsEndsWithTheRunsFailureCode) {
  WizardOperations().RunInstallation = [](TApplicationWindows&) {
    throw std::runtime_error("disk full");
  };
  bool finished = false;
  WizardOperations().NotifyServer = [&](int, uint32_t, uintptr_t, intptr_t) { finished = true; };
  TAnswerFile answers;
  std::string error;
  ASSERT_TRUE(ParseAnswerFile("[Setup]\nName=Ana\nEmail=ana@example.test\n", answers, error));
  EXPECT_EQ(Walk(answers), kExitFailedDuringInstall);
  EXPECT_FALSE(finished);
}

TEST_F(UnattendedWalk, APageThatRefusesItsAnswersEndsBeforeTheRun) {
  bool ran = false;
  WizardOperations().RunInstallation = [&](TApplicationWindows&) { ran = true; };
  TAnswerFile answers;
  std::string error;
  ASSERT_TRUE(ParseAnswerFile("[Setup]\nName=Ana\nEmail=not-an-address\n", answers, error));
  EXPECT_EQ(Walk(answers), kExitBadAnswers);
  EXPECT_FALSE(ran);
}

}  // namespace
