#include "call_log.h"

#include <windows.h>

#include <cstdio>

#include "engine_files.h"

TCallLine& TCallLine::Text(const char* value) {
  text_ += value ? " \"" + std::string(value) + "\"" : std::string(" (null)");
  return *this;
}

TCallLine& TCallLine::Number(int64_t value) {
  text_ += " " + std::to_string(value);
  return *this;
}

TCallLine& TCallLine::Missing(const void* pointer, const char* word) {
  if (!pointer) text_ += std::string(" ") + word;
  return *this;
}

namespace {

std::string LogPath(const std::string& installationFolder) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("SETIFACE_LOG", buffer, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return buffer;
  std::string folder = installationFolder;
  if (folder.empty()) {
    // Up from the file to avast\setup\, then to the installation folder.
    folder = OwnLibraryPath();
    for (int level = 0; level < 3 && !folder.empty(); ++level)
      folder = ParentFolder(folder);
  }
  if (folder.empty()) return "setiface.log";
  return folder + "\\logs\\setiface.log";
}

}  // namespace

void AppendCallLog(const TCallLine& line, const std::string& installationFolder) {
  const std::string path = LogPath(installationFolder);
  const std::string folder = ParentFolder(path);
  if (!folder.empty()) CreateFolders(folder);
  if (FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fprintf(file, "%s\r\n", line.Line().c_str());
    std::fclose(file);
  }
}
