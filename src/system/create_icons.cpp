#include "system/create_icons.h"

#include <stdexcept>
#include <vector>

#include "localization/message_table.h"
#include "support/exit_codes.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/setup_log.h"
#include "support/text.h"
#include "system/shortcuts.h"
#include "ui/backend.h"

namespace {

struct TLink {
  std::string Name;  // without ".lnk"
  std::string Target;
  std::string Arguments;
  int IconIndex = 0;
};

constexpr int kUninstallIcon = 1;
constexpr int kWebIcon = 2;

std::vector<std::string> LinkDescriptionLines() {
  std::vector<std::string> lines;
  const std::string& text = Message(TMessage::LinkDesc);
  size_t start = 0;
  while (lines.size() < kShortcutTargetCount) {
    const size_t end = text.find('\n', start);
    lines.push_back(Trim(text.substr(start, end == std::string::npos ? end : end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  lines.resize(kShortcutTargetCount);
  return lines;
}

std::vector<TLink> GroupLinks(const TIconsRequest& request) {
  std::vector<TLink> links;
  const std::vector<std::string> lines = LinkDescriptionLines();
  for (size_t i = 0; i < kShortcutTargetCount; ++i)
    links.push_back({lines[i], request.InstallPath + ShortcutTargetName(i), "", 0});
  links.push_back({Message(TMessage::UninstallDesc), request.SetupProgram, kUninstallSwitchText,
                   kUninstallIcon});
  if (!request.ServiceMode) {
    const TMessage names[] = {TMessage::TolvaSMTPLinkDesc, TMessage::TolvaPOP3LinkDesc,
                              TMessage::TolvaControlLinkDesc, TMessage::TolvaIMLinkDesc,
                              TMessage::TolvaGWLinkDesc};
    const char* programs[] = {"smtp.exe", "pop3.exe", "control.exe", "im.exe", "cal.exe"};
    for (size_t i = 0; i < 5; ++i)
      links.push_back({Message(names[i]), request.InstallPath + programs[i], "", 0});
  }
  if (request.Webmail) {
    links.push_back(
        {Message(TMessage::cTolvaWebmail), request.SetupProgram, "/WEBMAILLOGON", kWebIcon});
    links.push_back(
        {Message(TMessage::cTolvaWebmail2), request.SetupProgram, "/WEBMAIL2LOGON", kWebIcon});
  }
  links.push_back(
      {Message(TMessage::cTolvaWebAdmin), request.SetupProgram, "/WEBADMINLOGON", kWebIcon});
  return links;
}

// A link in folder named by a language text; a name that would reach out of
// the folder makes nothing.
void MakeLink(const std::string& folder, const TLink& link) {
  if (folder.empty() || !IsSafeShellName(link.Name)) return;
  CreateShortcut(link.Target, folder + link.Name + ".lnk", link.Arguments, link.IconIndex);
}

void DeleteGroup(const std::string& folder, const std::string& name) {
  const std::string group = GroupFolder(folder, name);
  if (!group.empty()) DeleteFolderTree(group, "*.*", true);
}

// Writes a string value; a key that cannot be made fails as a value that
// cannot be written does.
void WriteValue(TAdvancedRegistry& key, const std::string& name, const std::string& value) {
  key.WriteStringValue(name, value);
  if (key.LastError().Code != 0)
    throw std::runtime_error("Failed to open \"" + key.KeyPath() + "\": " + key.LastError().Text);
}

void WriteRegistryValues(const TIconsRequest& request, TShellRegistries registries) {
  TAdvancedRegistry& uninstall = registries.UninstallKey;
  WriteValue(uninstall, "DisplayName", Message(TMessage::cName) + " " + request.Version);
  WriteValue(uninstall, "UninstallString", UninstallCommand(request.SetupProgram));
  WriteValue(uninstall, "DisplayIcon", request.InstallPath + "config.exe");
  WriteValue(uninstall, "DisplayVersion", request.Version);
  WriteValue(uninstall, "InstallLocation", request.InstallPath);
  WriteValue(uninstall, "NoModify", "1");
  WriteValue(uninstall, "NoRepair", "1");
  WriteValue(uninstall, "Publisher", kProductPublisher);
  WriteValue(uninstall, "URLInfoAbout", kProductWebSite);

  TAdvancedRegistry& product = registries.ProductKey;
  product.SetRegistryRootKey(TRegistryKey::hkLOCAL_MACHINE);
  product.SetRegistryArea(kProductKeyArea);
  product.SetRegistrySection(kProductKeySection);
  WriteValue(product, "InstallDir", request.InstallPath);
  WriteValue(product, "Name", request.Name);
  WriteValue(product, "Email", request.Email);
  WriteValue(product, "Company", request.Company);
  WriteValue(product, "Country", request.Country);
  WriteValue(product, "Version", request.Version);
}

}  // namespace

std::string UninstallCommand(const std::string& setupProgram) {
  const bool quote = setupProgram.find(' ') != std::string::npos;
  return (quote ? "\"" + setupProgram + "\"" : setupProgram) + " " + kUninstallSwitchText;
}

void CreateIcons(const TIconsRequest& request, TShellRegistries registries,
                 const std::function<void(const std::string&)>& progress) {
  if (progress) progress(Message(TMessage::cCreatingIcons));
  const std::string groupName = Message(TMessage::cName);

  TAdvancedRegistry& shellFolders = registries.ShellFolders;
  DeleteGroup(ShellFolder(shellFolders, "Programs"), groupName);

  shellFolders.SetRegistryRootKey(TRegistryKey::hkLOCAL_MACHINE);
  const std::string commonPrograms = ShellFolder(shellFolders, "Common Programs");
  DeleteGroup(commonPrograms, Message(TMessage::cOldName));
  DeleteGroup(commonPrograms, groupName);

  // Without the common programs folder the group would land at the root of
  // the current drive: it is left out, and the log says so.
  const std::string group = GroupFolder(commonPrograms, groupName);
  if (group.empty())
    WriteSetupLog(
        "Start menu: no program group (\"Common Programs\" unknown or the group name "
        "is not a folder name)");
  else
    ForceFolders(group);

  if (!group.empty())
    for (const TLink& link : GroupLinks(request))
      MakeLink(group, link);

  const TLink administration{Message(TMessage::ServerDesktopTitle),
                             request.InstallPath + "config.exe", "", 0};
  // A missing desktop or Quick Launch folder is not made.
  if (request.DesktopIcon) {
    const std::string desktop = DesktopFolder();
    if (!desktop.empty() && FolderExists(desktop)) MakeLink(desktop, administration);
  }
  if (request.QuickLaunchIcon) {
    const std::string quickLaunch = QuickLaunchFolder();
    if (FolderExists(quickLaunch)) MakeLink(quickLaunch, administration);
  }

  try {
    WriteRegistryValues(request, registries);
  } catch (const std::exception& error) {
    const std::string text =
        Message(TMessage::cRegistryError) + error.what() + Message(TMessage::cErrorText);
    ui::ShowMessageBox(text, Message(TMessage::cError), ui::TMessageButtons::Ok,
                       ui::TMessageIcon::Error);
    WriteSetupLog("Error: Setup aborted - " + Message(TMessage::cRegistryError) + error.what() +
                  "\r\n");
    EndProgram(kExitFailedDuringInstall);
  }
}
