// Drives the upgrade procedures against the real system for the Wine
// script: prepares an installation's settings, then runs the procedures
// with the servers of the machine and the HTTP client.
//   upgradedriver prepare DIR PORT DOMAINS   settings with that web port and
//                                            that many domains
//   upgradedriver upgrade PREVIOUS DIR       the procedures from PREVIOUS
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "upgrade/upgrade_procedures.h"

namespace {

int Prepare(const std::string& folder, int port, int domains) {
  ServerFolders().InstallPath = folder;
  ServerFolders().ConfigPath = folder + "config\\";
  LoadSettings(false, false);
  Settings().SetNumber(settings_field::WebPort, port);
  Settings().SetText(settings_field::BindAddresses, "");
  Domains().Clear();
  for (int i = 0; i < domains; ++i)
    Domains().Add("d" + std::to_string(i) + ".test");
  Domains().Loaded = true;
  if (!SaveSettings(false)) {
    std::fprintf(stderr, "upgradedriver: cannot save the settings in %s\n",
                 ServerFolders().ConfigPath.c_str());
    return 1;
  }
  std::printf("prepared port=%d domains=%d\n", port, domains);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "prepare" && argc == 5)
    return Prepare(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (command == "upgrade" && argc == 4) {
    RunUpgradeProcedures(argv[2], argv[3]);
    std::printf("upgraded from \"%s\"\n", argv[2]);
    return 0;
  }
  std::fprintf(stderr,
               "usage: upgradedriver prepare DIR PORT DOMAINS\n"
               "       upgradedriver upgrade PREVIOUS DIR\n");
  return 2;
}
