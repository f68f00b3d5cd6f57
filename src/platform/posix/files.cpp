#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/error_text.h"

namespace platform {
namespace {

thread_local uint32_t lastError = 0;

bool Fail() {
  lastError = static_cast<uint32_t>(errno);
  return false;
}

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

uint32_t DosStampOf(time_t seconds) {
  struct tm local;
  if (!localtime_r(&seconds, &local)) return 0;
  int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return 0;
  uint32_t date =
      static_cast<uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  uint32_t time =
      static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return (date << 16) | time;
}

bool EntryOf(const std::string& path, const std::string& name, FolderEntry& entry) {
  struct stat link;
  if (lstat(path.c_str(), &link) != 0) return false;
  entry.Name = name;
  entry.IsLink = S_ISLNK(link.st_mode);
  struct stat target = link;
  if (entry.IsLink && stat(path.c_str(), &target) != 0) target = link;
  entry.IsFolder = S_ISDIR(target.st_mode);
  entry.ReadOnly = (link.st_mode & S_IWUSR) == 0 && !entry.IsLink;
  entry.Size = entry.IsFolder ? 0 : static_cast<uint64_t>(target.st_size);
  entry.DosStamp = DosStampOf(link.st_mtime);
  return true;
}

void RaiseIo(const std::string& what, const std::string& path) {
  uint32_t code = static_cast<uint32_t>(errno);
  lastError = code;
  throw IoError(what + " \"" + path + "\": " + SystemErrorText(code), code);
}

}  // namespace

std::string NativePath(const std::string& path) {
  std::string result = path;
  for (char& c : result)
    if (c == '\\') c = '/';
  return result;
}

File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
  other.handle_ = kClosed;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (IsOpen()) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    path_ = std::move(other.path_);
    other.handle_ = kClosed;
  }
  return *this;
}

File::~File() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
}

bool File::Open(const std::string& path, FileMode mode) {
  if (IsOpen()) ::close(static_cast<int>(handle_));
  handle_ = kClosed;
  path_ = path;
  int flags = O_CLOEXEC;
  switch (mode) {
    case FileMode::Read:
      flags |= O_RDONLY;
      break;
    case FileMode::ReadWrite:
      flags |= O_RDWR;
      break;
    case FileMode::Create:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  std::string native = NativePath(path);
  int fd = ::open(native.c_str(), flags, 0644);
  if (fd < 0) return Fail();
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return Fail();
  }
  handle_ = fd;
  return true;
}

size_t File::Read(void* buffer, size_t size) {
  for (;;) {
    ssize_t got = ::read(static_cast<int>(handle_), buffer, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) RaiseIo("Read error", path_);
  }
}

void File::Write(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t put = ::write(static_cast<int>(handle_), bytes, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      RaiseIo("Write error", path_);
    }
    bytes += put;
    size -= static_cast<size_t>(put);
  }
}

uint64_t File::Size() {
  struct stat info;
  if (fstat(static_cast<int>(handle_), &info) != 0) RaiseIo("Read error", path_);
  return static_cast<uint64_t>(info.st_size);
}

void File::Seek(uint64_t offset) {
  if (lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) < 0)
    RaiseIo("Seek error", path_);
}

void File::SeekToEnd() {
  if (lseek(static_cast<int>(handle_), 0, SEEK_END) < 0) RaiseIo("Seek error", path_);
}

void File::Flush() {
  if (fsync(static_cast<int>(handle_)) != 0) RaiseIo("Write error", path_);
}

void File::Close() {
  if (!IsOpen()) return;
  int fd = static_cast<int>(handle_);
  handle_ = kClosed;
  if (::close(fd) != 0) RaiseIo("Close error", path_);
}

bool PathExists(const std::string& path) {
  struct stat info;
  return lstat(StripTrailingSlashes(NativePath(path)).c_str(), &info) == 0 || Fail();
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return (stat(NativePath(path).c_str(), &info) == 0 || Fail()) && S_ISDIR(info.st_mode);
}

bool IsLink(const std::string& path) {
  struct stat info;
  return lstat(StripTrailingSlashes(NativePath(path)).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool MakeFolder(const std::string& path) {
  return mkdir(NativePath(path).c_str(), 0755) == 0 || Fail();
}

bool RemoveFolder(const std::string& path) {
  std::string native = StripTrailingSlashes(NativePath(path));
  if (IsLink(path)) return unlink(native.c_str()) == 0 || Fail();
  return rmdir(native.c_str()) == 0 || Fail();
}

bool RemoveFile(const std::string& path) {
  std::string native = NativePath(path);
  struct stat info;
  if (lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return Fail();
  }
  // A read-only file stays, as on Windows.
  if (lstat(native.c_str(), &info) == 0 && !S_ISLNK(info.st_mode) &&
      (info.st_mode & S_IWUSR) == 0) {
    errno = EACCES;
    return Fail();
  }
  return unlink(native.c_str()) == 0 || Fail();
}

bool CopyOneFile(const std::string& source, const std::string& destination, bool failIfExists) {
  std::string from = NativePath(source), to = NativePath(destination);
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Fail();
  struct stat info;
  if (fstat(in, &info) != 0 || S_ISDIR(info.st_mode)) {
    if (S_ISDIR(info.st_mode)) errno = EISDIR;
    Fail();
    ::close(in);
    return false;
  }
  int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (failIfExists ? O_EXCL : 0);
  int out = ::open(to.c_str(), flags, info.st_mode & 0777);
  if (out < 0) {
    Fail();
    ::close(in);
    return false;
  }
  char buffer[1 << 16];
  bool ok = true;
  for (;;) {
    ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = Fail();
      break;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        ok = Fail();
        break;
      }
      done += put;
    }
    if (!ok) break;
  }
  // The copy keeps the source's last-write time, as CopyFile does.
  struct timespec times[2] = {info.st_atim, info.st_mtim};
  if (ok) futimens(out, times);
  if (::close(out) != 0 && ok) ok = Fail();
  ::close(in);
  if (!ok) unlink(to.c_str());
  return ok;
}

bool RenamePath(const std::string& source, const std::string& destination) {
  std::string from = StripTrailingSlashes(NativePath(source));
  std::string to = StripTrailingSlashes(NativePath(destination));
#ifdef SYS_renameat2
  if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 1 /*NOREPLACE*/) == 0)
    return true;
  if (errno != ENOSYS && errno != EINVAL) return Fail();
#endif
  struct stat info;
  if (lstat(to.c_str(), &info) == 0) {
    errno = EEXIST;
    return Fail();
  }
  return rename(from.c_str(), to.c_str()) == 0 || Fail();
}

bool ReplaceWith(const std::string& source, const std::string& destination) {
  return rename(NativePath(source).c_str(), NativePath(destination).c_str()) == 0 || Fail();
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  std::string native = NativePath(path);
  struct stat info;
  if (stat(native.c_str(), &info) != 0) return Fail();
  mode_t mode = info.st_mode & 07777;
  mode = readOnly ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
  return chmod(native.c_str(), mode) == 0 || Fail();
}

bool SetNormalAttributes(const std::string& path) {
  return SetReadOnly(path, false);
}

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& mask) {
  std::vector<FolderEntry> entries;
  std::string base = NativePath(folder);
  if (base.empty()) base = ".";
  DIR* dir = opendir(base.c_str());
  if (!dir) {
    Fail();
    return entries;
  }
  if (base.back() != '/') base += '/';
  while (struct dirent* item = readdir(dir)) {
    std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    if (!MaskMatches(name, mask)) continue;
    FolderEntry entry;
    if (EntryOf(base + name, name, entry)) entries.push_back(std::move(entry));
  }
  closedir(dir);
  return entries;
}

std::vector<FolderEntry> FindEntries(const std::string& pattern) {
  std::string native = NativePath(pattern);
  size_t slash = native.rfind('/');
  std::string folder = slash == std::string::npos ? "." : native.substr(0, slash + 1);
  std::string mask = slash == std::string::npos ? native : native.substr(slash + 1);
  if (mask.find_first_of("*?") == std::string::npos) {
    std::vector<FolderEntry> entries;
    FolderEntry entry;
    if (!mask.empty() && EntryOf(native, mask, entry)) entries.push_back(std::move(entry));
    return entries;
  }
  return ListFolder(folder, mask);
}

std::string CurrentFolder() {
  char buffer[4096];
  if (!getcwd(buffer, sizeof buffer)) return std::string();
  return buffer;
}

bool SetCurrentFolder(const std::string& path) {
  return chdir(NativePath(path).c_str()) == 0 || Fail();
}

std::string FullPath(const std::string& path) {
  std::string native = NativePath(path);
  if (native.empty()) return native;
  if (native[0] != '/') native = CurrentFolder() + "/" + native;
  // Resolve "." and ".." textually, as GetFullPathName does.
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= native.size()) {
    size_t end = native.find('/', start);
    if (end == std::string::npos) end = native.size();
    std::string part = native.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts)
    result += "/" + part;
  if (result.empty() || native.back() == '/') result += "/";
  return result;
}

uint32_t LastSystemError() {
  return lastError;
}

std::string SystemErrorText(uint32_t code) {
  char buffer[256];
  const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
  return TrimErrorText(text ? text : "");
}

}  // namespace platform
