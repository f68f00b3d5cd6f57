#include "app/deploy_files.h"

#include "app/antivirus_setup.h"
#include "app/component_download.h"
#include "app/config_templates.h"
#include "app/file_copy.h"
#include "app/installer_state.h"
#include "app/program_file_backup.h"
#include "app/run_progress.h"
#include "archive/extract_archive.h"
#include "config/replace_file.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/programs.h"
#include "support/search.h"
#include "support/text.h"

namespace {

constexpr int kComponentWebmail = 4;
constexpr int kComponentLdap = 9;
constexpr int kComponentWizards = 10;
constexpr int kComponentSpellChecker = 11;
constexpr int kHidden = 0;  // the shell's show command that shows no window

// Whether a destination lies in the installation folder, whose files a
// failed run puts back.
bool InInstallation(const TDeployment& deployment, const std::string& destination) {
  const std::string& install = deployment.State.InstallPath;
  return !install.empty() && destination.size() >= install.size() &&
         SameText(destination.substr(0, install.size()), install);
}

// Unpacks a module archive that the installation cannot do without: a
// missing or damaged one ends the run.
void ExtractRequired(const TDeployment& deployment, const std::string& name,
                     const std::string& destination, bool overwriteAll) {
  const std::string archive = ModuleArchive(deployment, name);
  if (InInstallation(deployment, destination))
    KeepArchiveTargets(archive, destination, overwriteAll);
  int result = 0;
  if (archive.empty() || !ExtractArchive(archive, destination, result, overwriteAll))
    AbortOnArchive(name);
}

// Unpacks an archive whose absence or damage the installation can live with.
void ExtractOptional(const TDeployment& deployment, const std::string& name,
                     const std::string& destination, bool overwriteAll) {
  const std::string archive = ModuleArchive(deployment, name);
  if (archive.empty()) return;
  std::vector<std::string> kept;
  if (InInstallation(deployment, destination))
    kept = KeepArchiveTargets(archive, destination, overwriteAll);
  int result = 0;
  // A failure is borne, but what was moved aside for it comes back.
  if (!ExtractArchive(archive, destination, result, overwriteAll))
    for (const std::string& target : kept)
      PutBackProgramFile(target);
}

void CopyIfPresent(const std::string& source, const std::string& target) {
  if (source.empty() || !FileExists(source)) return;
  KeepProgramFile(target);
  // A failed copy leaves the old file, as it would without the backup.
  if (!CopyFileTo(source, target, false)) PutBackProgramFile(target);
}

void WriteWhole(const std::string& path, const std::string& text) {
  KeepProgramFile(path);
  WriteFileReplacing(path, text.data(), text.size(), TReplaceMode::WholeOnly);
}

void CopyCoreFiles(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  for (size_t i = 0; i < kProgramFileCount; ++i)
    CopyWithRetry(FixedFileName(i), state.ExtractPath, state.InstallPath);
  CopyWithRetry("nivaliscom.dll", state.ExtractPath, state.InstallPath);
  for (const char* optional : {"im.exe", "cal.exe"})
    if (FileExists(state.ExtractPath + optional))
      CopyWithRetry(optional, state.ExtractPath, state.InstallPath);
}

// Files that older versions kept beside the programs belong in "config\";
// one that is there already wins and the old one stays where it was.
void MoveOldConfigurationFiles(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  const std::string config = state.InstallPath + "config\\";
  for (const char* name : {"cert.pem", "cert.dat", "default.ini", "db.ini"})
    if (FileExists(state.InstallPath + name)) MoveFileTo(state.InstallPath + name, config + name);
  if (!FileExists(config + "cert.pem")) CopyWithRetry("cert.pem", state.ExtractPath, config);
}

// The administrator's php.ini becomes php.ini.old, replacing the one an
// earlier upgrade left, so that it always holds the file from just before
// this run.
void KeepOldPhpIni(const std::string& phpFolder) {
  const std::string ini = phpFolder + "php.ini";
  if (!FileExists(ini)) return;
  if (TProgramFileBackup* backup = ActiveBackup()) {
    // Both files can be given back: the old ".old" kept, a copy made.
    backup->Keep(ini + ".old");
    CopyFileTo(ini, ini + ".old", false);
    backup->Keep(ini);
    return;
  }
  platform::ReplaceWith(ini, ini + ".old");
}

void DeployPhp(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  if (ModuleArchive(deployment, "setupphp.dat").empty()) return;
  const std::string php = state.InstallPath + "php\\";
  KeepOldPhpIni(php);
  ExtractOptional(deployment, "setupphp.dat", php, true);
  ExpandTemplate(state, php + "php.ini", php);
  if (!deployment.WindowsFolder.empty()) platform::RemoveFile(deployment.WindowsFolder + "wmi.ini");
}

void DeployLdap(const TDeployment& deployment) {
  const std::string ldap = deployment.State.InstallPath + "ldap\\";
  if (!deployment.ComponentSelected(kComponentLdap) || FolderExists(ldap)) return;
  ExtractOptional(deployment, "setupldap.dat", ldap, false);
  RunProgram(nullptr, "open", ldap + "create.bat", "", ldap, kHidden);
}

void DeploySpellChecker(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  const std::string php = state.InstallPath + "php\\";
  if (deployment.ComponentSelected(kComponentSpellChecker)) {
    const std::string aspell = state.InstallPath + "aspell\\";
    ExtractOptional(deployment, "setupaspell.dat", aspell, false);
    KeepProgramFile(php + "aspell-15.dll");
    RegisterAspell(aspell, php);
    PutBackProgramFile(php + "aspell-15.dll");
    return;
  }
  std::string ini = ReadFileToString(php + "php.ini");
  if (ini.empty()) return;
  ReplaceText(ini, "extension=php_pspell.dll", ";extension=php_pspell.dll", true, true);
  WriteWhole(php + "php.ini", ini);
}

void DeployWebmail(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  if (!deployment.ComponentSelected(kComponentWebmail)) return;
  if (!ModuleArchive(deployment, "setupwebmail.dat").empty()) {
    const std::string unpacked = state.ExtractPath + "webmail\\";
    ExtractRequired(deployment, "setupwebmail.dat", unpacked, true);
    ForceFolders(state.InstallPath + "webmail\\config\\");
    // The web pages go below the web server's root, the rest beside them.
    CopyFolderTree(unpacked + "html\\", "", state.InstallPath + "html\\mail\\");
    DeleteFolderTree(unpacked + "html\\");
    KeepProgramFolder(state.InstallPath + "webmail\\projects\\");
    DeleteFolderTree(state.InstallPath + "webmail\\projects\\");
    CopyFolderTree(state.ExtractPath, "webmail\\", state.InstallPath);
    RemoveExtractedFolder(unpacked);
  }
  ExtractRequired(deployment, "setupwebmail2.dat", state.InstallPath, true);
}

void DeployAntiSpam(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  const std::string unpacked = state.ExtractPath + "spam\\";
  const std::string spam = state.InstallPath + "spam\\";
  ExtractRequired(deployment, "setupas.dat", unpacked, true);
  if (!FolderExists(spam)) CopyFolderTree(state.ExtractPath, "spam\\", state.InstallPath);
  CopyFolderTree(state.ExtractPath, "spam\\template\\", state.InstallPath);
  if (!FileExists(spam + "antispam.db")) CopyWithRetry("antispam.db", unpacked, spam);
  // The numbered rule files are the package's; the local rules are the
  // administrator's.
  const std::string rules = spam + "rules\\";
  if (FolderExists(rules)) {
    for (int n = 1; n <= 6; ++n) {
      // Each file is kept before it goes; the kept copies match the mask
      // too and must stay.
      for (const platform::FolderEntry& entry :
           platform::ListFolder(rules, std::to_string(n) + "*.*")) {
        if (entry.IsFolder || EndsWith(entry.Name, TProgramFileBackup::kSuffix)) continue;
        KeepProgramFile(rules + entry.Name);
        if (platform::PathExists(rules + entry.Name)) {
          platform::SetReadOnly(rules + entry.Name, false);
          platform::RemoveFile(rules + entry.Name);
        }
      }
      platform::RemoveFolder(rules);
    }
    platform::RemoveFile(unpacked + "rules\\local.cf");
  }
  CopyFolderTree(state.ExtractPath, "spam\\rules\\", state.InstallPath);
  RemoveExtractedFolder(unpacked);
}

void DeployGroupware(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  const std::string calendar = state.InstallPath + "calendar\\";
  if (FolderExists(calendar)) {
    CopyWithRetry("calendar.xml", state.ExtractPath + "calendar\\", calendar);
    CopyFolderTree(state.ExtractPath, "calendar\\holidays\\", state.InstallPath);
    CopyFolderTree(state.ExtractPath, "calendar\\doc\\", state.InstallPath);
  } else {
    CopyFolderTree(state.ExtractPath, "calendar\\", state.InstallPath);
  }
  if (!FileExists(calendar + "groupware.db"))
    CopyWithRetry("groupware.db", state.ExtractPath + "calendar\\", calendar);
}

void DeployAntivirus(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  deployment.Progress.SetProgressCaption(Message(TMessage::cInstallingAV));
  const std::string unpacked = state.ExtractPath + "avast\\";
  const std::string avast = state.InstallPath + "avast\\";
  ExtractRequired(deployment, "setupavast.dat", unpacked, true);
  if (FolderExists(avast) && state.ResetAntivirusFolder) {
    KeepProgramFolder(avast);
    DeleteFolderTree(avast);
  }
  // The engine's answers are not acted upon: an engine that will not install
  // leaves the mail server working.
  {
    TAntivirusSetup setup;
    setup.LoadSetupInterface(unpacked);
    setup.InstallEngine(avast);
    setup.UnloadSetupInterface();
  }
  {
    TAntivirusSetup setup;
    setup.LoadSetupInterface(avast + "setup\\");
    setup.UpdateEngineFiles();
    setup.UnloadSetupInterface();
  }
  RemoveExtractedFolder(unpacked);
}

}  // namespace

std::string ModuleArchive(const TDeployment& deployment, const std::string& name) {
  const std::string path =
      DataArchivePath(name, deployment.InstallerFolder, deployment.State.ExtractPath);
  return FileExists(path) ? path : std::string();
}

std::vector<TDistributionPart> DeploymentParts(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  std::vector<TDistributionPart> parts;
  const auto add = [&](const std::string& name, bool required) {
    parts.push_back({name, ModuleArchive(deployment, name), required, true});
  };
  if (state.AdminOnly) {
    add("setupconfig.dat", true);
    return parts;
  }
  if (!state.NoInstallIAS) add("setupas.dat", true);
  if (!state.NoInstallAV) add("setupavast.dat", true);
  const std::string releaseNotes = deployment.InstallerFolder + "releasenotes.txt";
  parts.push_back(
      {"releasenotes.txt", FileExists(releaseNotes) ? releaseNotes : std::string(), true, false});
  add("setupphp.dat", false);
  if (deployment.ComponentSelected(kComponentLdap) && !FolderExists(state.InstallPath + "ldap\\"))
    add("setupldap.dat", false);
  if (deployment.ComponentSelected(kComponentWizards)) add("setupwizard.dat", false);
  if (deployment.ComponentSelected(kComponentSpellChecker)) add("setupaspell.dat", false);
  if (deployment.ComponentSelected(kComponentWebmail)) {
    add("setupwebmail.dat", false);
    add("setupwebmail2.dat", true);
  }
  add("setupfirst.dat", false);
  add("setupcustom.dat", false);
  return parts;
}

void DeployFiles(const TDeployment& deployment) {
  deployment.Progress.SetProgressCaption(Message(TMessage::cInstallFiles));
  CreateInstallFolder(deployment.State.InstallPath);
  if (deployment.State.AdminOnly)
    DeployAdminOnly(deployment);
  else
    DeployFullProduct(deployment);
}

void DeployFullProduct(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  const std::string& install = state.InstallPath;
  for (const char* folder : {"config\\", "xml\\", "doc\\"})
    ForceFolders(install + folder);
  CopyIfPresent(state.InfoXmlPath, install + "xml\\info.xml");
  CopyIfPresent(LanguageState().LanguageFilePath, install + "setup.lng");
  CopyCoreFiles(deployment);
  MoveOldConfigurationFiles(deployment);
  DeployModules(deployment);
  CopyIfPresent(state.ReadmePath, install + "doc\\readme.txt");
  CopyIfPresent(state.LicenseTextPath, install + "doc\\license.txt");
  CopyWithRetry("releasenotes.txt", deployment.InstallerFolder, install + "doc\\");
  if (!FileExists(install + "config\\webserver.dat")) {
    KeepProgramFile(install + "config\\webserver.dat");
    ExpandTemplate(state, state.ExtractPath + "webserver.dat", install + "config\\");
  }
  // An installer started from the installation folder is that copy already.
  if (!SameFolder(deployment.InstallerFolder, install))
    CopyWithRetry(deployment.InstallerFileName, deployment.InstallerFolder, install);
  DeployPhp(deployment);
  DeployLdap(deployment);
  if (deployment.ComponentSelected(kComponentWizards))
    ExtractOptional(deployment, "setupwizard.dat", install + "wizards\\", false);
  DeploySpellChecker(deployment);
  deployment.Progress.StepProgress();
  deployment.Progress.SetProgressCaption(Message(TMessage::cInstallingWeb));
  DeployWebmail(deployment);
  ExtractOptional(deployment, "setupfirst.dat", install, false);
  ExtractOptional(deployment, "setupcustom.dat", install, true);
}

void DeployModules(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  for (const char* tree : {"doc\\", "modules\\", "html\\", "api\\", "examples\\", "xml\\"})
    CopyFolderTree(state.ExtractPath, tree, state.InstallPath);
  if (!state.NoInstallIAS) DeployAntiSpam(deployment);
  if (!state.NoInstallCalendar) DeployGroupware(deployment);
  deployment.Progress.StepProgress();
  if (!state.NoInstallAV) DeployAntivirus(deployment);
}

void DeployAdminOnly(const TDeployment& deployment) {
  ExtractRequired(deployment, "setupconfig.dat", deployment.State.InstallPath, true);
}
