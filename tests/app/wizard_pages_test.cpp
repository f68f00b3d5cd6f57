#include <gtest/gtest.h>

#include "app/wizard_pages.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"
#include "ui/application.h"

using ui::TModalResult;

namespace {

class WizardPagesTest : public StartupTest {
 protected:
  WizardPagesTest() {
    BindWizardPages(form);
    ui::ShowForm(form);
  }
  void Show(int page) {
    form.State.PageIndex = page;
    ShowPage(form);
  }
};

TEST_F(WizardPagesTest, ThePageTableDecidesCaptionsAndButtons) {
  Show(0);
  EXPECT_FALSE(form.TopPanel->Visible());
  EXPECT_FALSE(form.NivalisSetupPanel->Visible());
  EXPECT_EQ(form.PageCaption->Text(), form.AboutLabel->Text());
  EXPECT_TRUE(form.NextButton->Focused());

  Show(1);
  EXPECT_TRUE(form.TopPanel->Visible());
  EXPECT_TRUE(form.TopDividePanel->Visible());
  EXPECT_TRUE(form.LicensePanel->Visible());
  EXPECT_FALSE(form.WelcomePanel->Visible());
  EXPECT_EQ(form.PageCaption->Text(), "Software License Agreement");
  EXPECT_TRUE(form.BackButton->Visible());
  EXPECT_EQ(form.NextButton->Text(), "&Yes");
  EXPECT_EQ(form.CloseButton->Text(), "&No");
  EXPECT_FALSE(form.NextButton->Enabled());
  EXPECT_TRUE(backend.Click(*form.LicenseAgree));
  EXPECT_TRUE(form.NextButton->Enabled());
  EXPECT_TRUE(backend.Click(*form.LicenseAgree));
  EXPECT_FALSE(form.NextButton->Enabled());

  Show(5);
  EXPECT_EQ(form.PageCaption->Text(), "Start The Installation Process");
  EXPECT_EQ(form.NextButton->Text(), "&Install");
  EXPECT_EQ(form.CloseButton->Text(), "&Cancel");
  EXPECT_TRUE(form.NextButton->Enabled() && form.BackButton->Enabled());

  Show(6);
  EXPECT_EQ(form.PageCaption->Text(), "Installing Nivalis Tolva Mail Server");
  EXPECT_FALSE(form.NextButton->Enabled());

  form.State.IsUpgrade = true;
  Show(7);
  EXPECT_EQ(form.PageCaption->Text(), "Setup Complete");
  EXPECT_FALSE(form.BackButton->Visible());
  EXPECT_EQ(form.NextButton->Text(), "&Finish");
  EXPECT_FALSE(form.RunTutorial->Checked());
  EXPECT_FALSE(form.RunTutorial->Enabled());
  EXPECT_FALSE(form.ShowTutorial->Checked());

  Show(8);
  EXPECT_TRUE(form.FinishedPanel->Visible());
  EXPECT_EQ(form.PageCaption->Text(), "Installation Wizard");
  EXPECT_FALSE(form.NextButton->Enabled());
  EXPECT_TRUE(form.BackButton->Visible());
}

TEST_F(WizardPagesTest, UserDetailsRule) {
  EXPECT_TRUE(UserDetailsComplete("Ada", "a@b.c"));
  EXPECT_FALSE(UserDetailsComplete("   ", "a@b.c"));
  EXPECT_FALSE(UserDetailsComplete("Ada", "a@bc"));
  EXPECT_FALSE(UserDetailsComplete("Ada", "@b.c"));
  EXPECT_FALSE(UserDetailsComplete("Ada", "a.b@"));
  EXPECT_FALSE(UserDetailsComplete("Ada", "a@b."));
  EXPECT_FALSE(UserDetailsComplete("Ada", "a.b@c"));
  EXPECT_TRUE(UserDetailsComplete("Ada", "x.y@z@w.v"));  // the first @ counts

  Show(2);
  EXPECT_FALSE(form.NextButton->Enabled());
  EXPECT_TRUE(form.NameEdit->Focused());
  backend.Type(*form.NameEdit, "Ada");
  backend.Type(*form.EmailEdit, "ada@example.org");
  EXPECT_TRUE(form.NextButton->Enabled());
  backend.ReplaceText(*form.EmailEdit, "ada@example");
  EXPECT_FALSE(form.NextButton->Enabled());
}

TEST_F(WizardPagesTest, CancelAsksAndNoLeavesEverythingAsItWas) {
  Show(1);
  backend.AnswerBoxes({TModalResult::No, TModalResult::No, TModalResult::No});
  backend.Click(*form.CloseButton);
  backend.PressKey(ui::kKeyEscape);
  backend.CloseWindow(form);
  ASSERT_EQ(backend.Boxes().size(), 3u);
  for (const ui::TShownBox& box : backend.Boxes()) {
    EXPECT_EQ(box.Request.Caption, "Exit Setup");
    EXPECT_EQ(box.Request.Text, "Do you wish to cancel this installation?");
  }
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(form.LicensePanel->Visible());

  backend.AnswerBoxes({TModalResult::Yes});
  int exitCode = -1;
  ui::Application().OnException = [&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const TProgramEnded& ended) {
      exitCode = ended.ExitCode();
    }
  };
  backend.PressKey(ui::kKeyEscape);
  EXPECT_EQ(exitCode, kExitSuccess);
}

}  // namespace
