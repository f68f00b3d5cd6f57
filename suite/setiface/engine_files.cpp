#include "engine_files.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace {

bool IsDelimiter(char c) {
  return c == '\\' || c == '/';
}

// A full path in one spelling, for comparisons that ignore letter case.
std::string ComparablePath(const std::string& path) {
  std::string full = path;
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed > 0) {
    std::string buffer(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, buffer.data(), nullptr);
    if (length > 0 && length < needed) full.assign(buffer.data(), length);
  }
  std::replace(full.begin(), full.end(), '/', '\\');
  full = WithoutTrailingDelimiter(full);
  std::transform(full.begin(), full.end(), full.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  });
  return full;
}

bool SamePath(const std::string& a, const std::string& b) {
  return ComparablePath(a) == ComparablePath(b);
}

bool FolderExists(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A name from the record stays inside the folder it is relative to.
bool IsSafeRelativeName(const std::string& name) {
  if (name.empty() || IsDelimiter(name.front()) || name.find(':') != std::string::npos)
    return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

std::set<std::string> ReadRecord(const std::string& path) {
  std::set<std::string> names;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return names;
  std::string text;
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    text.append(buffer, count);
  std::fclose(file);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) names.insert(line);
    start = end + 1;
  }
  return names;
}

// Written beside its final name and then put in place, so that the record is
// never half written.
bool WriteRecord(const std::string& path, const std::set<std::string>& names) {
  const std::string partial = path + ".new";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) return false;
  bool written = true;
  for (const std::string& name : names)
    written = std::fprintf(file, "%s\r\n", name.c_str()) > 0 && written;
  written = std::fclose(file) == 0 && written;
  if (written && MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(partial.c_str());
  return false;
}

struct TCopyRun {
  std::string Source;
  std::string Target;
  std::string ComparableTarget;
  std::vector<std::string> Copied;
};

int32_t CopyFolder(TCopyRun& run, const std::string& relative) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((run.Source + "\\" + relative + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return relative.empty() ? kSetifaceMissingSource : kSetifaceFileError;
  int32_t status = kSetifaceDone;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string from = run.Source + "\\" + relative + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (ComparablePath(from) == run.ComparableTarget) continue;
      status = CopyFolder(run, relative + name + "\\");
      continue;
    }
    // A record left in the source by an earlier install is not the engine's.
    if (relative.empty() && lstrcmpiA(name.c_str(), kInstalledFilesRecord) == 0) continue;
    const std::string folder = run.Target + (relative.empty() ? "" : "\\" + relative);
    const std::string to = run.Target + "\\" + relative + name;
    if (!CreateFolders(WithoutTrailingDelimiter(folder))) {
      status = kSetifaceFileError;
      break;
    }
    if (FileExists(to)) SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
      status = kSetifaceFileError;
      break;
    }
    run.Copied.push_back(relative + name);
  } while (status == kSetifaceDone && FindNextFileA(search, &found));
  FindClose(search);
  return status;
}

}  // namespace

std::string OwnLibraryPath() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&OwnLibraryPath), &self))
    return {};
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(self, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return buffer.substr(0, length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string WithoutTrailingDelimiter(std::string path) {
  while (!path.empty() && IsDelimiter(path.back()))
    path.pop_back();
  return path;
}

std::string ParentFolder(const std::string& path) {
  const std::string trimmed = WithoutTrailingDelimiter(path);
  const size_t slash = trimmed.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  return WithoutTrailingDelimiter(trimmed.substr(0, slash));
}

bool CreateFolders(const std::string& folder) {
  if (folder.empty()) return false;
  if (FolderExists(folder)) return true;
  const std::string parent = ParentFolder(folder);
  // A drive ("C:") or share root has no parent to make.
  if (!parent.empty() && parent != folder && parent.back() != ':' && !CreateFolders(parent))
    return false;
  return CreateDirectoryA(folder.c_str(), nullptr) || FolderExists(folder);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int32_t InstallEngineFiles(const std::string& source, const std::string& target) {
  if (source.empty() || target.empty()) return kSetifaceMissingArgument;
  if (!FolderExists(source)) return kSetifaceMissingSource;
  // Installing from the setup folder into itself has nothing to copy.
  if (SamePath(source, target)) return kSetifaceDone;
  if (!CreateFolders(target)) return kSetifaceFileError;
  TCopyRun run{source, target, ComparablePath(target), {}};
  const int32_t status = CopyFolder(run, "");
  const std::string record = target + "\\" + kInstalledFilesRecord;
  std::set<std::string> names = ReadRecord(record);
  names.insert(run.Copied.begin(), run.Copied.end());
  if (!names.empty() && !WriteRecord(record, names)) return kSetifaceFileError;
  return status;
}

int32_t RemoveEngineFiles(const std::string& folder, const std::string& keep) {
  if (folder.empty()) return kSetifaceMissingArgument;
  const std::string record = folder + "\\" + kInstalledFilesRecord;
  if (!FileExists(record)) return kSetifaceDone;
  std::set<std::string> remaining;
  std::set<std::string> folders;
  for (const std::string& name : ReadRecord(record)) {
    // A name that would leave the folder was not written by an install.
    if (!IsSafeRelativeName(name)) continue;
    const std::string path = folder + "\\" + name;
    for (std::string part = ParentFolder(name); !part.empty(); part = ParentFolder(part))
      folders.insert(part);
    if (!keep.empty() && SamePath(path, keep)) continue;
    if (!FileExists(path)) continue;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str())) remaining.insert(name);
  }
  // Deepest first: a folder goes once its files have gone.
  for (auto it = folders.rbegin(); it != folders.rend(); ++it)
    RemoveDirectoryA((folder + "\\" + *it).c_str());
  if (!remaining.empty()) {
    WriteRecord(record, remaining);
    return kSetifaceFileError;
  }
  if (!DeleteFileA(record.c_str())) return kSetifaceFileError;
  return kSetifaceDone;
}
