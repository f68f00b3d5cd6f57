#include "app/folder_chooser.h"

#include <algorithm>

#include "app/escape_key.h"
#include "localization/message_table.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "support/paths.h"
#include "support/text.h"
#include "ui/backend.h"
#include "ui/events.h"

namespace {

constexpr int kIndentPerLevel = 2;

// Length of the folder's root: "C:\", "\\server\share\" or "\".
size_t RootLength(const std::string& folder) {
  if (folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\') {
    size_t at = folder.find('\\', 2);
    if (at != std::string::npos) at = folder.find('\\', at + 1);
    return at == std::string::npos ? folder.size() : at + 1;
  }
  if (folder.size() >= 3 && folder[1] == ':') return 3;
  return folder.empty() ? 0 : 1;
}

// The path field shows folders without their last `\`, roots as they are.
std::string FieldText(const std::string& folder) {
  return folder.size() <= RootLength(folder) ? folder : WithPathDelimiter(folder, false, false);
}

// The nearest folder of the path that exists, or "" when none does.
std::string ExistingFolderOf(const std::string& path) {
  std::string folder = WithPathDelimiter(Trim(path), true, false);
  while (!folder.empty()) {
    if (FolderExists(folder)) return folder;
    if (folder.size() <= RootLength(folder)) break;
    folder = ExtractFilePath(WithPathDelimiter(folder, false, false));
  }
  return "";
}

void ShowDrives(TBrowseFolder& chooser) {
  const std::vector<std::string> drives = platform::CurrentShell().Drives();
  chooser.DriveComboBox->SetItems(drives);
  const std::string root = chooser.CurrentFolder.substr(0, RootLength(chooser.CurrentFolder));
  const auto match = std::find_if(drives.begin(), drives.end(),
                                  [&](const std::string& drive) { return SameText(drive, root); });
  chooser.DriveComboBox->SetItemIndex(
      match == drives.end() ? -1 : static_cast<int>(match - drives.begin()));
}

void ChooseListedFolder(TBrowseFolder& chooser) {
  const int index = chooser.DirectoryListBox->ItemIndex();
  if (index < 0 || static_cast<size_t>(index) >= chooser.FolderPaths.size()) return;
  const std::string folder = chooser.FolderPaths[index];
  chooser.PathEdit->SetText(FieldText(folder));
  ShowFolder(chooser, folder);
}

void ChooseDrive(TBrowseFolder& chooser) {
  const int index = chooser.DriveComboBox->ItemIndex();
  if (index < 0) return;
  const std::string root = chooser.DriveComboBox->Item(index);
  chooser.PathEdit->SetText(root);
  ShowFolder(chooser, root);
}

void CloseQuery(TBrowseFolder& chooser, bool& canClose) {
  if (chooser.ModalResult() != ui::TModalResult::Ok) return;
  const std::string path = chooser.PathEdit->Text();
  // An empty destination is no folder to install into.
  if (Trim(path).empty()) {
    canClose = false;
    return;
  }
  if (FolderExists(WithPathDelimiter(path, true, false))) return;
  const std::string question = "The Folder:\r\n\r\n'" + path + "'" + "\r\n\r\n" +
                               "does not exist. Do you want the folder to be created?";
  canClose = ui::ShowMessageBox(question, "Setup", ui::TMessageButtons::YesNo,
                                ui::TMessageIcon::Question) == ui::TModalResult::Yes;
}

}  // namespace

void ShowFolder(TBrowseFolder& chooser, const std::string& folder) {
  const std::string current = WithPathDelimiter(folder, true, false);
  chooser.CurrentFolder = current;
  std::vector<std::string> lines;
  std::vector<std::string> paths;
  const size_t root = RootLength(current);
  size_t level = 0;
  if (root > 0) {
    lines.push_back(current.substr(0, root));
    paths.push_back(current.substr(0, root));
    for (size_t start = root; start < current.size();) {
      const size_t end = current.find('\\', start);
      if (end == std::string::npos) break;
      ++level;
      lines.push_back(std::string(level * kIndentPerLevel, ' ') +
                      current.substr(start, end - start));
      paths.push_back(current.substr(0, end + 1));
      start = end + 1;
    }
  }
  const int currentLine = static_cast<int>(lines.size()) - 1;
  std::vector<std::string> subfolders;
  for (const platform::FolderEntry& entry : platform::ListFolder(current, "*.*"))
    if (entry.IsFolder) subfolders.push_back(entry.Name);
  std::sort(subfolders.begin(), subfolders.end(),
            [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
  for (const std::string& name : subfolders) {
    lines.push_back(std::string((level + 1) * kIndentPerLevel, ' ') + name);
    paths.push_back(current + name + "\\");
  }
  chooser.FolderPaths = std::move(paths);
  chooser.DirectoryListBox->SetItems(lines);
  chooser.DirectoryListBox->SetItemIndex(currentLine);
  ShowDrives(chooser);
}

void BindFolderChooser(TBrowseFolder& chooser) {
  chooser.OnShow = [&chooser](ui::TForm&) {
    chooser.PathEdit->SetFocus();
    chooser.PathEdit->SelectAll();
  };
  chooser.DirectoryListBox->OnChange = [&chooser](ui::TControl&) { ChooseListedFolder(chooser); };
  chooser.DriveComboBox->OnChange = [&chooser](ui::TControl&) { ChooseDrive(chooser); };
  chooser.Netbutton->OnClick = [&chooser](ui::TControl&) {
    if (platform::CurrentShell().NetworkDriveDialog(nullptr)) ShowDrives(chooser);
  };
  CancelOnEscape(chooser);
  chooser.OnCloseQuery = [&chooser](ui::TForm&, bool& canClose) { CloseQuery(chooser, canClose); };
}

void BrowseButtonClick(TMainForm& form, TBrowseFolder& chooser) {
  const std::string destination = form.PathEdit->Text();
  chooser.PathEdit->SetText(destination);
  std::string start = ExistingFolderOf(destination);
  if (start.empty()) {
    const std::vector<std::string> drives = platform::CurrentShell().Drives();
    start = drives.empty() ? "" : drives.front();
  }
  ShowFolder(chooser, start);
  chooser.PathEdit->SetFocus();
  chooser.PathEdit->SelectAll();
  if (ui::ShowModal(chooser) == ui::TModalResult::Ok)
    form.PathEdit->SetText(chooser.PathEdit->Text());
}
