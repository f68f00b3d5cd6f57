// The addresses of the suite's web interfaces, the targets of the web
// shortcuts ("/WEBMAILLOGON", "/WEBMAIL2LOGON", "/WEBADMINLOGON").
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* kWebmailLogonSwitch = "/WEBMAILLOGON";
inline constexpr const char* kWebmail2LogonSwitch = "/WEBMAIL2LOGON";
inline constexpr const char* kWebAdminLogonSwitch = "/WEBADMINLOGON";

// "http://" + host [+ ":" + port unless it is 80] + the path of the switch
// (any letter case; another switch adds no path), from the loaded settings:
// the first ";" item of the host name, or "localhost", and the web port.
std::string WebLoginUrl(std::string_view switchName);
// Whether the argument is one of the three switches.
bool IsWebLoginSwitch(std::string_view argument);
