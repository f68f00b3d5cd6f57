#include "ui/win32/native_backend.h"

#include "ui/win32/win32_backend.h"

namespace ui {

std::unique_ptr<TBackend> MakeNativeBackend() {
  return std::make_unique<TWin32Backend>();
}

}  // namespace ui
