#include "localization/message_table.h"

#include <array>
#include <stdexcept>

namespace {

struct TMessageDefinition {
  const char* Key;
  const char* English;
};

constexpr std::array<TMessageDefinition, kMessageCount> kMessages = {{
    {"cName", "Nivalis Tolva Mail Server"},
    {"cOldName", "Tolva Mail Server"},
    {"cDoYouExit", "Do you wish to cancel this installation?"},
    {"cDoYouExitTitle", "Exit Setup"},
    {"UninstallDesc", "Uninstall"},
    {"cTolvaWebmail", "VizUdid Azadi"},
    {"cTolvaWebmail2", "VevErod Oro"},
    {"cTolvaWebAdmin", "WebAdmin"},
    {"LinkDesc",
     "Administration\r\nReadme\r\nHelp\r\nDNS Query Tool\r\nQuick Start\r\nVevErod Oro Guide"},
    {"TolvaSMTPLinkDesc", "Start SMTP Service"},
    {"TolvaPOP3LinkDesc", "Start POP3 / IMAP Service"},
    {"TolvaControlLinkDesc", "Start Control / HTTP Service"},
    {"TolvaIMLinkDesc", "Start IM / VoIP Service"},
    {"TolvaGWLinkDesc", "Start GroupWare Service"},
    {"ServerDesktopTitle", "Nivalis Server Administration"},
    {"cSetup", "%s Setup"},
    {"cInstallQ", "This will install %s. Do you wish to continue?"},
    {"cInstallLicenseQ",
     "By installing this software you agree with the software license agreement. Do you wish "
     "to continue?"},
    {"cDownloadingFiles", "Downloading Files..."},
    {"cUnInstallQ", "Are you sure to completely remove all files and components of this program?"},
    {"cComplete", "The setup of %s is complete."},
    {"cCompleteRemove",
     "Uninstall completed. Some elements could not be removed. You should manually remove the "
     "items from the directory."},
    {"cInternet", "Is this computer connected to the Internet now?"},
    {"cNotRunning",
     "The following service(s) could not be started:\r\n%s\r\nThere must be already running some "
     "other service(s) on the same TCP/IP port(s). Please, make sure no other SMTP or POP3 "
     "servers are running (including MS SMTP and Norton POP3)."},
    {"cTutorialCaption", "Installation Wizard"},
    {"cInformation", "Information"},
    {"cError", "Error"},
    {"cErrorDir", "Directory could not be created: "},
    {"cErrorFile",
     "An error occured while copying file '%s'.\r\n%s\r\nDo you want to retry or cancel the "
     "installation?"},
    {"cErrorDataFile", "Extracting files error: data file error"},
    {"cServiceError", "Service error: "},
    {"cRegistryError", "Registry error: "},
    {"cErrorText",
     "\r\nThere might be already some service running on the same TCP/IP port. Make sure MS "
     "SMTP, Norton Antivirus POP3 or some other mail server is not running on this machine."},
    {"cQuestion", "Question"},
    {"cNewerVersion",
     "There is new %s %s version on the Internet. It is suggested to download and use the "
     "latest version instead. Do you want to download it now?"},
    {"cExtractingFiles", "Extracting Files..."},
    {"cInstalling", "Installing Services..."},
    {"cStarting", "Starting Services..."},
    {"cFinishing", "Finishing Installation..."},
    {"cUnInstalling", "Removing Services..."},
    {"cStopping", "Stopping Services..."},
    {"cChecking", "Checking For Running Services..."},
    {"cFinished", "Installation Complete"},
    {"cInstallFiles", "Installing Files..."},
    {"cInstallingAV", "Installing Antivirus Engine..."},
    {"cCreatingIcons", "Creating Icons..."},
    {"cInstallingWeb", "Installing WebMail..."},
    {"cYes", "&Yes"},
    {"cNo", "&No"},
    {"cBack", "< &Back"},
    {"cNext", "&Next >"},
    {"cCancel", "&Cancel"},
    {"cInstallC", "&Install"},
    {"cPSetup", "%s %s Setup"},
    {"cFinish", "&Finish"},
    {"cSLA", "Software License Agreement"},
    {"cCredentials", "User/Company Details"},
    {"cStartCopyingFiles", "Start The Installation Process"},
    {"cInstallingFiles", "Installing"},
    {"cUpdateSetup", "Upgrade Setup."},
    {"cSetupType", "Setup Type"},
    {"cComponentSetup", "Components To Install"},
    {"cSetupFinished", "Setup Complete"},
    {"DemoMsgSubject", "Demonstration message"},
    {"DemoMsg", "Demonstration message"},
    {"cDownloadError",
     "Could not download file %s from the Internet.\r\nPlease, check your Internet connection "
     "and make sure the URL %s is working properly."},
    {"cDownloadErrorMove",
     "Could not move downloaded file %s. Please, check your directory rights."},
    {"cDownloadErrorVersion",
     "The setup version %s does not match the version %s of the remote components on the "
     "server. Please, download the latest setup."},
    {"WPrimaryDomain", "Primary Domain"},
    {"WHostName", "Host Name"},
    {"WAdministrator", "Administrator"},
    {"WWizardComplete", "Wizard Complete"},
    {"", "Database connection test successful."},
}};

constexpr std::array<const char*, kFixedFileNameCount> kFixedFileNames = {
    "smtp.exe",
    "pop3.exe",
    "control.exe",
    "config.exe",
    "dnsquery.exe",
    "tool.exe",
    "sendmail.exe",
    "api.dll",
    "libeay32.dll",
    "libssl32.dll",
    "db.dll",
    "regex.dll",
    "sqlite3.dll",
    "libiconv.dll",
    "config.exe",
    "doc\\readme.txt",
    "doc\\manual.chm",
    "dnsquery.exe",
    "doc\\quickstart.pdf",
    "doc\\webmailguide.pdf",
};

std::array<std::string, kMessageCount>& Table() {
  static std::array<std::string, kMessageCount> table = [] {
    std::array<std::string, kMessageCount> initial;
    for (size_t i = 0; i < kMessageCount; ++i)
      initial[i] = kMessages[i].English;
    return initial;
  }();
  return table;
}

size_t IndexOf(TMessage id) {
  size_t index = static_cast<size_t>(id);
  if (index >= kMessageCount) throw std::out_of_range("no such message");
  return index;
}

}  // namespace

std::string& Message(TMessage id) {
  return Table()[IndexOf(id)];
}

const char* MessageKey(TMessage id) {
  return kMessages[IndexOf(id)].Key;
}

const char* MessageDefault(TMessage id) {
  return kMessages[IndexOf(id)].English;
}

void ResetMessageTable() {
  for (size_t i = 0; i < kMessageCount; ++i)
    Table()[i] = kMessages[i].English;
}

const std::string& FixedFileName(size_t position) {
  static const std::array<std::string, kFixedFileNameCount> names = [] {
    std::array<std::string, kFixedFileNameCount> initial;
    for (size_t i = 0; i < kFixedFileNameCount; ++i)
      initial[i] = kFixedFileNames[i];
    return initial;
  }();
  if (position >= kFixedFileNameCount) throw std::out_of_range("no such fixed file name");
  return names[position];
}

const std::string& ProgramFileName(size_t index) {
  if (index >= kProgramFileCount) throw std::out_of_range("no such program file");
  return FixedFileName(index);
}

const std::string& ShortcutTargetName(size_t index) {
  if (index >= kShortcutTargetCount) throw std::out_of_range("no such shortcut target");
  return FixedFileName(kProgramFileCount + index);
}
