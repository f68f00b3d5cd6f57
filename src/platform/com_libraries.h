// Entries of in-process COM libraries called by name, as their
// self-registration ("DllRegisterServer") is.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct LibraryEntryCall {
  bool Loaded = false;  // the library could be loaded
  bool Found = false;   // it exports the entry
  int32_t Result = 0;   // what the entry returned (an HRESULT)
};

class ComLibraries {
 public:
  virtual ~ComLibraries() = default;
  // Loads the library, calls the entry without arguments, unloads it.
  virtual LibraryEntryCall CallEntry(const std::string& path, const std::string& entry) = 0;
};

ComLibraries& CurrentComLibraries();
ComLibraries* InstallComLibraries(ComLibraries* libraries);

}  // namespace platform
