// Putting the product's files into the installation folder: from the
// unpacked main archive, the module archives and the loose files beside the
// installer, keeping what an existing installation must keep (certificates,
// databases, local rules, the administrator's php.ini, the web server's
// configuration).
#pragma once

#include <functional>
#include <string>
#include <vector>

class TRunProgress;
struct TInstallerState;

struct TDeployment {
  TInstallerState& State;
  TRunProgress& Progress;
  // Whether the component of that id is selected.
  std::function<bool(int id)> ComponentSelected;
  std::string InstallerFolder;    // ends in `\`
  std::string InstallerFileName;  // the installer's own file, copied along
  std::string WindowsFolder;      // ends in `\`; empty when unknown
};

// The deployment step of the run: the installation folder, then either the
// administration interface alone or the full product.
void DeployFiles(const TDeployment& deployment);
void DeployFullProduct(const TDeployment& deployment);
// The folder trees and the anti-spam, GroupWare and antivirus modules.
void DeployModules(const TDeployment& deployment);
void DeployAdminOnly(const TDeployment& deployment);

// Where the module archive of that name is: beside the installer, else in
// the download folder. Empty when neither holds it.
std::string ModuleArchive(const TDeployment& deployment, const std::string& name);

// What the deployment will read from the distribution, in its order: the
// module archives and loose files with their paths (empty when missing) and
// whether the deployment cannot do without them.
struct TDistributionPart {
  std::string Name;
  std::string Path;
  bool Required = false;
  bool IsArchive = true;
};
std::vector<TDistributionPart> DeploymentParts(const TDeployment& deployment);
