#include "app/wizard_pages.h"

#include "support/program_exit.h"

#include "localization/message_table.h"
#include "support/exit_codes.h"
#include "support/setup_log.h"
#include "support/text.h"
#include "ui/backend.h"
#include "ui/events.h"

namespace {

constexpr int kLastPage = 8;

void SetButton(ui::TControl* button, TMessage caption) {
  button->SetText(Message(caption));
}

}  // namespace

bool UserDetailsComplete(std::string_view name, std::string_view email) {
  if (Trim(name).empty()) return false;
  const size_t at = email.find('@');
  if (at == std::string_view::npos || at < 1 || at + 1 == email.size()) return false;
  const size_t dot = email.rfind('.');
  return dot != std::string_view::npos && dot > at && dot + 1 != email.size();
}

void LicenseDisagreeClick(TMainForm& form) {
  form.NextButton->SetEnabled(form.LicenseAgree->Checked() || form.State.PageIndex != 1);
}

void NameEditChange(TMainForm& form) {
  form.NextButton->SetEnabled(UserDetailsComplete(form.NameEdit->Text(), form.EmailEdit->Text()));
}

void ShowPage(TMainForm& form) {
  const int page = form.State.PageIndex;
  if (page < 0 || page > kLastPage) return;
  ui::TControl* shown = form.PagePanel(page);
  for (int index = 0; index < TMainForm::kPageCount; ++index) {
    ui::TControl* panel = form.PagePanel(index);
    panel->SetVisible(panel == shown);
    panel->SetEnabled(panel == shown);
  }
  const bool welcome = page == 0;
  form.TopPanel->SetVisible(!welcome);
  form.TopDividePanel->SetVisible(!welcome);
  form.NivalisSetupPanel->SetVisible(!welcome);

  ui::TControl* back = form.BackButton;
  ui::TControl* next = form.NextButton;
  ui::TControl* close = form.CloseButton;
  switch (page) {
    case 0:
      form.PageCaption->SetText(form.AboutLabel->Text());
      back->SetVisible(false);
      SetButton(back, TMessage::cBack);
      SetButton(next, TMessage::cNext);
      SetButton(close, TMessage::cCancel);
      next->SetEnabled(true);
      LicenseDisagreeClick(form);
      next->SetFocus();
      break;
    case 1:
      form.PageCaption->SetText(Message(TMessage::cSLA));
      back->SetVisible(true);
      SetButton(back, TMessage::cBack);
      SetButton(next, TMessage::cYes);
      SetButton(close, TMessage::cNo);
      LicenseDisagreeClick(form);
      form.LicenseMemo->SetFocus();
      break;
    case 2:
      form.PageCaption->SetText(Message(TMessage::cCredentials));
      SetButton(back, TMessage::cBack);
      SetButton(next, TMessage::cNext);
      SetButton(close, TMessage::cCancel);
      NameEditChange(form);
      if (form.NameEdit->Text().empty()) {
        form.NameEdit->SetFocus();
        form.NameEdit->SelectAll();
      }
      break;
    case 3:
      form.PageCaption->SetText(Message(TMessage::cSetupType));
      SetButton(next, TMessage::cNext);
      next->SetEnabled(true);
      break;
    case 4:
      form.PageCaption->SetText(Message(TMessage::cComponentSetup));
      SetButton(next, TMessage::cNext);
      break;
    case 5:
      form.PageCaption->SetText(Message(TMessage::cStartCopyingFiles));
      back->SetVisible(true).SetEnabled(true);
      SetButton(back, TMessage::cBack);
      next->SetVisible(true).SetEnabled(true);
      SetButton(next, TMessage::cInstallC);
      SetButton(close, TMessage::cCancel);
      break;
    case 6:
      form.PageCaption->SetText(Message(TMessage::cInstallingFiles) + " " +
                                Message(TMessage::cName));
      next->SetEnabled(false);
      break;
    case 7:
      form.PageCaption->SetText(Message(TMessage::cSetupFinished));
      back->SetVisible(false).SetEnabled(false);
      SetButton(back, TMessage::cBack);
      next->SetVisible(true).SetEnabled(true);
      SetButton(next, TMessage::cFinish);
      SetButton(close, TMessage::cCancel);
      next->SetFocus();
      if (form.State.IsUpgrade) {
        form.ShowTutorial->SetChecked(false);
        form.RunTutorial->SetChecked(false).SetEnabled(false);
      }
      break;
    case 8:
      form.PageCaption->SetText(Message(TMessage::cTutorialCaption));
      back->SetVisible(true).SetEnabled(true);
      SetButton(back, TMessage::cBack);
      SetButton(next, TMessage::cFinish);
      next->SetEnabled(false);
      SetButton(close, TMessage::cCancel);
      break;
  }
}

void CloseButtonClick(TMainForm&) {
  const ui::TModalResult answer =
      ui::ShowMessageBox(Message(TMessage::cDoYouExit), Message(TMessage::cDoYouExitTitle),
                         ui::TMessageButtons::YesNo, ui::TMessageIcon::Question);
  if (answer != ui::TModalResult::Yes) return;
  WriteSetupLog("Setup cancelled\r\n");
  EndProgram(kExitSuccess);
}

void BindWizardPages(TMainForm& form) {
  form.LicenseAgree->OnClick = [&form](ui::TControl&) { LicenseDisagreeClick(form); };
  form.NameEdit->OnChange = [&form](ui::TControl&) { NameEditChange(form); };
  form.EmailEdit->OnChange = [&form](ui::TControl&) { NameEditChange(form); };
  form.CloseButton->OnClick = [&form](ui::TControl&) { CloseButtonClick(form); };
  form.OnKeyPress = [&form](ui::TForm&, char16_t& key) {
    if (key != ui::kKeyEscape) return;
    key = 0;
    CloseButtonClick(form);
  };
  form.OnCloseQuery = [&form](ui::TForm&, bool& canClose) {
    canClose = false;
    CloseButtonClick(form);
  };
}
