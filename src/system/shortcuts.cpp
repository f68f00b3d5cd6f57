#include "system/shortcuts.h"

#include "platform/shell.h"
#include "support/advanced_registry.h"
#include "support/paths.h"
#include "system/shell_registries.h"

namespace {

constexpr const char* kQuickLaunchBelowAppData = "Microsoft\\Internet Explorer\\Quick Launch\\";

}  // namespace

bool IsSafeShellName(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (unsigned char c : name)
    if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
      return false;
  return true;
}

void CreateShortcut(const std::string& target, const std::string& linkPath,
                    const std::string& arguments, int iconIndex) {
  platform::CurrentShell().CreateLink({target, linkPath, arguments, iconIndex});
}

std::string DesktopFolder() {
  return WithPathDelimiter(platform::CurrentShell().DesktopFolder(nullptr), true, false);
}

std::string QuickLaunchFolder() {
  TAdvancedRegistry shellFolders(TRegistryKey::hkCURRENT_USER, kShellFoldersArea,
                                 kShellFoldersSection);
  std::string folder = ShellFolder(shellFolders, "AppData");
  if (folder.empty()) folder = GetSpecialFolder(SpecialFolder::Temporary, false);
  return folder + kQuickLaunchBelowAppData;
}

std::string ShellFolder(TAdvancedRegistry& shellFolders, const std::string& value) {
  return WithPathDelimiter(shellFolders.ReadStringValue(value), true, false);
}

std::string GroupFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || !IsSafeShellName(name)) return {};
  return WithPathDelimiter(folder, true, false) + name + "\\";
}
