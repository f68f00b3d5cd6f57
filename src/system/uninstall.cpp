#include "system/uninstall.h"

#include <cstdint>

#include "components/package_table.h"
#include "localization/message_table.h"
#include "platform/codepage.h"
#include "platform/dynamic_library.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/programs.h"
#include "support/setup_log.h"
#include "system/server_control.h"
#include "system/service_operations.h"
#include "system/shortcuts.h"
#include "ui/backend.h"

namespace {

constexpr const char* kAntivirusSetupFolder = "avast\\setup\\";
constexpr const char* kAntivirusSetupLibrary = "setiface.dll";
constexpr const char* kAntivirusUninstallEntry = "setifaceUninstallProgram";
constexpr const char* kAntivirusProduct = "Nivalis";
constexpr int32_t kAntivirusUninstallMode = 2;
constexpr uint32_t kAntivirusUninstalled = 0x20000000;

constexpr int kComponentWizardsId = 10;
constexpr int kComponentSpellCheckerId = 11;
constexpr int kComponentAntivirusId = 6;

// x86-64 Windows has one calling convention; 32-bit builds need the
// library's own.
#if defined(_WIN32) && !defined(_WIN64)
#define SETIFACE_CALL __stdcall
#else
#define SETIFACE_CALL
#endif
using TSetifaceUninstall = int32_t(SETIFACE_CALL*)(const char* product, int32_t reserved,
                                                   int32_t mode, uint32_t* result);

// The folder of a component's first archive entry; empty when it has none
// (the installation folder itself, which is never deleted here).
std::string ComponentFolder(int id) {
  const TPackageList packages = PackagesOf(id);
  return packages.empty() ? std::string() : packages.front().Folder;
}

void DeleteSubfolder(const std::string& programFolder, const std::string& folder) {
  if (programFolder.empty() || folder.empty() || folder.find("..") != std::string::npos) return;
  DeleteFolderTree(programFolder + folder, "*.*", true);
}

void UninstallAntivirusEngine(const std::string& installPath) {
  if (installPath.empty()) return;
  const std::string path = installPath + kAntivirusSetupFolder + kAntivirusSetupLibrary;
  platform::DynamicLibrary library;
  if (!library.Load(path)) return;
  auto uninstall = library.SymbolAs<TSetifaceUninstall>(kAntivirusUninstallEntry);
  if (!uninstall) return;
  uint32_t result = 0;
  const int32_t returned = uninstall(kAntivirusProduct, 0, kAntivirusUninstallMode, &result);
  // The removal goes on either way; the log keeps the engine's answer.
  if (returned != 0 || result != kAntivirusUninstalled)
    WriteSetupLog("Antivirus engine uninstall returned " + std::to_string(returned));
}

void DeleteLinkIn(const std::string& folder, const std::string& name) {
  if (folder.empty() || !IsSafeShellName(name)) return;
  platform::RemoveFile(folder + name + ".lnk");
}

}  // namespace

void RemoveProgramFolders(const std::string& programFolder, const std::string& installPath) {
  DeleteSubfolder(programFolder, "doc\\");
  DeleteSubfolder(programFolder, ComponentFolder(kComponentWizardsId));
  DeleteSubfolder(programFolder, ComponentFolder(kComponentSpellCheckerId));
  for (const char* folder :
       {"modules\\", "spam\\", "html\\", "api\\", "examples\\", "xml\\", "php\\"})
    DeleteSubfolder(programFolder, folder);
  UninstallAntivirusEngine(installPath);
  DeleteSubfolder(programFolder, ComponentFolder(kComponentAntivirusId));
}

void Uninstall(const TUninstallRequest& request, TShellRegistries registries) {
  TAdvancedRegistry& product = registries.ProductKey;
  product.SetRegistryRootKey(TRegistryKey::hkLOCAL_MACHINE);
  product.SetRegistryArea(kProductKeyArea);
  product.SetRegistrySection(kProductKeySection);
  // Read before the keys go: which folder the installation lives in.
  std::string recorded = registries.ProductKey.ReadStringValue("InstallDir");
  if (recorded.empty()) recorded = registries.UninstallKey.ReadStringValue("InstallLocation");
  recorded = WithPathDelimiter(recorded, true, false);
  const bool inInstallation = SameFolder(request.ProgramFolder, recorded);

  StopAndRemoveServers(recorded.empty() ? request.InstallPath : recorded);

  TAdvancedRegistry& shellFolders = registries.ShellFolders;
  shellFolders.SetRegistryRootKey(TRegistryKey::hkLOCAL_MACHINE);
  const std::string group =
      GroupFolder(ShellFolder(shellFolders, "Common Programs"), Message(TMessage::cName));
  if (!group.empty()) DeleteFolderTree(group, "*.*", true);

  const std::string administration = Message(TMessage::ServerDesktopTitle);
  DeleteLinkIn(DesktopFolder(), administration);
  DeleteLinkIn(QuickLaunchFolder(), administration);

  registries.UninstallKey.DeleteRegistryKey(registries.UninstallKey.KeyPath());

  const std::string& program = request.ProgramFolder;
  if (inInstallation) {
    UnregisterComLibrary(program + "api.dll");
    UnregisterComLibrary(program + "nivaliscom.dll");
    for (size_t i = 0; i < kProgramFileCount; ++i)
      platform::RemoveFile(program + ProgramFileName(i));
    for (const char* name : {"nivaliscom.dll", "cal.exe", "im.exe"})
      platform::RemoveFile(program + name);
    RemoveProgramFolders(program, request.InstallPath);
  }

  registries.ProductKey.DeleteRegistryKey(registries.ProductKey.KeyPath());

  std::string text = Message(TMessage::cCompleteRemove);
  std::string left = program;
  if (!inInstallation) {
    left = recorded.empty() ? program : recorded;
    text +=
        "\r\n\r\nSetup was not started from the installation folder, so no program files "
        "were deleted. The suite's files remain in: " +
        left;
  }
  ui::ShowMessageBox(text, Message(TMessage::cInformation), ui::TMessageButtons::Ok,
                     ui::TMessageIcon::Information);
  if (request.ShowWhatRemains) RunProgram(nullptr, "open", left, "", "", 1);
}
