#include "archive/extract_archive.h"

#include <exception>
#include <memory>

#include "archive/archive_format.h"
#include "archive/archive_input.h"
#include "archive/entry_cipher.h"
#include "archive/entry_codec.h"
#include "platform/files.h"
#include "support/fields.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

bool EndsInDelimiter(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

enum class EntryOutcome { Next, Stop, Failed };

class TExtraction {
 public:
  TExtraction(std::string folder, int& resultCode, bool overwriteAll, const std::string& keepList,
              std::vector<std::string> filter, const std::string& password)
      : folder_(std::move(folder)),
        resultCode_(resultCode),
        overwriteAll_(overwriteAll),
        lowerKeepList_(LowerCase(keepList)),
        filter_(std::move(filter)),
        password_(password) {}

  // False when the archive ended in the middle of a header, or a read or
  // write failed.
  bool Run(TArchiveInput& input) {
    TArchiveHeader header;
    if (!ReadArchiveHeader(input, header)) return false;
    const uint32_t version = header.Version();
    while (!input.AtEnd()) {
      TArchiveEntry entry;
      if (!ReadEntryHeader(input, version, entry)) return false;
      if (entry.Name.empty()) break;  // the end marker
      EntryOutcome outcome = HandleEntry(input, entry, version);
      if (outcome == EntryOutcome::Failed) return false;
      if (outcome == EntryOutcome::Stop) break;
    }
    return true;
  }

 private:
  EntryOutcome HandleEntry(TArchiveInput& input, const TArchiveEntry& entry, uint32_t version) {
    if (!IsSafeEntryName(entry.Name)) {
      resultCode_ = kExtractUnsafeName;
      return EntryOutcome::Stop;
    }
    // Checked before the entry's filters, so an encrypted entry stops the
    // run even when it would have been passed over.
    if (entry.Encrypted() && password_.empty()) {
      resultCode_ = kExtractNeedsPassword;
      return EntryOutcome::Stop;
    }
    bool write = overwriteAll_ || ShouldWriteEntry(folder_, entry.Name, lowerKeepList_);
    if (write && !filter_.empty()) write = EntryInFilter(entry.Name, filter_);

    const std::string target = folder_ + entry.Name;
    platform::File output;
    if (write) {
      MakeEntryFolder(entry.Name);
      write = output.Open(target, platform::FileMode::Create);
    }
    if (!write) {
      input.Skip(entry.StoredSize);
      return EntryOutcome::Next;
    }

    try {
      if (entry.StoredSize != 0) {
        if (entry.Encrypted() && !cipher_) cipher_ = std::make_unique<TEntryCipher>(password_);
        if (!decoder_) decoder_ = std::make_unique<TEntryDecoder>();
        bool decoded = decoder_->DecodeEntryData(
            input, entry, version, cipher_.get(),
            [&output](const uint8_t* data, size_t size) { output.Write(data, size); });
        if (!decoded) {
          resultCode_ = kExtractDamagedEntry;
          output = platform::File();
          platform::RemoveFile(target);
          return EntryOutcome::Stop;
        }
      }
      output.Close();
    } catch (const std::exception&) {
      // A failed write, a failed read of the block, no memory: the file is
      // not complete and is not left behind as if it were.
      output = platform::File();
      platform::RemoveFile(target);
      return EntryOutcome::Failed;
    }
    return EntryOutcome::Next;
  }

  // Failure is not reported here: the output file then cannot be created.
  void MakeEntryFolder(const std::string& name) {
    size_t last = name.rfind('\\');
    if (last == std::string::npos) return;
    std::string sub = name.substr(0, last + 1);
    // Consecutive entries mostly share their folder.
    if (sub == lastFolder_) return;
    ForceFolders(folder_ + sub);
    lastFolder_ = sub;
  }

  const std::string folder_;
  int& resultCode_;
  const bool overwriteAll_;
  const std::string lowerKeepList_;
  const std::vector<std::string> filter_;
  const std::string& password_;
  // Both made for the first entry that needs them.
  std::unique_ptr<TEntryCipher> cipher_;
  std::unique_ptr<TEntryDecoder> decoder_;
  std::string lastFolder_;
};

}  // namespace

bool ShouldWriteEntry(const std::string& folder, const std::string& name,
                      const std::string& lowerKeepList) {
  if (!platform::PathExists(folder + name)) return true;
  if (lowerKeepList.empty()) return false;
  return lowerKeepList.find(";" + LowerCase(name) + ";") == std::string::npos;
}

bool EntryInFilter(std::string_view name, const std::vector<std::string>& lowerFilter) {
  std::string lower = LowerCase(name);
  for (const std::string& item : lowerFilter)
    if (item == lower) return true;
  return false;
}

bool ExtractArchive(const std::string& archivePath, const std::string& destination, int& ResultCode,
                    bool OverwriteAll, const std::string& KeepList, const std::string& OnlyFiles,
                    const std::string& password) {
  ResultCode = kExtractOk;
  if (archivePath.empty() || destination.empty()) return false;
  std::vector<std::string> filter;
  if (!OnlyFiles.empty()) SplitString(LowerCase(OnlyFiles), ';', filter, true);

  std::string folder = destination;
  if (!EndsInDelimiter(folder)) folder += '\\';
  if (!FolderExists(folder) && !ForceFolders(folder)) return false;

  TArchiveInput input;
  if (!input.Open(archivePath)) return false;
  bool complete = false;
  try {
    TExtraction extraction(folder, ResultCode, OverwriteAll, KeepList, std::move(filter), password);
    complete = extraction.Run(input);
  } catch (const std::exception&) {
    // A read error, or no memory for the buffers: the archive was not read
    // to its end.
    complete = false;
  }
  input.Close();
  return complete && ResultCode == kExtractOk;
}

void RemoveExtractedFolder(const std::string& folder) {
  // Not cut to 255 characters: a cut path could name another folder.
  std::string path = WithPathDelimiter(folder, true, false);
  if (path.empty()) return;
  DeleteFolderTree(path, "*.*", true);
}
