#include "wizard/configuration_wizard.h"

#include <exception>
#include <utility>

#include "platform/codepage.h"
#include "support/setup_log.h"
#include "support/text.h"
#include "system/ole_object.h"
#include "ui/backend.h"

using platform::AutomationValue;

namespace {

const char* const kDomainObject = "NivalisServer.DomainObject";
const char* const kApiObject = "NivalisServer.APIObject";
const char* const kAccountObject = "NivalisServer.AccountObject";
const char* const kPostmasterAliases =
    "postmaster;admin;administrator;supervisor;hostmaster;webmaster;abuse";

void SetProperty(TOleObject& object, const char* name, AutomationValue value) {
  object.Call("SetProperty", {AutomationValue::String(name), std::move(value)});
}

// A refused save: the suite's reason, by its code.
void LogSaveError(TOleObject& object, const char* what) {
  const int32_t code = ResultInteger(object.Call("LastErr"));
  WriteSetupLog(std::string("Setup wizard ") + what + " error: " + std::to_string(code) + "\r\n");
}

template <class Step>
bool Guarded(Step step, const TConfigurationValues& values) {
  try {
    return step(values);
  } catch (const std::exception& error) {
    WriteSetupLog(std::string("Setup wizard error: ") + error.what() + "\r\n");
  } catch (...) {
    WriteSetupLog("Setup wizard error: unknown exception\r\n");
  }
  return false;
}

}  // namespace

TConfigurationValues ConfigurationValues(std::u16string_view hostName, std::string_view domain,
                                         std::string_view user, std::string_view password) {
  TConfigurationValues values;
  values.HostName = hostName;
  values.Domain = ShortString(Trim(domain));
  values.User = ShortString(Trim(user));
  values.AdminAddress = ShortString(values.User + "@" + values.Domain);
  values.Password = password;
  return values;
}

TConfigurationValues WizardValues(const TSetupWizardForm& form) {
  return ConfigurationValues(form.HostNameEdit->WideText(), form.DomainEdit->Text(),
                             form.UserEdit->Text(), form.PasswordEdit->Text());
}

std::string AdministratorDisplayName(std::string_view user) {
  std::string name(user);
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 32);
  return name;
}

bool ApplyPrimaryDomain(const TConfigurationValues& values) {
  InitializeComThread();
  bool saved = false;
  {
    TOleObject domain = CreateOleObject(kDomainObject);
    domain.Call("New", {AutomationValue::String(values.Domain)});
    SetProperty(domain, "D_AdminEmail", AutomationValue::String(values.AdminAddress));
    SetProperty(domain, "D_Postmaster", AutomationValue::String(kPostmasterAliases));
    saved = ResultBoolean(domain.Call("Save"));
    if (!saved) LogSaveError(domain, "domain");
  }
  TOleObject api = CreateOleObject(kApiObject);
  api.Call("MakePrimaryDomain", {AutomationValue::String(values.Domain)});
  SetProperty(api, "C_Mail_SMTP_General_HostName", AutomationValue::Wide(values.HostName));
  api.Call("Save");
  return saved;
}

bool ApplyAdministratorAccount(const TConfigurationValues& values) {
  InitializeComThread();
  TOleObject account = CreateOleObject(kAccountObject);
  account.Call("New", {AutomationValue::String(values.AdminAddress)});
  SetProperty(account, "U_Alias", AutomationValue::String(values.User));
  SetProperty(account, "U_Mailbox", AutomationValue::String(values.User));
  SetProperty(account, "U_Password", AutomationValue::String(values.Password));
  SetProperty(account, "U_Name", AutomationValue::StringRef(AdministratorDisplayName(values.User)));
  SetProperty(account, "U_Admin", AutomationValue::Bool(true));
  const bool saved = ResultBoolean(account.Call("Save"));
  if (!saved) LogSaveError(account, "account");
  return saved;
}

bool ApplyConfiguration(const TConfigurationValues& values) {
  const bool domain = Guarded(ApplyPrimaryDomain, values);
  const bool account = Guarded(ApplyAdministratorAccount, values);
  return domain && account;
}

void RunConfigurationWizard(TSetupWizardForm& form) {
  if (ui::ShowModal(form) != ui::TModalResult::Ok) return;
  ApplyConfiguration(WizardValues(form));
}

bool RunConfigurationUnattended(const std::string& hostName, const std::string& domain,
                                const std::string& user, const std::string& password) {
  if (hostName.empty() || Trim(domain).empty() || Trim(user).empty()) {
    WriteSetupLog(
        "Setup wizard error: a host name, a domain and a user name are needed; nothing was "
        "configured\r\n");
    return false;
  }
  return ApplyConfiguration(
      ConfigurationValues(platform::AnsiToUtf16(hostName), domain, user, password));
}
