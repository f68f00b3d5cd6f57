#include "platform/native.h"

namespace platform {
namespace {

// The shell's verbs, links and network shares exist only on Windows.
class PosixShell final : public Shell {
 public:
  bool Open(const ShellRequest&) override { return false; }
  bool ConnectShare(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
  bool NetworkDriveDialog(WindowHandle) override { return false; }
  bool CreateLink(const ShellLinkRequest&) override { return false; }
  std::string DesktopFolder(WindowHandle) override { return {}; }
  // One file system, named as the file layer names its root.
  std::vector<std::string> Drives() override { return {"\\"}; }
};

}  // namespace

Shell& NativeShell() {
  static PosixShell shell;
  return shell;
}

}  // namespace platform
