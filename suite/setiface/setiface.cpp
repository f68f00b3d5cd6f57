// The stand-in for the antivirus engine's setup library "setiface.dll". It
// exports the engine's seven entries by their plain names, appends every call
// with its arguments to a log (call_log.h), and does what the installer and
// the uninstall rely on with the engine's files (engine_files.h).
//
// Every entry returns 0 when it succeeded, otherwise one of the
// TSetifaceStatus codes; nothing is thrown across the library's boundary.
// Result variables receive kEngineDone (0x20000000) where an entry reports
// a finished operation. Strings are zero-terminated ANSI strings.
//
//   setifaceInstallProgram(product, installer, target, parameters, mode, result)
//       installer: full path of the engine's installer ("avastoem.exe" in
//       this library's folder), which must exist; target: the engine's folder
//       without trailing `\`. Copies every file of this library's folder into
//       target + "\setup\" and sets *result to kEngineDone.
//   setifaceUpdatePackages(product, parameters, mode, result)
//   setifaceUpdateFiles(product, parameters, mode, result)
//       Nothing to fetch: set *result to kEngineDone.
//   setifaceUninstallProgram(product, reserved, mode, result)
//       Removes what the install copied into this library's folder (the
//       library itself stays until its caller unloads it and removes the
//       engine's folder) and sets *result to kEngineDone.
//   setifaceGimmePathToSetifaceVpu(buffer, size)
//       Writes the path of the engine's update package, this library's
//       folder + "\setiface.vpu", into buffer (size bytes, terminator
//       included).
//   setifaceGetPartVersions(buffer, size)
//       Writes the versions of the engine's parts as "name=version" items
//       separated by `;`.
//   setifaceCheckUpdate(product, mode, result)
//       Sets *result to 0: no update is waiting.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "call_log.h"
#include "engine_files.h"

namespace {

constexpr uint32_t kEngineDone = 0x20000000;
constexpr uint32_t kNoUpdate = 0;
constexpr const char* kPartVersions = "setiface=9.1.5;engine=4.8.1169;definitions=261210-0";
constexpr const char* kUpdatePackage = "setiface.vpu";

// Runs an entry's work so that no exception leaves the library.
template <typename Work>
int32_t Guarded(Work work) {
  try {
    return work();
  } catch (...) {
    return kSetifaceInternalError;
  }
}

int32_t CopyOut(const std::string& text, char* buffer, uint32_t size) {
  if (!buffer) return kSetifaceMissingArgument;
  if (text.size() >= size) {
    if (size > 0) buffer[0] = '\0';
    return kSetifaceBufferTooSmall;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return kSetifaceDone;
}

// The two update entries share their contract.
int32_t Update(const char* entry, const char* product, const char* parameters, int32_t mode,
               uint32_t* result) {
  return Guarded([&] {
    AppendCallLog(TCallLine(entry).Text(product).Text(parameters).Number(mode).Result(result));
    if (!product || !parameters || !result) return int32_t{kSetifaceMissingArgument};
    *result = kEngineDone;
    return int32_t{kSetifaceDone};
  });
}

}  // namespace

#define SETIFACE_ENTRY extern "C" __declspec(dllexport) int32_t WINAPI

SETIFACE_ENTRY setifaceInstallProgram(const char* product, const char* installer,
                                      const char* target, const char* parameters, int32_t mode,
                                      uint32_t* result) {
  return Guarded([&] {
    const std::string engineFolder = target ? WithoutTrailingDelimiter(target) : std::string();
    // The engine's folder lies in the installation, whose log this is.
    AppendCallLog(TCallLine("setifaceInstallProgram")
                      .Text(product)
                      .Text(installer)
                      .Text(target)
                      .Text(parameters)
                      .Number(mode)
                      .Result(result),
                  ParentFolder(engineFolder));
    if (!product || !installer || !parameters || !result || engineFolder.empty())
      return int32_t{kSetifaceMissingArgument};
    if (!FileExists(installer)) return int32_t{kSetifaceMissingSource};
    const std::string source = ParentFolder(OwnLibraryPath());
    if (source.empty()) return int32_t{kSetifaceMissingSource};
    const int32_t status = InstallEngineFiles(source, engineFolder + "\\setup");
    if (status == kSetifaceDone) *result = kEngineDone;
    return status;
  });
}

SETIFACE_ENTRY setifaceUpdatePackages(const char* product, const char* parameters, int32_t mode,
                                      uint32_t* result) {
  return Update("setifaceUpdatePackages", product, parameters, mode, result);
}

SETIFACE_ENTRY setifaceUpdateFiles(const char* product, const char* parameters, int32_t mode,
                                   uint32_t* result) {
  return Update("setifaceUpdateFiles", product, parameters, mode, result);
}

SETIFACE_ENTRY setifaceUninstallProgram(const char* product, int32_t reserved, int32_t mode,
                                        uint32_t* result) {
  return Guarded([&] {
    AppendCallLog(TCallLine("setifaceUninstallProgram")
                      .Text(product)
                      .Number(reserved)
                      .Number(mode)
                      .Result(result));
    if (!product || !result) return int32_t{kSetifaceMissingArgument};
    const std::string self = OwnLibraryPath();
    const int32_t status = RemoveEngineFiles(ParentFolder(self), self);
    if (status == kSetifaceDone) *result = kEngineDone;
    return status;
  });
}

SETIFACE_ENTRY setifaceGimmePathToSetifaceVpu(char* buffer, uint32_t size) {
  return Guarded([&] {
    AppendCallLog(TCallLine("setifaceGimmePathToSetifaceVpu").Buffer(buffer).Number(size));
    const std::string folder = ParentFolder(OwnLibraryPath());
    if (folder.empty()) return int32_t{kSetifaceMissingSource};
    return CopyOut(folder + "\\" + kUpdatePackage, buffer, size);
  });
}

SETIFACE_ENTRY setifaceGetPartVersions(char* buffer, uint32_t size) {
  return Guarded([&] {
    AppendCallLog(TCallLine("setifaceGetPartVersions").Buffer(buffer).Number(size));
    return CopyOut(kPartVersions, buffer, size);
  });
}

SETIFACE_ENTRY setifaceCheckUpdate(const char* product, int32_t mode, uint32_t* result) {
  return Guarded([&] {
    AppendCallLog(TCallLine("setifaceCheckUpdate").Text(product).Number(mode).Result(result));
    if (!product || !result) return int32_t{kSetifaceMissingArgument};
    *result = kNoUpdate;
    return int32_t{kSetifaceDone};
  });
}
