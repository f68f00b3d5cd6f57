// The three registry components of the main window that the shortcuts, the
// uninstall entry and the uninstall work with, and the keys they are bound to.
#pragma once

#include "support/advanced_registry.h"

inline constexpr const char* kShellFoldersArea =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kShellFoldersSection = "Shell Folders";
inline constexpr const char* kUninstallArea =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kUninstallSection = "Tolva";
inline constexpr const char* kProductKeyArea = "\\Software\\Nivalis";
inline constexpr const char* kProductKeySection = "Tolva Mail Server";

struct TShellRegistries {
  // The shell folders, under HKEY_CURRENT_USER until switched.
  TAdvancedRegistry& ShellFolders;
  // The uninstall entry under HKEY_LOCAL_MACHINE.
  TAdvancedRegistry& UninstallKey;
  // The product key under HKEY_LOCAL_MACHINE.
  TAdvancedRegistry& ProductKey;
};
