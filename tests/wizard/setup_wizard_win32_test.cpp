// The configuration wizard in real windows: typing into the edits and
// clicking the buttons through window messages, the pages, the title and
// the buttons read back from the windows.
#include <gtest/gtest.h>

#include <string>

#include "ui_win32/win32_fixture.h"
#include "wizard/setup_wizard.h"

namespace {

class SetupWizardWindow : public test::Win32Test {
 protected:
  SetupWizardWindow() {
    BindSetupWizardForm(form);
    backend.CreateForm(form);
  }
  void Type(ui::TControl* edit, const char* text) {
    for (const char* c = text; *c; ++c)
      SendMessageW(Window(*edit), WM_CHAR, static_cast<WPARAM>(*c), 1);
  }
  void Click(ui::TControl* button) { SendMessageW(Window(*button), BM_CLICK, 0, 0); }
  bool Shown(ui::TControl* control) { return IsWindowVisible(Window(*control)) != FALSE; }
  bool Enabled(ui::TControl* control) { return IsWindowEnabled(Window(*control)) != FALSE; }

  TSetupWizardForm form;
};

TEST_F(SetupWizardWindow, WalkedThroughWithKeysAndClicks) {
  form.DomainEdit->SetText("kept.example");
  form.HostNameEdit->SetText("old host");
  form.OnShow = [this](ui::TForm&) {
    FormShow(form);
    EXPECT_EQ(test::TextOf(Window(*form.HostNameEdit)), u"");
    EXPECT_EQ(test::TextOf(Window(*form.TitleLabel)), u"Host Name");
    EXPECT_TRUE(Shown(form.HostNameEdit));
    EXPECT_FALSE(Shown(form.DomainEdit));
    EXPECT_FALSE(Enabled(form.NextButton));
    EXPECT_FALSE(Enabled(form.PreviousButton));
    Type(form.HostNameEdit, "mail");
    EXPECT_EQ(form.HostNameEdit->Text(), "mail");
    EXPECT_TRUE(Enabled(form.NextButton));
    Click(form.NextButton);

    EXPECT_EQ(test::TextOf(Window(*form.TitleLabel)), u"Primary Domain");
    EXPECT_TRUE(Shown(form.DomainEdit));
    EXPECT_FALSE(Shown(form.HostNameEdit));
    EXPECT_EQ(test::TextOf(Window(*form.DomainEdit)), u"kept.example");
    EXPECT_TRUE(Enabled(form.NextButton));
    EXPECT_TRUE(Enabled(form.PreviousButton));
    Click(form.NextButton);

    EXPECT_FALSE(Enabled(form.NextButton));
    Type(form.PasswordEdit, "pw");
    EXPECT_FALSE(Enabled(form.NextButton));
    Type(form.UserEdit, "admin");
    EXPECT_TRUE(Enabled(form.NextButton));
    Click(form.NextButton);

    EXPECT_EQ(test::TextOf(Window(*form.TitleLabel)), u"Wizard Complete");
    EXPECT_TRUE(Shown(form.CompleteLabel));
    EXPECT_EQ(test::TextOf(Window(*form.NextButton)), u"&Finish");
    EXPECT_FALSE(Shown(form.PreviousButton));
    EXPECT_EQ(GetFocus(), Window(*form.NextButton));
    PostMessageW(Window(*form.NextButton), BM_CLICK, 0, 0);
  };
  EXPECT_EQ(backend.ShowModal(form), ui::TModalResult::Ok);
  EXPECT_EQ(form.PasswordEdit->Text(), "pw");
  EXPECT_TRUE(exceptions.empty());
}

}  // namespace
