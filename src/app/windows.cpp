#include "app/windows.h"

#include "localization/component_captions.h"
#include "ui/application.h"
#include "ui/backend.h"

namespace {

constexpr const char* kApplicationTitle = "Setup";

}  // namespace

TApplicationWindows CreateApplicationWindows() {
  DestroyApplicationWindows();
  ui::TApplication& application = ui::Application();
  application.SetTitle(kApplicationTitle);
  TMainForm& mainForm = application.CreateForm<TMainForm>();
  TBrowseFolder& browseFolder = application.CreateForm<TBrowseFolder>();
  TODBCForm& odbcForm = application.CreateForm<TODBCForm>();
  TSetupWizardForm& wizardForm = application.CreateForm<TSetupWizardForm>();
  TLangSelectForm& langSelectForm = application.CreateForm<TLangSelectForm>();
  SetComponentTree(mainForm.ComponentsList);
  if (ui::TBackend* backend = ui::InstalledBackend())
    for (const auto& form : application.Forms())
      backend->CreateForm(*form);
  return {mainForm, browseFolder, odbcForm, wizardForm, langSelectForm};
}

void DestroyApplicationWindows() {
  SetComponentTree(nullptr);
  ui::Application().DestroyForms();
}
