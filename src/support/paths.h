// Windows paths as text: `\` between folder names, folders ending in `\`.
#pragma once

#include <string>
#include <string_view>

// With add the result ends in a delimiter; without add its last delimiter is
// removed. convertSlashes turns every `/` into `\` first. Empty stays empty.
std::string WithPathDelimiter(std::string_view path, bool add, bool convertSlashes);

// The part up to and including the last `\`, `/` or `:`; the part after it.
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);

bool FolderExists(const std::string& path);
// A file of that name exists (a folder of that name does not count).
bool FileExists(const std::string& path);
// The running program's folder, ending in `\`.
std::string ProgramFolder();
// Creates the folder and every missing parent; true when it exists after.
bool ForceFolders(const std::string& path);
bool IsAbsolutePath(std::string_view path);
// Whether two folders are the same after normalisation (full path, one
// trailing `\`, letter case ignored); an empty folder matches nothing.
bool SameFolder(const std::string& first, const std::string& second);

enum class SpecialFolder { Temporary, Windows, System };
// The folder ends in `\`. When the system reports none and noFallback is
// false, the running program's folder stands in.
std::string GetSpecialFolder(SpecialFolder kind, bool noFallback);
