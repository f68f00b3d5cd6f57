// The first configuration of the installed suite: the host name, the
// primary domain and its administrator, written through the suite's
// automation objects. Nothing is stored by the installer itself; failures
// go to the setup log and never stop the finish.
#pragma once

#include <string>
#include <string_view>

#include "wizard/setup_wizard_form.h"

struct TConfigurationValues {
  std::u16string HostName;   // as typed
  std::string Domain;        // trimmed, at most 255 characters
  std::string User;          // trimmed, at most 255 characters
  std::string AdminAddress;  // user@domain, at most 255 characters
  std::string Password;      // as typed, may be empty
};

TConfigurationValues ConfigurationValues(std::u16string_view hostName, std::string_view domain,
                                         std::string_view user, std::string_view password);
// The values of the wizard's edits.
TConfigurationValues WizardValues(const TSetupWizardForm& form);

// The user name with its first character upper-cased when it is a to z.
std::string AdministratorDisplayName(std::string_view user);

// Each raises EOleError when the automation server is missing or fails; a
// save that the suite refuses is logged with its error code instead. True
// when the suite saved the domain (the account).
bool ApplyPrimaryDomain(const TConfigurationValues& values);
bool ApplyAdministratorAccount(const TConfigurationValues& values);

// Both steps in order, each in its own guard: an exception is logged as
// "Setup wizard error: " and ends that step only. True when both saved.
bool ApplyConfiguration(const TConfigurationValues& values);

// Shows the wizard modally; with OK its values are applied.
void RunConfigurationWizard(TSetupWizardForm& form);

// The same without the window, for an unattended installation. A blank host
// name, domain or user name, which the wizard would not let through, is
// logged and nothing is written. True when both steps saved.
bool RunConfigurationUnattended(const std::string& hostName, const std::string& domain,
                                const std::string& user, const std::string& password);
