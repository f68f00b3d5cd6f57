#include "platform/dynamic_library.h"

#include <windows.h>

#include "platform/files.h"

namespace platform {

bool DynamicLibrary::Load(const std::string& name) {
  Unload();
  error_.clear();
  handle_ = reinterpret_cast<void*>(LoadLibraryA(name.c_str()));
  if (!handle_) error_ = SystemErrorText(GetLastError());
  return handle_ != nullptr;
}

void DynamicLibrary::Unload() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const std::string& name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
}

}  // namespace platform
