// Libraries loaded by name at run time (LoadLibrary / dlopen).
#pragma once

#include <string>

namespace platform {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  explicit DynamicLibrary(const std::string& name) { Load(name); }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  ~DynamicLibrary() { Unload(); }

  // Loads the library (a name or a path); unloads any library held before.
  bool Load(const std::string& name);
  void Unload();
  bool IsLoaded() const { return handle_ != nullptr; }
  void* Symbol(const std::string& name) const;
  template <class Function>
  Function SymbolAs(const std::string& name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }
  // Why the last Load failed, as the system says it.
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace platform
