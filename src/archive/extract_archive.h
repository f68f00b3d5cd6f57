// Unpacking a data archive into a folder, front to back, in one call.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// ResultCode values of ExtractArchive.
enum : int {
  kExtractOk = 0,             // no entry failed
  kExtractNeedsPassword = 1,  // an encrypted entry and no password; stopped there
  kExtractDamagedEntry = 2,   // a data block failed its checksum; its file was removed, stopped
  kExtractUnsafeName = 3,     // a name would write outside the destination; stopped there
};

// Unpacks archivePath into destination (created with its parents when
// missing). Without OverwriteAll an existing file is kept unless KeepList is
// not empty and lacks ";name;" (any letter case). A non-empty OnlyFiles
// (names separated by `;`) writes only the entries of those names. True
// when the archive was read to its end or its end marker with ResultCode 0.
// False with ResultCode 0 when the arguments are empty, the destination
// cannot be created, the archive cannot be opened or read, is cut short in
// an entry header, or an output file cannot be written (that file is then
// removed). Files written before a failure stay.
bool ExtractArchive(const std::string& archivePath, const std::string& destination, int& ResultCode,
                    bool OverwriteAll = true, const std::string& KeepList = "",
                    const std::string& OnlyFiles = "", const std::string& password = "");

// Deletes the folder and everything in it; reports nothing.
void RemoveExtractedFolder(const std::string& folder);

// Whether an entry is written when existing files are not all replaced.
// folder ends in a delimiter; lowerKeepList is KeepList in lower case.
bool ShouldWriteEntry(const std::string& folder, const std::string& name,
                      const std::string& lowerKeepList);

// Whether the entry's name, in lower case, is one of the filter's names.
bool EntryInFilter(std::string_view name, const std::vector<std::string>& lowerFilter);
