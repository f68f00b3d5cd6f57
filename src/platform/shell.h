// The shell: documents, programs and addresses opened by verb; shell links
// and the desktop folder; network shares.
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

// A shell link (.lnk) to save. The icon is taken from the target; index 0
// leaves the link's icon unset, empty arguments leave them unset.
struct ShellLinkRequest {
  std::string Target;
  std::string LinkPath;  // at most 259 characters
  std::string Arguments;
  int IconIndex = 0;
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
  // Saves the link through the shell's link object; false when the object
  // could not be made or the file not written (a missing folder is not made).
  virtual bool CreateLink(const ShellLinkRequest& link) = 0;
  // The user's desktop folder as the shell reports it; empty when it cannot.
  virtual std::string DesktopFolder(WindowHandle owner) = 0;
  // The roots of the drives the system offers ("C:\", "D:\"), in order.
  virtual std::vector<std::string> Drives() = 0;
};

Shell& CurrentShell();
Shell* InstallShell(Shell* shell);

}  // namespace platform
