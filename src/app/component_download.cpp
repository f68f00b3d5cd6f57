#include "app/component_download.h"

#include <algorithm>
#include <random>

#include "app/installer_state.h"
#include "app/main_form.h"
#include "components/component_state.h"
#include "localization/message_table.h"
#include "net/http_download.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support/exit_codes.h"
#include "support/file_io.h"
#include "support/format_text.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/search.h"
#include "support/setup_log.h"
#include "support/xml_object.h"
#include "ui/backend.h"

namespace {

bool Contains(const TDownloadList& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

size_t PickIndex(TComponentDownload& download, size_t count) {
  if (download.PickIndex) return download.PickIndex(count) % count;
  static std::mt19937_64 generator{std::random_device{}()};
  return std::uniform_int_distribution<size_t>(0, count - 1)(generator);
}

bool Fetch(TComponentDownload& download, const std::string& url, std::string& result) {
  if (download.Fetch) return download.Fetch(url, result);
  return HttpDownload(url, false, "", result);
}

void Step(ui::TControl* progressBar) {
  if (progressBar) progressBar->SetPosition(progressBar->Position() + 1);
  platform::ProcessPendingMessages();
}

// Puts the fetched file in place, replacing a stale file of an earlier run;
// a copy when the two folders lie on different volumes.
bool PutInPlace(const std::string& fetched, const std::string& destination) {
  if (platform::ReplaceWith(fetched, destination)) return true;
  if (platform::CopyOneFile(fetched, destination, false)) {
    platform::RemoveFile(fetched);
    return true;
  }
  platform::RemoveFile(destination);
  platform::RemoveFile(fetched);
  return false;
}

// The text of the remote component list, at most kMaxComponentListSize.
std::string ReadComponentList(const std::string& fileName) {
  platform::File file;
  if (!file.Open(fileName, platform::FileMode::Read)) return std::string();
  bool tooLarge = file.Size() > kMaxComponentListSize;
  file.Close();
  if (tooLarge) {
    platform::RemoveFile(fileName);
    return std::string();
  }
  return ReadFileToString(fileName, true);
}

// Keeps the caption, the status text and the progress bar's range for the
// duration of the download.
class TProgressState {
 public:
  explicit TProgressState(TComponentDownload& download) : download_(download) {
    if (download.ProgressBar) max_ = download.ProgressBar->Max();
    if (download.PageCaption) caption_ = download.PageCaption->Text();
    if (download.StatusText) status_ = download.StatusText->Text();
  }
  void Restore() {
    if (download_.ProgressBar) {
      download_.ProgressBar->SetPosition(0);
      download_.ProgressBar->SetRange(download_.ProgressBar->Min(), max_);
    }
    if (download_.PageCaption) download_.PageCaption->SetText(caption_);
    if (download_.StatusText) download_.StatusText->SetText(status_);
    platform::ProcessPendingMessages();
  }

 private:
  TComponentDownload& download_;
  int max_ = 0;
  std::string caption_;
  std::string status_;
};

}  // namespace

void AddMissingPackages(const TPackageList& packages, const std::string& installerFolder,
                        TDownloadList& downloadList) {
  for (const TPackageItem& package : packages) {
    if (FileExists(installerFolder + package.FileName)) continue;
    if (!Contains(downloadList, package.FileName)) downloadList.push_back(package.FileName);
  }
}

TDownloadList DownloadMissingComponents(TComponentDownload& download) {
  TDownloadList downloadList;
  for (int id = 0; id <= 11; ++id) {
    if (download.Tree && ComponentSelected(*download.Tree, id))
      AddMissingPackages(PackagesOf(id), download.InstallerFolder, downloadList);
  }
  const std::string adminArchive = PackagesOf(1).front().FileName;
  const bool hadAdminArchive = Contains(downloadList, adminArchive);
  if (download.AdminOnly) {
    downloadList.clear();
    if (hadAdminArchive) downloadList.push_back(adminArchive);
  } else {
    std::erase(downloadList, adminArchive);
    if (!Contains(downloadList, PackagesOf(0).front().FileName))
      AddMissingPackages(PackagesOf(0), download.InstallerFolder, downloadList);
  }
  if (!downloadList.empty()) DownloadPackages(download, downloadList);
  return downloadList;
}

void DownloadPackages(TComponentDownload& download, const TDownloadList& downloadList) {
  TProgressState saved(download);
  if (download.ProgressBar)
    download.ProgressBar->SetRange(download.ProgressBar->Min(),
                                   static_cast<int>(2 * downloadList.size()));
  const std::string& downloading = Message(TMessage::cDownloadingFiles);
  if (download.PageCaption) download.PageCaption->SetText(downloading);
  if (download.StatusText) download.StatusText->SetText(downloading);
  platform::ProcessPendingMessages();

  std::string defaultUrl;
  std::string& listUrl = download.ModuleDownloadUrl ? *download.ModuleDownloadUrl : defaultUrl;
  if (listUrl.empty()) listUrl = kDefaultModuleDownloadUrl;

  std::string listFile;
  std::string text;
  if (Fetch(download, listUrl, listFile) && !listFile.empty()) text = ReadComponentList(listFile);
  if (text.empty()) {
    std::string message = FormatText(Message(TMessage::cDownloadError), {listUrl, listUrl});
    std::string box = message + "\r\n";
    for (const std::string& name : downloadList)
      box += name + "\r\n";
    throw TDownloadAborted(box, message);
  }

  TXMLObject document;
  document.Parse(text);
  std::string urls, version;
  if (!document.Children.empty()) {
    const TXMLObject* list = document.Children.front().get();
    urls = list->GetChildText("URL", kXMLEntitiesUtf8);
    version = list->GetChildText("VERSION", kXMLEntitiesUtf8);
  }
  std::vector<std::string> bases;
  for (size_t start = 0; !urls.empty();) {
    size_t end = urls.find(';', start);
    bases.push_back(urls.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  // One base at random among all but the last, which a trailing ";" leaves
  // empty; a single base is used as it is.
  std::string base;
  if (bases.size() == 1) base = bases.front();
  if (bases.size() > 1) base = bases[PickIndex(download, bases.size() - 1)];

  if (version.empty() || !WildcardMatch(download.SetupVersion, version)) {
    std::string message =
        FormatText(Message(TMessage::cDownloadErrorVersion), {download.SetupVersion, version});
    throw TDownloadAborted(message, message);
  }

  ForceFolders(download.DownloadFolder);
  for (const std::string& name : downloadList) {
    Step(download.ProgressBar);
    std::string fetched;
    if (!Fetch(download, base + name, fetched) || fetched.empty()) {
      std::string message = FormatText(Message(TMessage::cDownloadError), {name, base});
      throw TDownloadAborted(message, message);
    }
    if (!PutInPlace(fetched, download.DownloadFolder + name)) {
      std::string message = FormatText(Message(TMessage::cDownloadErrorMove), {name});
      throw TDownloadAborted(message, message);
    }
    Step(download.ProgressBar);
  }
  saved.Restore();
}

std::string DataArchivePath(const std::string& name, const std::string& installerFolder,
                            const std::string& downloadFolder) {
  if (FileExists(installerFolder + name)) return installerFolder + name;
  return downloadFolder + name;
}

void DownloadMissingComponents(TMainForm& form) {
  TInstallerState& state = form.State;
  TComponentDownload download;
  download.Tree = form.ComponentsList;
  download.AdminOnly = state.AdminOnly;
  download.SetupVersion = kSetupVersion;
  download.ModuleDownloadUrl = &state.ModuleDownloadUrl;
  download.InstallerFolder = ProgramFolder();
  download.DownloadFolder = state.ExtractPath;
  download.ProgressBar = form.ProgressBar;
  download.PageCaption = form.PageCaption;
  download.StatusText = form.InstallPanelText;
  try {
    DownloadMissingComponents(download);
  } catch (const TDownloadAborted& aborted) {
    ui::ShowMessageBox(aborted.BoxText, Message(TMessage::cError), ui::TMessageButtons::Ok,
                       ui::TMessageIcon::Error);
    WriteSetupLog("Error: Setup aborted - " + aborted.LogText);
    EndProgram(kExitFailedBeforeInstall);
  }
}

std::string DataArchivePath(const TInstallerState& state, const std::string& name) {
  return DataArchivePath(name, ProgramFolder(), state.ExtractPath);
}
