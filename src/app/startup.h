// What happens before the first wizard page: the language, the distribution
// settings, the command line, the language chooser, the confirmation, and
// the presets from an earlier installation recorded in the product key.
#pragma once

#include <functional>
#include <string>

#include "app/windows.h"

inline constexpr const char* kSilentSwitch = "/SILENT";
inline constexpr const char* kUninstallSwitch = "/UNINSTALL";
inline constexpr const char* kProductArea = "\\Software\\Nivalis";
inline constexpr const char* kProductSection = "Tolva Mail Server";

// The start-up sequence of the main window, run once before it is first
// shown. Where the sequence ends the program (a command-line action, the
// language chooser or the confirmation declined, the language export) it
// calls EndProgram; otherwise page 0 is ready to be shown.
void FormShow(TApplicationWindows& windows);

// The handling of a first argument other than "/SILENT"; always ends the
// program.
[[noreturn]] void RunCommandLine(TMainForm& form, const std::string& argument);

// Presets the wizard for an upgrade of the installation in folder.
void UpgradePreset(TMainForm& form, const std::string& folder);

// The removal of the suite that "/UNINSTALL" runs after its question
// (RunUninstall); tests put their own in its place.
std::function<void(TMainForm&)>& UninstallProcedure();
