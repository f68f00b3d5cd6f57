#include "app/shell_integration.h"

#include "app/form_progress.h"

#include "components/component_state.h"
#include "components/component_tree.h"
#include "config/server_folders.h"
#include "platform/system_info.h"
#include "support/paths.h"
#include "system/create_icons.h"
#include "system/server_table.h"
#include "system/uninstall.h"

TShellRegistries ShellRegistriesOf(TMainForm& form) {
  return {form.AdvancedRegistry, form.AdvancedRegistryInstall, form.PathRegistry};
}

void CreateIcons(TMainForm& form) {
  TIconsRequest request;
  request.InstallPath = form.State.InstallPath;
  request.SetupProgram =
      request.InstallPath + ExtractFileName(platform::CurrentSystem().ProgramPath());
  request.Version = kSetupVersion;
  request.ServiceMode = ServiceMode();
  const ui::TControl& components = *form.ComponentsList;
  request.DesktopIcon = ComponentSelected(components, kComponentDesktopIcon);
  request.QuickLaunchIcon = ComponentSelected(components, kComponentQuickLaunch);
  request.Webmail = ComponentSelected(components, kComponentWebmail);
  request.Name = form.NameEdit->Text();
  request.Email = form.EmailEdit->Text();
  request.Company = form.CompanyEdit->Text();
  request.Country = form.CountryEdit->Text();
  CreateIcons(request, ShellRegistriesOf(form), [&form](const std::string& caption) {
    TFormProgress(form).SetProgressCaption(caption);
  });
}

void RunUninstall(TMainForm& form, bool unattended) {
  Uninstall({ProgramFolder(), ServerFolders().InstallPath, !unattended}, ShellRegistriesOf(form));
}
