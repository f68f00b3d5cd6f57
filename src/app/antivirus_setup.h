// The antivirus engine's own setup library ("setiface.dll"), through which
// the engine installs itself and refreshes its files. It is held loaded by
// one instance at a time; results are reported, never shown.
#pragma once

#include <string>

#include "platform/dynamic_library.h"

class TAntivirusSetup {
 public:
  TAntivirusSetup() = default;
  TAntivirusSetup(const TAntivirusSetup&) = delete;
  TAntivirusSetup& operator=(const TAntivirusSetup&) = delete;
  ~TAntivirusSetup() { UnloadSetupInterface(); }

  // Loads folder + "setiface.dll" with folder as the current directory (the
  // library finds its companions there); true when it is loaded, also when
  // it already was.
  bool LoadSetupInterface(const std::string& folder);
  // Installs the engine into target unless target\setup\setiface.dll shows
  // it is installed already; true when the library reported success.
  bool InstallEngine(const std::string& target);
  // Brings the installed engine's files up to date.
  bool UpdateEngineFiles();
  void UnloadSetupInterface();

 private:
  platform::DynamicLibrary library_;
  std::string folder_;
  void* install_ = nullptr;
  void* updateFiles_ = nullptr;
};
