// Drives the configuration steps through the system's real COM, for the
// Wine test of the automation stand-in.
//   cfgdriver register INSTALLDIR      DllRegisterServer of api.dll and nivaliscom.dll
//   cfgdriver unregister INSTALLDIR    DllUnregisterServer of both
//   cfgdriver configure LOG HOST DOMAIN USER PASSWORD
//   cfgdriver storage LOG CONNECTION
//   cfgdriver probe                    property put and get, a refused account,
//                                      an unknown member and a server exception,
//                                      one line each on standard output
// Exit code 0 when the step reported success, 1 when not, 2 on bad usage.
#include <cstdio>
#include <string>
#include <vector>

#include "support/setup_log.h"
#include "system/ole_object.h"
#include "system/service_operations.h"
#include "wizard/configuration_wizard.h"
#include "wizard/database_storage.h"

namespace {

using platform::AutomationValue;

void Probe() {
  InitializeComThread();
  TOleObject api = CreateOleObject("NivalisServer.APIObject");
  api.Put("C_Mail_SMTP_General_HostName", AutomationValue::Wide(u"probe.example.test"));
  std::printf("saved: %d\n", ResultBoolean(api.Call("Save")) ? 1 : 0);
  std::printf("host: %s\n", api.Get("C_Mail_SMTP_General_HostName").AnsiText().c_str());

  TOleObject account = CreateOleObject("NivalisServer.AccountObject");
  account.Call("New", {AutomationValue::String("nobody@example.test")});
  account.Call("SetProperty", {AutomationValue::String("U_Alias"), AutomationValue::String("")});
  const bool saved = ResultBoolean(account.Call("Save"));
  std::printf("account saved: %d, LastErr %d\n", saved ? 1 : 0,
              ResultInteger(account.Call("LastErr")));

  for (const char* member : {"NoSuchMember", "MakePrimaryDomain"}) {
    try {
      std::vector<AutomationValue> arguments;
      if (std::string(member) == "MakePrimaryDomain")
        arguments.push_back(AutomationValue::String("missing.test"));
      api.Call(member, arguments);
      std::printf("%s: no exception\n", member);
    } catch (const EOleError& error) {
      std::printf("%s: %s\n", member, error.what());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const std::string command = arguments.empty() ? "" : arguments[0];
  if ((command == "register" || command == "unregister") && arguments.size() == 2) {
    const std::string& folder = arguments[1];
    bool ok = true;
    for (const char* library : {"api.dll", "nivaliscom.dll"})
      ok = (command == "register" ? RegisterComLibrary(folder + library)
                                  : UnregisterComLibrary(folder + library)) &&
           ok;
    return ok ? 0 : 1;
  }
  if (command == "configure" && arguments.size() == 6) {
    OpenLog(arguments[1], 0);
    const bool saved =
        RunConfigurationUnattended(arguments[2], arguments[3], arguments[4], arguments[5]);
    std::printf("configured: %s\n", saved ? "saved" : "not saved");
    return saved ? 0 : 1;
  }
  if (command == "storage" && arguments.size() == 3) {
    OpenLog(arguments[1], 0);
    CreateDatabaseStorage(arguments[2]);
    return 0;
  }
  if (command == "probe" && arguments.size() == 1) {
    try {
      Probe();
    } catch (const EOleError& error) {
      std::printf("failed: %s\n", error.what());
      return 1;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: cfgdriver register|unregister|configure|storage|probe ...\n");
  return 2;
}
