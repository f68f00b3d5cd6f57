// The removal of the suite that "/UNINSTALL" runs once the user agreed:
// services, shortcuts, registry keys, program files and program folders go;
// the data folders (configuration, mail, logs) and the installer stay.
#pragma once

#include <string>

#include "support/paths.h"

#include "system/shell_registries.h"

struct TUninstallRequest {
  // The folder of the running program, ending in `\`.
  std::string ProgramFolder;
  // The installation folder established at start-up; the antivirus engine's
  // setup library is looked for below it.
  std::string InstallPath;
  // Whether the folder that remains is opened in the shell at the end; not
  // for a removal that nobody watches.
  bool ShowWhatRemains = true;
};

// The program folders, each deleted as a tree with failures ignored:
// doc\, the wizards and spell checker folders, modules\ ... php\, then the
// antivirus engine (its own uninstall entry first) and avast\.
void RemoveProgramFolders(const std::string& programFolder, const std::string& installPath);

// The whole removal, ending with the closing box and the program folder
// opened in the shell. Program files and folders are deleted only when the
// program runs from the installation folder that the product key (or the
// uninstall entry) recorded; from anywhere else the services, shortcuts and
// keys go and the closing box names the folder that was left.
void Uninstall(const TUninstallRequest& request, TShellRegistries registries);
