// The folder chooser of the destination page: a path field, the folders of
// the current folder and its parents, the drives, and the system's dialog
// for network drives.
#pragma once

#include "app/browse_folder.h"
#include "app/main_form.h"

// Shows the chooser with the destination shown on the page; on OK the page
// shows the path as the user typed or chose it.
void BrowseButtonClick(TMainForm& form, TBrowseFolder& chooser);

// The folder list shows folder's parents and its subfolders.
void ShowFolder(TBrowseFolder& chooser, const std::string& folder);
// Binds the chooser's handlers.
void BindFolderChooser(TBrowseFolder& chooser);
