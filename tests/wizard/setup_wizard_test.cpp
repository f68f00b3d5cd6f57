#include <gtest/gtest.h>

#include "ui/headless/headless_backend.h"
#include "wizard/setup_wizard.h"

namespace {

class SetupWizardTest : public ::testing::Test {
 protected:
  SetupWizardTest() { BindSetupWizardForm(form); }
  bool Next() { return backend.Click(*form.NextButton); }
  bool Back() { return backend.Click(*form.PreviousButton); }
  ui::TControl* VisiblePanel() const {
    ui::TControl* shown = nullptr;
    for (int page = 0; page < TSetupWizardForm::kPageCount; ++page)
      if (form.PagePanel(page)->Visible()) {
        EXPECT_EQ(shown, nullptr) << "two pages in view";
        shown = form.PagePanel(page);
      }
    return shown;
  }

  ui::THeadlessBackend backend;
  TSetupWizardForm form;
};

TEST_F(SetupWizardTest, EachPageWantsItsFieldAndTheLastOneFinishes) {
  backend.WhenModal("TSetupWizardForm", [&](ui::TForm&) {
    // Page 0: the host name, as typed (a blank counts).
    EXPECT_EQ(form.TitleLabel->Text(), "Host Name");
    EXPECT_EQ(VisiblePanel(), form.HostNamePanel);
    EXPECT_TRUE(form.HostNameEdit->Focused());
    EXPECT_FALSE(form.PreviousButton->Enabled());
    EXPECT_FALSE(Next());
    backend.Type(*form.HostNameEdit, " ");
    EXPECT_TRUE(form.NextButton->Enabled());
    backend.ReplaceText(*form.HostNameEdit, "");
    EXPECT_FALSE(form.NextButton->Enabled());
    backend.Type(*form.HostNameEdit, "mail.example.test");
    ASSERT_TRUE(Next());

    // Page 1: the domain.
    EXPECT_EQ(form.TitleLabel->Text(), "Primary Domain");
    EXPECT_EQ(VisiblePanel(), form.DomainPanel);
    EXPECT_TRUE(form.DomainEdit->Focused());
    EXPECT_TRUE(form.PreviousButton->Enabled());
    EXPECT_FALSE(form.NextButton->Enabled());
    backend.Type(*form.DomainEdit, "example.test");
    ASSERT_TRUE(Next());

    // Page 2: the user name; the password may stay empty and typing it
    // checks the user name.
    EXPECT_EQ(form.TitleLabel->Text(), "Administrator");
    EXPECT_EQ(VisiblePanel(), form.AdminPanel);
    EXPECT_TRUE(form.UserEdit->Focused());
    EXPECT_FALSE(form.NextButton->Enabled());
    backend.Type(*form.PasswordEdit, "secret");
    EXPECT_FALSE(form.NextButton->Enabled());
    backend.Type(*form.UserEdit, "a");
    EXPECT_TRUE(form.NextButton->Enabled());
    backend.ReplaceText(*form.PasswordEdit, "");
    EXPECT_TRUE(form.NextButton->Enabled());

    // Back from 2 to 0 and forward again keeps the domain.
    ASSERT_TRUE(Back());
    ASSERT_TRUE(Back());
    EXPECT_EQ(form.PageIndex, 0);
    EXPECT_FALSE(Back());
    EXPECT_TRUE(form.NextButton->Enabled());
    ASSERT_TRUE(Next());
    EXPECT_EQ(form.DomainEdit->Text(), "example.test");
    EXPECT_TRUE(form.NextButton->Enabled());
    ASSERT_TRUE(Next());
    EXPECT_EQ(form.UserEdit->Text(), "a");

    // Page 3: Finish, no way back.
    ASSERT_TRUE(Next());
    EXPECT_EQ(form.TitleLabel->Text(), "Wizard Complete");
    EXPECT_EQ(VisiblePanel(), form.CompletePanel);
    EXPECT_EQ(form.NextButton->Text(), "&Finish");
    EXPECT_FALSE(form.PreviousButton->Visible());
    EXPECT_TRUE(form.NextButton->Enabled());
    EXPECT_TRUE(form.NextButton->Focused());
    // Esc leaves as Cancel even here.
    EXPECT_TRUE(backend.PressKey(*form.NextButton, ui::kKeyEscape));
  });
  EXPECT_EQ(ui::ShowModal(form), ui::TModalResult::Cancel);
  EXPECT_EQ(backend.ModalsLeftOpen(), 0u);

  // Shown again: host, user and password cleared, the domain kept, and the
  // buttons of the first page back as they were.
  backend.WhenModal("TSetupWizardForm", [&](ui::TForm&) {
    EXPECT_EQ(form.PageIndex, 0);
    EXPECT_EQ(VisiblePanel(), form.HostNamePanel);
    EXPECT_EQ(form.HostNameEdit->Text(), "");
    EXPECT_EQ(form.UserEdit->Text(), "");
    EXPECT_EQ(form.PasswordEdit->Text(), "");
    EXPECT_EQ(form.DomainEdit->Text(), "example.test");
    EXPECT_EQ(form.NextButton->Text(), "Next >");
    EXPECT_TRUE(form.PreviousButton->Visible());
    EXPECT_FALSE(form.PreviousButton->Enabled());
    EXPECT_FALSE(form.NextButton->Enabled());
    backend.Type(*form.HostNameEdit, "h");
    ASSERT_TRUE(Next());
    EXPECT_TRUE(form.NextButton->Enabled());  // the kept domain
    ASSERT_TRUE(Next());
    backend.Type(*form.UserEdit, "u");
    ASSERT_TRUE(Next());
    ASSERT_TRUE(Next());  // Finish
  });
  EXPECT_EQ(ui::ShowModal(form), ui::TModalResult::Ok);
  EXPECT_EQ(backend.ModalsLeftOpen(), 0u);
}

}  // namespace
