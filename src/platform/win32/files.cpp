#include "platform/files.h"

#include <windows.h>

#include "platform/error_text.h"

namespace platform {
namespace {

thread_local uint32_t lastError = 0;

bool Fail() {
  lastError = GetLastError();
  return false;
}

HANDLE AsHandle(intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

std::string StripTrailingDelimiters(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
    path.pop_back();
  return path;
}

uint32_t DosStampOf(const FILETIME& utc) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return (static_cast<uint32_t>(date) << 16) | time;
}

FolderEntry EntryOf(const WIN32_FIND_DATAA& found) {
  FolderEntry entry;
  entry.Name = found.cFileName;
  entry.IsFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // Any reparse point counts: symbolic links and junctions carry their tags,
  // while Wine shows a host symbolic link as a reparse point without a tag.
  entry.IsLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  entry.ReadOnly = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  entry.Size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  entry.DosStamp = DosStampOf(found.ftLastWriteTime);
  return entry;
}

[[noreturn]] void RaiseIo(const std::string& what, const std::string& path) {
  uint32_t code = GetLastError();
  lastError = code;
  throw IoError(what + " \"" + path + "\": " + SystemErrorText(code), code);
}

}  // namespace

std::string NativePath(const std::string& path) {
  return path;
}

File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
  other.handle_ = kClosed;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (IsOpen()) CloseHandle(AsHandle(handle_));
    handle_ = other.handle_;
    path_ = std::move(other.path_);
    other.handle_ = kClosed;
  }
  return *this;
}

File::~File() {
  if (IsOpen()) CloseHandle(AsHandle(handle_));
}

bool File::Open(const std::string& path, FileMode mode) {
  if (IsOpen()) CloseHandle(AsHandle(handle_));
  handle_ = kClosed;
  path_ = path;
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE,
        disposition = OPEN_EXISTING;
  switch (mode) {
    case FileMode::Read:
      break;
    case FileMode::ReadWrite:
      access |= GENERIC_WRITE;
      share = FILE_SHARE_READ;
      break;
    case FileMode::Create:
      access |= GENERIC_WRITE;
      share = FILE_SHARE_READ;
      disposition = CREATE_ALWAYS;
      break;
  }
  HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Fail();
  handle_ = reinterpret_cast<intptr_t>(handle);
  return true;
}

size_t File::Read(void* buffer, size_t size) {
  DWORD got = 0;
  DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  if (!ReadFile(AsHandle(handle_), buffer, want, &got, nullptr)) RaiseIo("Read error", path_);
  return got;
}

void File::Write(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size), put = 0;
    if (!WriteFile(AsHandle(handle_), bytes, chunk, &put, nullptr) || put == 0)
      RaiseIo("Write error", path_);
    bytes += put;
    size -= put;
  }
}

uint64_t File::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(AsHandle(handle_), &size)) RaiseIo("Read error", path_);
  return static_cast<uint64_t>(size.QuadPart);
}

void File::Seek(uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN)) RaiseIo("Seek error", path_);
}

void File::SeekToEnd() {
  LARGE_INTEGER to;
  to.QuadPart = 0;
  if (!SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_END)) RaiseIo("Seek error", path_);
}

void File::Flush() {
  if (!FlushFileBuffers(AsHandle(handle_))) RaiseIo("Write error", path_);
}

void File::Close() {
  if (!IsOpen()) return;
  HANDLE handle = AsHandle(handle_);
  handle_ = kClosed;
  if (!CloseHandle(handle)) RaiseIo("Close error", path_);
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(StripTrailingDelimiters(path).c_str()) != INVALID_FILE_ATTRIBUTES ||
         Fail();
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Fail();
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLink(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(StripTrailingDelimiters(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return EntryOf(found).IsLink;
}

bool MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) || Fail();
}

// RemoveDirectory on a junction or directory link removes the link only.
bool RemoveFolder(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) || Fail();
}

bool RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) || Fail();
}

bool CopyOneFile(const std::string& source, const std::string& destination, bool failIfExists) {
  return CopyFileA(source.c_str(), destination.c_str(), failIfExists) || Fail();
}

bool RenamePath(const std::string& source, const std::string& destination) {
  return MoveFileA(source.c_str(), destination.c_str()) || Fail();
}

bool ReplaceWith(const std::string& source, const std::string& destination) {
  return MoveFileExA(source.c_str(), destination.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
         Fail();
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Fail();
  attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                        : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return SetFileAttributesA(path.c_str(), attributes) || Fail();
}

bool SetNormalAttributes(const std::string& path) {
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) || Fail();
}

std::vector<FolderEntry> FindEntries(const std::string& pattern) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    Fail();
    return entries;
  }
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") entries.push_back(EntryOf(found));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& mask) {
  std::string base = folder;
  if (!base.empty() && base.back() != '\\' && base.back() != '/' && base.back() != ':')
    base += '\\';
  return FindEntries(base + (mask.empty() ? "*" : mask));
}

std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH * 4];
  DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return path;
  return std::string(buffer, length);
}

std::string CurrentFolder() {
  char buffer[MAX_PATH * 4];
  DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  return length && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

bool SetCurrentFolder(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) || Fail();
}

uint32_t LastSystemError() {
  return lastError;
}

std::string SystemErrorText(uint32_t code) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  if (result.empty()) result = "System error " + std::to_string(code);
  return TrimErrorText(result);
}

}  // namespace platform
