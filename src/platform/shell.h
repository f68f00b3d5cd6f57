// The shell: documents, programs and addresses opened by verb; network shares.
#pragma once

#include <string>
#include <vector>

namespace platform {

using WindowHandle = void*;

struct ShellRequest {
  WindowHandle Owner = nullptr;
  std::string Verb;  // empty: the default verb
  std::string File;
  std::string Parameters;
  std::string Folder;
  int ShowCommand = 1;  // Windows show-window code (1 = normal)
};

class Shell {
 public:
  virtual ~Shell() = default;
  virtual bool Open(const ShellRequest& request) = 0;
  // Connects a UNC disk resource without a drive letter; empty user and
  // password mean the current credentials.
  virtual bool ConnectShare(const std::string& remote, const std::string& user,
                            const std::string& password) = 0;
  // The system's dialog for connecting a network drive; false when the
  // user cancelled it or it could not be shown.
  virtual bool NetworkDriveDialog(WindowHandle owner) = 0;
  // The roots of the drives the system offers ("C:\", "D:\"), in order.
  virtual std::vector<std::string> Drives() = 0;
};

Shell& CurrentShell();
Shell* InstallShell(Shell* shell);

}  // namespace platform
