#include "config/replace_file.h"

#include "platform/files.h"
#include "support/paths.h"

namespace {

bool OpenCreating(platform::File& file, const std::string& path) {
  return file.Open(path, platform::FileMode::Create) ||
         (ForceFolders(ExtractFilePath(path)) && file.Open(path, platform::FileMode::Create));
}

}  // namespace

std::string ReplacementFileName(const std::string& path) {
  return path + ".new";
}

WriteOutcome WriteFileReplacing(const std::string& path, const void* data, size_t size,
                                TReplaceMode mode) {
  std::string side = ReplacementFileName(path);
  {
    platform::File file;
    if (OpenCreating(file, side)) {
      try {
        file.Write(data, size);
        file.Flush();
        file.Close();
      } catch (const platform::IoError&) {
        // A full disk must not cost the old file: it stays as it was.
        file = platform::File();
        platform::RemoveFile(side);
        return WriteOutcome::Failed;
      }
      if (platform::ReplaceWith(side, path)) return WriteOutcome::Replaced;
      platform::RemoveFile(side);
    }
  }
  if (mode == TReplaceMode::WholeOnly) return WriteOutcome::Failed;
  platform::File file;
  if (!OpenCreating(file, path)) return WriteOutcome::Failed;
  try {
    file.Write(data, size);
    file.Close();
  } catch (const platform::IoError&) {
    return WriteOutcome::Failed;
  }
  return WriteOutcome::WrittenInPlace;
}
