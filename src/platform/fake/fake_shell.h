// A shell for tests: records what would have been opened.
#pragma once

#include <vector>

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

  std::vector<ShellRequest> Opened;
  std::vector<Share> Shares;
  bool OpenResult = true;
  bool ShareResult = true;
  int NetworkDialogs = 0;
  bool NetworkDialogResult = false;
  std::vector<std::string> DriveRoots = {"C:\\"};

 private:
  Shell* previous_;
};

}  // namespace platform
