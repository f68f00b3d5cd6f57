// The installer's state: what the wizard pages, the installation run and
// the file deployment share. One instance lives in the main window for the
// whole run. Folder paths end in `\`; short texts hold at most 255
// characters.
#pragma once

#include <string>

// The installer's own version, shown in titles and compared with the
// version an earlier installation recorded.
inline constexpr const char* kSetupVersion = "9.1.5-7";

struct TInstallerState {
  int PageIndex = 0;
  std::string InstallPath;         // empty until the run starts
  std::string ExtractPath;         // short; where the data archive is unpacked
  std::string PreviousVersion;     // short; from the product key, empty when none
  std::string RecordedInstallDir;  // from the product key, empty when none
  bool IsUpgrade = false;          // the chosen folder already holds "config\"
  bool AdminOnly = false;          // only the administration interface is installed
  bool AdvancedInterface = true;   // "advanced.xml" rather than "basic.xml"
  bool ResetAntivirusFolder = false;
  std::string LogsPath;
  std::string DatabaseConnection;

  // From the distribution settings ("info.xml").
  std::string ModuleDownloadUrl;
  std::string FooterText;
  std::string DefaultLanguage;
  std::string InfoXmlPath;  // the file read last, also when it did not exist

  // The language file loaded last and whether the installer's language
  // keys are registered live with the language (LanguageState()).
  std::string LicenseTextPath;
  std::string ReadmePath;

  // Components the user chose not to install.
  bool NoInstallMail = false;      // Webmail (4)
  bool NoInstallIAS = false;       // Anti-Spam (5)
  bool NoInstallAV = false;        // Anti-Virus (6)
  bool NoInstallCalendar = false;  // GroupWare (7)
  bool NoInstallIM = false;        // Instant Messaging / VoIP (8)

  std::string WindowTitle;  // short
};
