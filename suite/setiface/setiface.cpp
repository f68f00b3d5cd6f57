// The stand-in for the antivirus engine's setup library: it answers its
// uninstall entry as the engine does on success and appends each call with
// its arguments to a log, so that tests see what the installer asked.
//
// The log is the file named by the environment variable SETIFACE_LOG, else
// "logs\setiface.log" of the installation that holds this library
// (INSTALL\avast\setup\setiface.dll), which outlives the engine's folder.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HMODULE self = nullptr;

std::string LogPath() {
  char buffer[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableA("SETIFACE_LOG", buffer, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return buffer;
  length = GetModuleFileNameA(self, buffer, MAX_PATH);
  std::string path(buffer, length < MAX_PATH ? length : 0);
  // Up from the file to avast\setup\, then to the installation folder.
  for (int level = 0; level < 3; ++level) {
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return "setiface.log";
    path.resize(slash);
  }
  return path + "\\logs\\setiface.log";
}

void Log(const std::string& line) {
  const std::string path = LogPath();
  CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
  if (FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fprintf(file, "%s\r\n", line.c_str());
    std::fclose(file);
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

// Removes the engine's product: answers 0 with the "uninstalled" result.
extern "C" __declspec(dllexport) int32_t WINAPI
    setifaceUninstallProgram(const char* product, int32_t reserved, int32_t mode,
                             uint32_t* result) {
  Log(std::string("setifaceUninstallProgram \"") + (product ? product : "(null)") + "\" " +
      std::to_string(reserved) + " " + std::to_string(mode) + (result ? "" : " no-result"));
  if (result) *result = 0x20000000;
  return 0;
}
