// The system's own user interface as a backend, for programs that must not
// see <windows.h> themselves.
#pragma once

#include <memory>

#include "ui/backend.h"

namespace ui {

// Installed as the current backend while it lives.
std::unique_ptr<TBackend> MakeNativeBackend();

}  // namespace ui
