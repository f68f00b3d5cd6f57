#include "app/browse_folder.h"

using ui::ControlKind;

TBrowseFolder::TBrowseFolder() : TForm("TBrowseFolder", "BrowseFolder") {
  SetCaption("Choose Folder");
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(ui::TBorderStyle::Dialog);
  SetBorderIcons({.SystemMenu = true, .Minimize = false, .Maximize = false});
  SetPosition(ui::TFormPosition::ScreenCenter);
  SetKeyPreview(true);

  ChooseLabel = &AddControl(ControlKind::Label, "ChooseLabel", nullptr, {8, 8, 234, 13})
                     .SetText("Please choose the installation folder.");
  PathLabel =
      &AddControl(ControlKind::Label, "PathLabel", nullptr, {8, 30, 234, 13}).SetText("&Path: ");
  PathEdit = &AddControl(ControlKind::Edit, "PathEdit", nullptr, {8, 46, 234, 21});
  PathLabel->SetLinked(PathEdit);
  DirectoriesLabel = &AddControl(ControlKind::Label, "DirectoriesLabel", nullptr, {8, 74, 234, 13})
                          .SetText("&Directories");
  DirectoryListBox =
      &AddControl(ControlKind::DirectoryList, "DirectoryListBox", nullptr, {8, 90, 234, 97});
  DirectoriesLabel->SetLinked(DirectoryListBox);
  DrivesLabel = &AddControl(ControlKind::Label, "DrivesLabel", nullptr, {8, 194, 234, 13})
                     .SetText("Dr&ives:");
  // The drive list drives the folder list.
  DriveComboBox = &AddControl(ControlKind::DriveList, "DriveComboBox", nullptr, {8, 210, 234, 21})
                       .SetLinked(DirectoryListBox);
  DrivesLabel->SetLinked(DriveComboBox);
  Netbutton = &AddControl(ControlKind::Button, "Netbutton", nullptr, {8, 238, 75, 23})
                   .SetText("&Network...");
  OKButton = &AddControl(ControlKind::Button, "OKButton", nullptr, {88, 238, 75, 23})
                  .SetText("&OK")
                  .SetDefault(true)
                  .SetModalResult(ui::TModalResult::Ok);
  CancelButton = &AddControl(ControlKind::Button, "CancelButton", nullptr, {167, 238, 75, 23})
                      .SetText("&Cancel")
                      .SetModalResult(ui::TModalResult::Cancel);
}
