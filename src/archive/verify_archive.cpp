#include "archive/verify_archive.h"

#include <exception>

#include "archive/archive_format.h"
#include "archive/archive_input.h"
#include "archive/entry_codec.h"

bool VerifyArchive(const std::string& archivePath) {
  TArchiveInput input;
  if (archivePath.empty() || !input.Open(archivePath)) return false;
  bool whole = false;
  try {
    TArchiveHeader header;
    if (!ReadArchiveHeader(input, header)) return false;
    const uint32_t version = header.Version();
    TEntryDecoder decoder;
    whole = true;
    while (whole && !input.AtEnd()) {
      TArchiveEntry entry;
      if (!ReadEntryHeader(input, version, entry)) {
        whole = false;
        break;
      }
      if (entry.Name.empty()) break;  // the end marker
      if (!IsSafeEntryName(entry.Name) || entry.Encrypted()) {
        whole = false;
        break;
      }
      if (entry.StoredSize != 0)
        whole =
            decoder.DecodeEntryData(input, entry, version, nullptr, [](const uint8_t*, size_t) {});
    }
  } catch (const std::exception&) {
    whole = false;
  }
  input.Close();
  return whole;
}

std::vector<std::string> ArchiveEntryNames(const std::string& archivePath) {
  std::vector<std::string> names;
  TArchiveInput input;
  if (archivePath.empty() || !input.Open(archivePath)) return names;
  try {
    TArchiveHeader header;
    if (ReadArchiveHeader(input, header)) {
      const uint32_t version = header.Version();
      while (!input.AtEnd()) {
        TArchiveEntry entry;
        if (!ReadEntryHeader(input, version, entry) || entry.Name.empty()) break;
        if (!IsSafeEntryName(entry.Name)) break;
        names.push_back(entry.Name);
        if (input.Skip(entry.StoredSize) != entry.StoredSize) break;
      }
    }
  } catch (const std::exception&) {
    // What was read so far is what an extraction could write.
  }
  input.Close();
  return names;
}
