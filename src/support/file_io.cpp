#include "support/file_io.h"

#include "platform/files.h"
#include "support/paths.h"
#include "support/text.h"

int32_t FileStamp(const std::string& name) {
  std::string full = platform::FullPath(ShortString(name));
  if (full.empty()) return 0;
  std::vector<platform::FolderEntry> found = platform::FindEntries(full);
  return found.empty() ? 0 : static_cast<int32_t>(found.front().DosStamp);
}

std::string ReadFileToString(const std::string& fileName, bool deleteAfter) {
  if (fileName.empty()) return std::string();
  std::string name = ShortString(fileName);
  std::string data;
  {
    platform::File file;
    if (file.Open(name, platform::FileMode::Read)) {
      try {
        uint64_t size = file.Size();
        // The size is a hint only: a file that grows or shrinks meanwhile
        // is read to its real end.
        data.reserve(static_cast<size_t>(size < (1u << 30) ? size : 0));
        char buffer[1 << 16];
        while (size_t got = file.Read(buffer, sizeof buffer))
          data.append(buffer, got);
        file.Close();
      } catch (...) {
        if (deleteAfter) {
          file = platform::File();
          platform::RemoveFile(name);
        }
        throw;
      }
    }
  }
  if (deleteAfter) platform::RemoveFile(name);
  return data;
}

bool WriteStringToFile(const std::string& data, const std::string& fileName, bool deleteIfEmpty,
                       bool append) {
  if (fileName.empty()) return false;
  std::string name = ShortString(fileName);
  if (deleteIfEmpty && data.empty()) return platform::RemoveFile(name);

  platform::File file;
  bool opened = false;
  if (append && file.Open(name, platform::FileMode::ReadWrite)) {
    file.SeekToEnd();
    opened = true;
  }
  if (!opened) {
    opened = file.Open(name, platform::FileMode::Create);
    if (!opened) {
      ForceFolders(ExtractFilePath(name));
      opened = file.Open(name, platform::FileMode::Create);
    }
  }
  if (!opened) return false;
  if (!data.empty()) file.Write(data.data(), data.size());
  file.Close();
  return true;
}

bool CopyFileTo(const std::string& source, const std::string& destination, bool failIfExists) {
  return platform::CopyOneFile(source, destination, failIfExists);
}

bool MoveFileTo(const std::string& source, const std::string& destination) {
  return platform::RenamePath(source, destination);
}

bool DeleteFolderTree(const std::string& path, const std::string& mask, bool recursive) {
  if (path.empty()) return false;
  std::string folder = WithPathDelimiter(path, true, false);
  if (platform::IsLink(folder)) return platform::RemoveFolder(folder);
  const std::string filter = mask.empty() ? "*.*" : mask;
  for (const platform::FolderEntry& entry : platform::ListFolder(folder, filter)) {
    std::string child = folder + entry.Name;
    if (!entry.IsFolder) {
      platform::RemoveFile(child);
    } else if (recursive) {
      // Never descend through a link: it may point anywhere, even above us.
      if (entry.IsLink)
        platform::RemoveFolder(child);
      else
        DeleteFolderTree(child, filter, true);
    }
  }
  return platform::RemoveFolder(folder);
}
