#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace platform {

bool DynamicLibrary::Load(const std::string& name) {
  Unload();
  error_.clear();
  handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error_ = why ? why : "cannot load " + name;
  }
  return handle_ != nullptr;
}

void DynamicLibrary::Unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const std::string& name) const {
  return handle_ ? dlsym(handle_, name.c_str()) : nullptr;
}

}  // namespace platform
