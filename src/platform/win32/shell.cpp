// <windows.h> must come first; a block of its own keeps it there.
#include <windows.h>

#include <shellapi.h>
#include <winnetwk.h>

#include "platform/native.h"

namespace platform {
namespace {

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

class Win32Shell final : public Shell {
 public:
  bool Open(const ShellRequest& request) override {
    HINSTANCE result =
        ShellExecuteA(static_cast<HWND>(request.Owner), OrNull(request.Verb), request.File.c_str(),
                      OrNull(request.Parameters), OrNull(request.Folder), request.ShowCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
  bool ConnectShare(const std::string& remote, const std::string& user,
                    const std::string& password) override {
    NETRESOURCEA resource{};
    resource.dwType = RESOURCETYPE_DISK;
    std::string name = remote;
    resource.lpRemoteName = name.data();
    return WNetAddConnection2A(&resource, OrNull(password), OrNull(user), 0) == NO_ERROR;
  }
  bool NetworkDriveDialog(WindowHandle owner) override {
    HWND window = owner ? static_cast<HWND>(owner) : GetActiveWindow();
    return WNetConnectionDialog(window, RESOURCETYPE_DISK) == NO_ERROR;
  }
  std::vector<std::string> Drives() override {
    std::vector<std::string> drives;
    const DWORD mask = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter)
      if (mask & (1u << letter))
        drives.push_back(std::string(1, static_cast<char>('A' + letter)) + ":\\");
    return drives;
  }
};

}  // namespace

Shell& NativeShell() {
  static Win32Shell shell;
  return shell;
}

}  // namespace platform
