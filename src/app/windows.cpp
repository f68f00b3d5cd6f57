#include "app/windows.h"

#include "localization/component_captions.h"
#include "support/startup_trace.h"
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
  StartupTrace("forms modelled");
  if (ui::TBackend* backend = ui::InstalledBackend())
    for (const auto& form : application.Forms()) {
      backend->CreateForm(*form);
      StartupTrace(form->ClassName().c_str());
    }
  return {mainForm, browseFolder, odbcForm, wizardForm, langSelectForm};
}

void DestroyApplicationWindows() {
  SetComponentTree(nullptr);
  ui::Application().DestroyForms();
}
