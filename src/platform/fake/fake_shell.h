// A shell for tests: records what would have been opened and every link it
// was asked to save; with WriteLinks it also leaves a file at the link's path.
#pragma once

#include <vector>

#include "platform/files.h"
#include "platform/shell.h"

namespace platform {

class FakeShell final : public Shell {
 public:
  struct Share {
    std::string Remote, User, Password;
  };

  FakeShell() : previous_(InstallShell(this)) {}
  ~FakeShell() override { InstallShell(previous_); }

  bool Open(const ShellRequest& request) override {
    Opened.push_back(request);
    return OpenResult;
  }
  bool ConnectShare(const std::string& remote, const std::string& user,
                    const std::string& password) override {
    Shares.push_back({remote, user, password});
    return ShareResult;
  }
  bool NetworkDriveDialog(WindowHandle owner) override {
    ++NetworkDialogs;
    (void)owner;
    return NetworkDialogResult;
  }
  std::vector<std::string> Drives() override { return DriveRoots; }
  bool CreateLink(const ShellLinkRequest& link) override {
    Links.push_back(link);
    if (!LinkResult) return false;
    if (!WriteLinks) return true;
    File file;
    if (!file.Open(link.LinkPath, FileMode::Create)) return false;
    file.Write(link.Target.data(), link.Target.size());
    file.Close();
    return true;
  }
  std::string DesktopFolder(WindowHandle owner) override {
    (void)owner;
    return Desktop;
  }

  std::vector<ShellRequest> Opened;
  std::vector<Share> Shares;
  bool OpenResult = true;
  bool ShareResult = true;
  int NetworkDialogs = 0;
  bool NetworkDialogResult = false;
  std::vector<std::string> DriveRoots = {"C:\\"};
  std::vector<ShellLinkRequest> Links;
  bool LinkResult = true;
  bool WriteLinks = false;
  std::string Desktop;

 private:
  Shell* previous_;
};

}  // namespace platform
