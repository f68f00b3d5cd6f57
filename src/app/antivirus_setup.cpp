#include "app/antivirus_setup.h"

#include <cstdint>

#include "platform/files.h"
#include "support/paths.h"

namespace {

constexpr const char* kLibraryName = "setiface.dll";
constexpr const char* kProduct = "Nivalis";
constexpr const char* kInstallerProgram = "avastoem.exe";
constexpr const char* kInstallParameters = "/minicore /noreboot /forceinstall";
constexpr const char* kUpdateParameters = "/overwrite";
constexpr int32_t kMode = 2;
constexpr uint32_t kFilesUpdated = 0x20000000;

#if defined(_WIN32) && !defined(_WIN64)
#define SETIFACE_CALL __stdcall
#else
#define SETIFACE_CALL
#endif
using TInstallProgram = int32_t(SETIFACE_CALL*)(const char* product, const char* installer,
                                                const char* target, const char* parameters,
                                                int32_t mode, uint32_t* result);
using TUpdateFiles = int32_t(SETIFACE_CALL*)(const char* product, const char* parameters,
                                             int32_t mode, uint32_t* result);

// Makes folder the current directory for its lifetime.
class TCurrentFolderScope {
 public:
  explicit TCurrentFolderScope(const std::string& folder) : previous_(platform::CurrentFolder()) {
    platform::SetCurrentFolder(folder);
  }
  ~TCurrentFolderScope() {
    if (!previous_.empty()) platform::SetCurrentFolder(previous_);
  }
  TCurrentFolderScope(const TCurrentFolderScope&) = delete;
  TCurrentFolderScope& operator=(const TCurrentFolderScope&) = delete;

 private:
  std::string previous_;
};

}  // namespace

bool TAntivirusSetup::LoadSetupInterface(const std::string& folder) {
  if (library_.IsLoaded()) return true;
  folder_ = WithPathDelimiter(folder, true, false);
  {
    TCurrentFolderScope scope(folder_);
    library_.Load(folder_ + kLibraryName);
  }
  if (!library_.IsLoaded()) return false;
  install_ = library_.Symbol("setifaceInstallProgram");
  updateFiles_ = library_.Symbol("setifaceUpdateFiles");
  return true;
}

bool TAntivirusSetup::InstallEngine(const std::string& target) {
  if (!library_.IsLoaded() || !install_) return false;
  const std::string targetFolder = WithPathDelimiter(target, false, false);
  if (FileExists(targetFolder + "\\setup\\" + kLibraryName)) return false;
  const std::string installer = folder_ + kInstallerProgram;
  uint32_t result = 0;
  int32_t returned = -1;
  {
    TCurrentFolderScope scope(folder_);
    returned = reinterpret_cast<TInstallProgram>(install_)(
        kProduct, installer.c_str(), targetFolder.c_str(), kInstallParameters, kMode, &result);
  }
  return returned == 0;
}

bool TAntivirusSetup::UpdateEngineFiles() {
  if (!library_.IsLoaded() || !updateFiles_) return false;
  uint32_t result = 0;
  const int32_t returned =
      reinterpret_cast<TUpdateFiles>(updateFiles_)(kProduct, kUpdateParameters, kMode, &result);
  return returned == 0 && result == kFilesUpdated;
}

void TAntivirusSetup::UnloadSetupInterface() {
  library_.Unload();
  install_ = nullptr;
  updateFiles_ = nullptr;
}
