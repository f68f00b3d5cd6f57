#include "support/paths.h"

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "support/text.h"

namespace {

bool IsDelimiter(char c) {
  return c == '\\' || c == '/';
}

void CreateFolderChain(std::string path) {
  if (!path.empty() && IsDelimiter(path.back())) path.pop_back();
  if (path.size() <= 2 || FolderExists(path)) return;
  size_t last = path.find_last_of("\\/:");
  std::string parent = last == std::string::npos ? std::string() : path.substr(0, last + 1);
  if (parent != path) CreateFolderChain(parent);
  platform::MakeFolder(path);
}

}  // namespace

std::string WithPathDelimiter(std::string_view path, bool add, bool convertSlashes) {
  if (path.empty()) return std::string();
  std::string result(path);
  if (convertSlashes)
    for (char& c : result)
      if (c == '/') c = '\\';
  if (!IsDelimiter(result.back())) result += '\\';
  if (!add) result.pop_back();
  return result;
}

std::string ExtractFilePath(std::string_view path) {
  size_t last = path.find_last_of("\\/:");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t last = path.find_last_of("\\/:");
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

bool FolderExists(const std::string& path) {
  return !path.empty() && platform::IsFolder(path);
}

bool FileExists(const std::string& path) {
  return !path.empty() && platform::PathExists(path) && !platform::IsFolder(path);
}

std::string ProgramFolder() {
  return ExtractFilePath(platform::CurrentSystem().ProgramPath());
}

bool ForceFolders(const std::string& path) {
  std::string folder = ShortString(path);
  if (folder.empty()) return false;
  if (FolderExists(folder)) return true;
  CreateFolderChain(folder);
  return FolderExists(folder);
}

bool IsAbsolutePath(std::string_view path) {
  path = path.substr(0, kShortStringLength);
  if (path.empty()) return false;
  return IsDelimiter(path[0]) || path.find(':') != std::string_view::npos;
}

std::string GetSpecialFolder(SpecialFolder kind, bool noFallback) {
  platform::SystemInfo& system = platform::CurrentSystem();
  std::string folder;
  switch (kind) {
    case SpecialFolder::Temporary:
      folder = system.TempFolder();
      break;
    case SpecialFolder::Windows:
      folder = system.WindowsFolder();
      break;
    case SpecialFolder::System:
      folder = system.SystemFolder();
      break;
  }
  folder = ShortString(Trim(folder));
  if (folder.empty() && !noFallback) folder = ProgramFolder();
  return WithPathDelimiter(folder, true, false);
}

namespace {

std::string NormalisedFolder(const std::string& folder) {
  if (folder.empty()) return {};
  return platform::AnsiUpperCase(
      WithPathDelimiter(platform::FullPath(WithPathDelimiter(folder, true, true)), true, true));
}

}  // namespace

bool SameFolder(const std::string& first, const std::string& second) {
  const std::string a = NormalisedFolder(first);
  return !a.empty() && a == NormalisedFolder(second);
}
