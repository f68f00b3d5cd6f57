// The installation's step that puts the suite into the shell: the Start-menu
// program group and its shortcuts, the desktop and Quick Launch shortcuts,
// the uninstall entry and the product key.
#pragma once

#include <functional>
#include <string>

#include "system/shell_registries.h"

inline constexpr const char* kUninstallSwitchText = "/UNINSTALL";
inline constexpr const char* kProductPublisher = "Nivalis";
// Shown by Programs and Features as the publisher's web site.
inline constexpr const char* kProductWebSite = "www.nivalis.example";

struct TIconsRequest {
  std::string InstallPath;       // ends in `\`
  std::string SetupProgram;      // InstallPath + the running installer's file name
  std::string Version;           // the installer's own version
  bool ServiceMode = true;       // no "Start ..." shortcuts then
  bool DesktopIcon = false;      // component 2
  bool QuickLaunchIcon = false;  // component 3
  bool Webmail = false;          // component 4
  // The user-details page, in the ANSI code page.
  std::string Name, Email, Company, Country;
};

// "UninstallString": the program path, quoted when it holds a space, and
// the switch.
std::string UninstallCommand(const std::string& setupProgram);

// Deletes the old and per-user groups, rebuilds the program group, makes the
// shortcuts, then writes the uninstall entry and the product key. Shortcut
// and folder failures are silent; when "Common Programs" cannot be read no
// group is made (the shortcuts of the group are left out). A registry
// failure shows the registry error box and ends the program with
// kExitFailedDuringInstall.
void CreateIcons(const TIconsRequest& request, TShellRegistries registries,
                 const std::function<void(const std::string&)>& progress = {});
