#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include "platform/files.h"

namespace platform {

bool DynamicLibrary::Load(const std::string& name) {
  Unload();
  error_.clear();
  // A path names the library with `\` as everywhere else; a bare name is
  // searched for by the system.
  handle_ = dlopen(NativePath(name).c_str(), RTLD_NOW | RTLD_LOCAL);
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
