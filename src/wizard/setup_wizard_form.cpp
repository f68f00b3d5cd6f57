#include "wizard/setup_wizard_form.h"

using ui::ControlKind;
using ui::TAlign;

namespace {

constexpr int kTitleHeight = 40;
constexpr int kButtonRowHeight = 40;
constexpr int kPageHeight = TSetupWizardForm::kClientHeight - kTitleHeight - kButtonRowHeight;

}  // namespace

TSetupWizardForm::TSetupWizardForm() : TForm("TSetupWizardForm", "SetupWizardForm") {
  SetCaption("Wizard");
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(ui::TBorderStyle::Dialog);
  SetBorderIcons({.SystemMenu = true, .Minimize = false, .Maximize = false});
  SetPosition(ui::TFormPosition::ScreenCenter);
  // Esc anywhere in the window closes it as Cancel.
  SetKeyPreview(true);

  TitlePanel =
      &AddControl(ControlKind::Panel, "TitlePanel", nullptr, {0, 0, kClientWidth, kTitleHeight})
           .SetAlign(TAlign::Top)
           .SetColor(ui::kColorWhite);
  TitleLabel = &AddControl(ControlKind::Label, "TitleLabel", TitlePanel, {12, 12, 376, 16})
                    .SetText("Host Name")
                    .SetFont(ui::TFont().Bolded());

  ButtonPanel = &AddControl(ControlKind::Panel, "ButtonPanel", nullptr,
                            {0, kClientHeight - kButtonRowHeight, kClientWidth, kButtonRowHeight})
                     .SetAlign(TAlign::Bottom);
  PreviousButton = &AddControl(ControlKind::Button, "PreviousButton", ButtonPanel, {150, 8, 75, 23})
                        .SetText("< Back");
  NextButton = &AddControl(ControlKind::Button, "NextButton", ButtonPanel, {230, 8, 75, 23})
                    .SetText("Next >")
                    .SetDefault(true);
  // Esc closes the wizard as Cancel.
  CancelButton = &AddControl(ControlKind::Button, "CancelButton", ButtonPanel, {317, 8, 75, 23})
                      .SetText("Cancel")
                      .SetCancel(true)
                      .SetModalResult(ui::TModalResult::Cancel);

  auto page = [this](const char* name, bool visible) {
    return &AddControl(ControlKind::Panel, name, nullptr,
                       {0, kTitleHeight, kClientWidth, kPageHeight})
                .SetAlign(TAlign::Client)
                .SetVisible(visible);
  };
  auto label = [this](const char* name, ui::TControl* parent, const ui::TRect& bounds,
                      const char* text) {
    return &AddControl(ControlKind::Label, name, parent, bounds).SetText(text);
  };
  auto edit = [this](const char* name, ui::TControl* parent, int top, int tag) {
    return &AddControl(ControlKind::Edit, name, parent, {100, top, 288, 21}).SetTag(tag);
  };

  HostNamePanel = page("HostNamePanel", true);
  HostNameInfoLabel = label("HostNameInfoLabel", HostNamePanel, {12, 12, 376, 32},
                            "Enter the hostname of the mail server computer. It must not be "
                            "blank. ");
  HostNameInfoLabel->SetWordWrap(true);
  HostNameLabel = label("HostNameLabel", HostNamePanel, {12, 60, 84, 13}, "Hostname:");
  HostNameEdit = edit("HostNameEdit", HostNamePanel, 56, kTagHostName);
  HostNameExample =
      label("HostNameExample", HostNamePanel, {100, 82, 288, 13}, "For example: mail.example.com");
  HostNameLabel->SetLinked(HostNameEdit);

  DomainPanel = page("DomainPanel", false);
  DomainInfoLabel = label("DomainInfoLabel", DomainPanel, {12, 12, 376, 32},
                          "Enter the name of the primary domain.");
  DomainInfoLabel->SetWordWrap(true);
  DomainLabel = label("DomainLabel", DomainPanel, {12, 60, 84, 13}, "Domain:");
  DomainEdit = edit("DomainEdit", DomainPanel, 56, kTagDomain);
  DomainExample =
      label("DomainExample", DomainPanel, {100, 82, 288, 13}, "For example: example.com");
  DomainLabel->SetLinked(DomainEdit);

  AdminPanel = page("AdminPanel", false);
  AdminInfoLabel = label("AdminInfoLabel", AdminPanel, {12, 12, 376, 32},
                         "Enter the username and password of the primary domain "
                         "administrator. ");
  AdminInfoLabel->SetWordWrap(true);
  UserLabel = label("UserLabel", AdminPanel, {12, 60, 84, 13}, "Username:");
  UserEdit = edit("UserEdit", AdminPanel, 56, kTagUserName);
  UserExample = label("UserExample", AdminPanel, {100, 80, 288, 13}, "For example: administrator");
  UserLabel->SetLinked(UserEdit);
  PasswordLabel = label("PasswordLabel", AdminPanel, {12, 108, 84, 13}, "Password:");
  // An empty password is accepted, so the password edit checks the user name.
  PasswordEdit = edit("PasswordEdit", AdminPanel, 104, kTagUserName);
  PasswordEdit->SetPasswordChar(u'*');
  PasswordLabel->SetLinked(PasswordEdit);

  CompletePanel = page("CompletePanel", false);
  CompleteLabel = label("CompleteLabel", CompletePanel, {12, 12, 376, 80},
                        "You have successfully entered all of the information to setup your "
                        "account.\r\n\r\nTo save these settings, click Finish.");
  CompleteLabel->SetWordWrap(true);
}

ui::TControl* TSetupWizardForm::PagePanel(int page) const {
  switch (page) {
    case 0:
      return HostNamePanel;
    case 1:
      return DomainPanel;
    case 2:
      return AdminPanel;
    case 3:
      return CompletePanel;
    default:
      return nullptr;
  }
}
