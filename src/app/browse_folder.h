// The folder chooser of the destination page.
#pragma once

#include <string>
#include <vector>

#include "ui/form.h"

class TBrowseFolder : public ui::TForm {
 public:
  static constexpr int kClientWidth = 250;
  static constexpr int kClientHeight = 266;

  TBrowseFolder();

  ui::TControl* ChooseLabel = nullptr;
  ui::TControl* PathLabel = nullptr;
  ui::TControl* PathEdit = nullptr;
  ui::TControl* DirectoriesLabel = nullptr;
  ui::TControl* DirectoryListBox = nullptr;
  ui::TControl* DrivesLabel = nullptr;
  ui::TControl* DriveComboBox = nullptr;
  ui::TControl* Netbutton = nullptr;
  ui::TControl* OKButton = nullptr;
  ui::TControl* CancelButton = nullptr;

  // The folder the folder list shows, ending in `\`, and the folder each of
  // its lines stands for.
  std::string CurrentFolder;
  std::vector<std::string> FolderPaths;
};
