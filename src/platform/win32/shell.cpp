// <windows.h> must come first; a block of its own keeps it there.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <winnetwk.h>

#include "platform/codepage.h"
#include "platform/native.h"

namespace platform {
namespace {

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

constexpr size_t kMaxLinkPath = 259;

// Releases a COM interface when it goes out of scope.
template <class Interface>
struct ComRelease {
  Interface* Pointer = nullptr;
  ~ComRelease() {
    if (Pointer) Pointer->Release();
  }
};

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
  bool CreateLink(const ShellLinkRequest& request) override {
    // A longer path would be cut to another file's name.
    if (request.LinkPath.size() > kMaxLinkPath) return false;
    // Every call initialises COM for this thread; the matching uninitialise
    // is left to the process's end, as other callers may rely on COM by then.
    CoInitialize(nullptr);
    ComRelease<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.Pointer))))
      return false;
    link.Pointer->SetPath(request.Target.c_str());
    if (request.IconIndex != 0)
      link.Pointer->SetIconLocation(request.Target.c_str(), request.IconIndex);
    if (!request.Arguments.empty()) link.Pointer->SetArguments(request.Arguments.c_str());
    ComRelease<IPersistFile> file;
    if (FAILED(link.Pointer->QueryInterface(IID_IPersistFile,
                                            reinterpret_cast<void**>(&file.Pointer))))
      return false;
    const std::u16string wide = AnsiToUtf16(request.LinkPath);
    std::wstring path(wide.begin(), wide.end());
    return SUCCEEDED(file.Pointer->Save(path.c_str(), TRUE));
  }
  std::string DesktopFolder(WindowHandle owner) override {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(static_cast<HWND>(owner), CSIDL_DESKTOP, &items)) ||
        !items)
      return {};
    char buffer[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListA(items, buffer);
    ComRelease<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(&allocator.Pointer))) allocator.Pointer->Free(items);
    return found ? std::string(buffer) : std::string();
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
