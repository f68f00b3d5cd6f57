// The download of component archives that the selected components need and
// the installer's folder does not hold: the remote component list names the
// download bases and the version the remote archives belong to; each missing
// archive is fetched into the download folder. Any failure aborts the run.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/package_table.h"
#include "ui/control.h"

class TMainForm;
struct TInstallerState;

// Used when the distribution settings name no remote component list.
inline constexpr const char* kDefaultModuleDownloadUrl =
    "http://www.tolvamail.com/download/modules/server.xml";
// A remote component list larger than this is not read.
inline constexpr size_t kMaxComponentListSize = 1024 * 1024;

using TDownloadList = std::vector<std::string>;

// What the download works on.
struct TComponentDownload {
  const ui::TControl* Tree = nullptr;  // the components tree: the selection
  bool AdminOnly = false;
  std::string SetupVersion;
  // Empty: the default address is used and written back.
  std::string* ModuleDownloadUrl = nullptr;
  std::string InstallerFolder;  // ends in `\`; archives beside the installer
  std::string DownloadFolder;   // ends in `\`; made when missing
  ui::TControl* ProgressBar = nullptr;
  ui::TControl* PageCaption = nullptr;
  ui::TControl* StatusText = nullptr;  // the installing page's status line
  // Picks an index in [0, count); a uniform random choice unless a test
  // gives another.
  std::function<size_t(size_t count)> PickIndex;
  // Fetches an address into a temporary file; HttpDownload unless a test
  // gives another.
  std::function<bool(const std::string& url, std::string& result)> Fetch;
};

// Ends the run: BoxText for the error box, LogText for the setup log.
class TDownloadAborted : public std::runtime_error {
 public:
  TDownloadAborted(std::string boxText, std::string logText)
      : std::runtime_error(logText), BoxText(std::move(boxText)), LogText(std::move(logText)) {}
  std::string BoxText;
  std::string LogText;
};

// Appends each package's file name that the installer's folder lacks and
// the list does not hold yet.
void AddMissingPackages(const TPackageList& packages, const std::string& installerFolder,
                        TDownloadList& downloadList);

// Works out the missing archives of the selection and fetches them; returns
// the names fetched. Throws TDownloadAborted.
TDownloadList DownloadMissingComponents(TComponentDownload& download);

// Fetches the remote component list and every name of the list into the
// download folder, showing progress. Throws TDownloadAborted.
void DownloadPackages(TComponentDownload& download, const TDownloadList& downloadList);

// Where data archive name is: the installer's folder when it holds it, else
// the download folder (where DownloadPackages puts what it fetches).
std::string DataArchivePath(const std::string& name, const std::string& installerFolder,
                            const std::string& downloadFolder);

// For the installation run: the download with the main window's tree,
// progress bar and captions, into ExtractPath. An abort shows the error box,
// writes "Error: Setup aborted - " and the message to the setup log, and ends
// the program with kExitFailedBeforeInstall.
void DownloadMissingComponents(TMainForm& form);

// The path of data archive name for the run and the deployment: beside the
// installer when it is there, else where the download put it.
std::string DataArchivePath(const TInstallerState& state, const std::string& name);
