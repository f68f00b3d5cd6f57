// The pictures of the installer, drawn at run time with GDI so that they
// stay sharp at any DPI and need no files: the welcome page's tall image,
// the header logo and the program icon.
#pragma once

#include <string_view>

#include "ui/win32/win32_api.h"

namespace ui::win32 {

// Draws the named picture ("WELCOME", "LOGO", "MAINICON", and the
// shortcuts' "UNINSTALLICON" and "WEBICON") stretched over the rectangle. Returns false, drawing
// nothing, for an unknown name.
bool DrawPicture(HDC dc, const RECT& area, std::string_view name);

// The named picture as an icon of size x size pixels; nullptr when the
// name is unknown or the system refuses. The caller destroys it.
HICON CreatePictureIcon(std::string_view name, int size);

}  // namespace ui::win32
