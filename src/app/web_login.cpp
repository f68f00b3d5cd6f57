#include "app/web_login.h"

#include "config/settings_record.h"
#include "support/fields.h"
#include "support/text.h"

std::string WebLoginUrl(std::string_view switchName) {
  const SettingsRecord& settings = Settings();
  std::string host = Trim(GetField(settings.HostName(), 0, ';'));
  if (host.empty()) host = "localhost";
  std::string url = "http://" + host;
  const uint16_t port = settings.WebPort();
  if (port != 80) url += ":" + std::to_string(port);
  const std::string name = UpperCase(switchName);
  if (name == kWebmail2LogonSwitch)
    url += "/webmail/";
  else if (name == kWebmailLogonSwitch)
    url += "/mail/";
  else if (name == kWebAdminLogonSwitch)
    url += "/admin/";
  return url;
}

bool IsWebLoginSwitch(std::string_view argument) {
  const std::string name = UpperCase(argument);
  return name == kWebmailLogonSwitch || name == kWebmail2LogonSwitch ||
         name == kWebAdminLogonSwitch;
}
