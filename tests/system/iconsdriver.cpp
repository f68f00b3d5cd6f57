// Drives CreateIcons against the real system for the Wine end-to-end script:
// one run makes the program group, the shortcuts and the keys for the
// installation folder given, and prints the boxes it showed, so that the
// script can check the links with lnkinfo and the keys with the reg tool.
// "iconsdriver --icons FILE" prints how many icons the shell finds in FILE.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "localization/message_table.h"
#include "support/program_exit.h"
#include "system/create_icons.h"
#include "ui/headless/headless_backend.h"

namespace {

void PrintBoxes(const ui::THeadlessBackend& backend) {
  for (const ui::TShownBox& box : backend.Boxes()) {
    std::string text;
    for (char c : box.Request.Text)
      if (c != '\r') text += c == '\n' ? ' ' : c;
    std::printf("box %s: %s\n", box.Request.Caption.c_str(), text.c_str());
  }
  std::fflush(stdout);
}

int Usage() {
  std::fprintf(stderr,
               "usage: iconsdriver DIR [--desktop] [--quick-launch] [--webmail] "
               "[--application-mode] [--group NAME] [--old-group NAME] [--link-names TEXT]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  if (args[0] == "--icons" && args.size() == 2) {
    std::printf("icons=%u\n", ExtractIconExA(args[1].c_str(), -1, nullptr, nullptr, 0));
    for (int index = 0; index < 3; ++index) {
      HICON large = nullptr;
      const UINT got = ExtractIconExA(args[1].c_str(), index, &large, nullptr, 1);
      std::printf("icon%d=%s\n", index, got == 1 && large ? "yes" : "no");
      if (large) DestroyIcon(large);
    }
    return 0;
  }
  ui::THeadlessBackend backend;
  TIconsRequest request;
  request.InstallPath = args[0];
  request.SetupProgram = args[0] + "setup.exe";
  request.Version = "9.1.5-7";
  request.Name = "Ana Example";
  request.Email = "ana@example.org";
  request.Company = "Example Ltd";
  request.Country = "Austria";
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--desktop") {
      request.DesktopIcon = true;
    } else if (arg == "--quick-launch") {
      request.QuickLaunchIcon = true;
    } else if (arg == "--webmail") {
      request.Webmail = true;
    } else if (arg == "--application-mode") {
      request.ServiceMode = false;
    } else if (arg == "--group" && hasValue) {
      Message(TMessage::cName) = args[++i];
    } else if (arg == "--old-group" && hasValue) {
      Message(TMessage::cOldName) = args[++i];
    } else if (arg == "--link-names" && hasValue) {
      Message(TMessage::LinkDesc) = args[++i];
    } else {
      return Usage();
    }
  }
  SetProgramExitHook([&backend](int code) {
    PrintBoxes(backend);
    std::exit(code);
  });
  TAdvancedRegistry shellFolders(TRegistryKey::hkCURRENT_USER, kShellFoldersArea,
                                 kShellFoldersSection);
  TAdvancedRegistry uninstallKey(TRegistryKey::hkLOCAL_MACHINE, kUninstallArea, kUninstallSection);
  TAdvancedRegistry productKey(TRegistryKey::hkLOCAL_MACHINE, "\\Software", "Tolva");
  CreateIcons(request, {shellFolders, uninstallKey, productKey});
  PrintBoxes(backend);
  std::printf("done\n");
  return 0;
}
