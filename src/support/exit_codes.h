// How the installer's process ends, for whatever started it (a script, a
// deployment tool, the uninstall entry).
#pragma once

// Installed, a command-line action finished, or the user cancelled.
inline constexpr int kExitSuccess = 0;
// A fatal error before anything was installed (the download was aborted).
inline constexpr int kExitFailedBeforeInstall = 3;
// A fatal error during the installation run (archives, folders, copies,
// registry); what was done until then stays.
inline constexpr int kExitFailedDuringInstall = 4;
