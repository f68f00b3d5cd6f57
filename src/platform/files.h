// Files and folders of the host system. Paths are Windows paths as the
// installer handles them; the POSIX implementation turns `\` into `/` at this
// boundary so that the same code works in host folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// An I/O failure on a file that was already open. Opening reports by result.
class IoError : public std::runtime_error {
 public:
  IoError(const std::string& what, uint32_t code) : std::runtime_error(what), code_(code) {}
  uint32_t Code() const { return code_; }

 private:
  uint32_t code_;
};

enum class FileMode {
  Read,       // existing file, read only; others may still read and write it
  ReadWrite,  // existing file, read and write, positioned at the start
  Create,     // new file, replacing any existing one; read and write
};

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  ~File();

  // False when the file cannot be opened; LastSystemError() tells why.
  bool Open(const std::string& path, FileMode mode);
  bool IsOpen() const { return handle_ != kClosed; }

  // Returns the number of bytes read, 0 at the end of the file.
  size_t Read(void* buffer, size_t size);
  void Write(const void* data, size_t size);
  uint64_t Size();
  void Seek(uint64_t offset);
  void SeekToEnd();
  // Puts the written data on the disk before the caller relies on it.
  void Flush();
  // Closing reports a failure to write buffered data; the destructor does not.
  void Close();

 private:
  static constexpr intptr_t kClosed = -1;
  intptr_t handle_ = kClosed;
  std::string path_;
};

struct FolderEntry {
  std::string Name;
  bool IsFolder = false;
  bool IsLink = false;  // symbolic link or junction; never followed
  bool ReadOnly = false;
  uint64_t Size = 0;
  uint32_t DosStamp = 0;  // last write, packed local date (high 16 bits) and time
};

// The path as the host system takes it (POSIX: `\` becomes `/`).
std::string NativePath(const std::string& path);

bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);  // follows links
bool IsLink(const std::string& path);
// Creates one folder; its parent must exist.
bool MakeFolder(const std::string& path);
// Removes an empty folder, or a link to a folder without touching its target.
bool RemoveFolder(const std::string& path);
bool RemoveFile(const std::string& path);
bool CopyOneFile(const std::string& source, const std::string& destination, bool failIfExists);
// Moves or renames a file or folder; fails when the destination exists.
bool RenamePath(const std::string& source, const std::string& destination);
// Replaces destination by source in one step (the destination may exist).
bool ReplaceWith(const std::string& source, const std::string& destination);
bool SetReadOnly(const std::string& path, bool readOnly);
// Clears read-only, hidden and system, which each keep a copy from
// replacing the file (POSIX: makes it writable).
bool SetNormalAttributes(const std::string& path);

// Entries of a folder whose names match a Windows file mask ("*.*", "*.txt",
// "name?"), without "." and "..". The folder may end in a delimiter.
std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& mask);
// Entries matching a path whose last part may hold a mask (like FindFirstFile).
std::vector<FolderEntry> FindEntries(const std::string& pattern);
// Windows mask matching as the file search does it: ASCII case-insensitive,
// "*.*" matches every name, a trailing "." matches names without extension.
bool MaskMatches(const std::string& name, const std::string& mask);

std::string FullPath(const std::string& path);
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);

// The error of the last failing call of this layer on this thread.
uint32_t LastSystemError();
std::string SystemErrorText(uint32_t code);

}  // namespace platform
