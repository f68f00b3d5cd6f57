#include "wizard/setup_wizard.h"

#include "localization/message_table.h"
#include "ui/events.h"

namespace {

constexpr int kLastPage = 3;

ui::TControl* FieldOfTag(TSetupWizardForm& form, int tag) {
  switch (tag) {
    case TSetupWizardForm::kTagHostName:
      return form.HostNameEdit;
    case TSetupWizardForm::kTagUserName:
      return form.UserEdit;
    case TSetupWizardForm::kTagDomain:
      return form.DomainEdit;
    default:
      return nullptr;
  }
}

// The edit whose text "Next >" needs on each page; none on the last.
ui::TControl* PageField(TSetupWizardForm& form, int page) {
  switch (page) {
    case 0:
      return form.HostNameEdit;
    case 1:
      return form.DomainEdit;
    case 2:
      return form.UserEdit;
    default:
      return nullptr;
  }
}

TMessage PageTitle(int page) {
  switch (page) {
    case 0:
      return TMessage::WHostName;
    case 1:
      return TMessage::WPrimaryDomain;
    case 2:
      return TMessage::WAdministrator;
    default:
      return TMessage::WWizardComplete;
  }
}

void EnableNextFor(TSetupWizardForm& form, ui::TControl* field) {
  form.NextButton->SetEnabled(!field || !field->Text().empty());
}

}  // namespace

void ShowWizardPage(TSetupWizardForm& form) {
  const int page = form.PageIndex;
  if (page < 0 || page > kLastPage) return;
  ui::TControl* shown = form.PagePanel(page);
  for (int index = 0; index < TSetupWizardForm::kPageCount; ++index)
    form.PagePanel(index)->SetVisible(form.PagePanel(index) == shown);
  form.TitleLabel->SetText(Message(PageTitle(page)));
  ui::TControl* field = PageField(form, page);
  EnableNextFor(form, field);
  if (page == kLastPage) {
    // No way back from here: Next becomes Finish.
    if (form.NextCaption.empty()) form.NextCaption = form.NextButton->Text();
    form.NextButton->SetText(Message(TMessage::cFinish));
    form.PreviousButton->SetVisible(false);
    form.NextButton->SetFocus();
    return;
  }
  // A wizard shown again after reaching the last page gets its buttons back.
  if (!form.NextCaption.empty()) {
    form.NextButton->SetText(form.NextCaption);
    form.NextCaption.clear();
  }
  form.PreviousButton->SetVisible(true);
  form.PreviousButton->SetEnabled(page != 0);
  field->SetFocus();
}

void FormShow(TSetupWizardForm& form) {
  form.PageIndex = 0;
  form.HostNameEdit->SetText("");
  form.UserEdit->SetText("");
  form.PasswordEdit->SetText("");
  ShowWizardPage(form);
}

void PreviousButtonClick(TSetupWizardForm& form) {
  if (form.PageIndex == 0) return;
  --form.PageIndex;
  ShowWizardPage(form);
}

void NextButtonClick(TSetupWizardForm& form) {
  if (form.PageIndex < kLastPage + 1) ++form.PageIndex;
  if (form.PageIndex > kLastPage) {
    form.SetModalResult(ui::TModalResult::Ok);
    return;
  }
  ShowWizardPage(form);
}

void FormKeyPress(TSetupWizardForm& form, char16_t& key) {
  if (key != ui::kKeyEscape) return;
  key = 0;
  form.SetModalResult(ui::TModalResult::Cancel);
}

void NameEditChange(TSetupWizardForm& form, ui::TControl& sender) {
  EnableNextFor(form, FieldOfTag(form, sender.Tag()));
}

void BindSetupWizardForm(TSetupWizardForm& form) {
  form.OnShow = [&form](ui::TForm&) { FormShow(form); };
  form.OnKeyPress = [&form](ui::TForm&, char16_t& key) { FormKeyPress(form, key); };
  form.PreviousButton->OnClick = [&form](ui::TControl&) { PreviousButtonClick(form); };
  form.NextButton->OnClick = [&form](ui::TControl&) { NextButtonClick(form); };
  for (ui::TControl* edit : {form.HostNameEdit, form.DomainEdit, form.UserEdit, form.PasswordEdit})
    edit->OnChange = [&form](ui::TControl& sender) { NameEditChange(form, sender); };
}
