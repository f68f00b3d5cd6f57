// The check pictures of a tree view's state image list, drawn at run time.
// The installer's nodes name their picture by index: 0 checked,
// 1 unchecked, 2 unchecked and greyed, 3 partly checked.
#pragma once

#include "ui/win32/win32_api.h"

namespace ui::win32 {

// A state image list of size x size pictures; nullptr if the system
// refuses. Image 0 stays empty: a tree's state image 0 means "none".
HIMAGELIST CreateCheckImages(int size);

// The state image (1-based, 0: none) for a node's picture index.
int StateImageOf(int pictureIndex);
// The picture index shown by a state image; -1 for none.
int PictureIndexOf(int stateImage);

}  // namespace ui::win32
