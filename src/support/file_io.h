// Whole files in and out, and file and folder operations by name.
#pragma once

#include <cstdint>
#include <string>

// Last-write time in packed local date-time form (date high, time low); 0 if
// nothing matches the name.
int32_t FileStamp(const std::string& name);

// The whole file; empty when it cannot be opened. An I/O error after opening
// is raised (platform::IoError). deleteAfter deletes the file in any case.
std::string ReadFileToString(const std::string& name, bool deleteAfter = false);

// Writes (or appends) data; creates the file's folder when it is missing.
// With deleteIfEmpty an empty data deletes the file instead. True when the
// file was opened; a write or close failure is raised (platform::IoError).
bool WriteStringToFile(const std::string& data, const std::string& name, bool deleteIfEmpty = false,
                       bool append = false);

bool CopyFileTo(const std::string& source, const std::string& destination, bool failIfExists);
// Fails when the destination exists.
bool MoveFileTo(const std::string& source, const std::string& destination);

// Deletes the entries matching mask (read-only files stay), the subfolders
// too when recursive, then the folder itself; true when the folder is gone.
// A link to a folder is removed without touching what it points to.
bool DeleteFolderTree(const std::string& folder, const std::string& mask = "*.*",
                      bool recursive = true);
