// The engine's files as the stand-in installs and removes them: everything in
// the library's own folder is copied into the engine's setup folder, and a
// record of the copied names ("setiface.lst" in that folder) tells the
// uninstall what to remove.
#pragma once

#include <cstdint>
#include <string>

// Return values of the entries; the results they report are separate.
enum TSetifaceStatus : int32_t {
  kSetifaceDone = 0,
  kSetifaceMissingArgument = 1,  // a null pointer or an empty folder
  kSetifaceMissingSource = 2,    // the engine's installer or its folder is missing
  kSetifaceFileError = 3,        // a folder could not be made, a file not copied or removed
  kSetifaceBufferTooSmall = 4,
  kSetifaceInternalError = 5,
};

inline constexpr const char* kInstalledFilesRecord = "setiface.lst";

// The full path of this library; empty when the system does not tell it.
std::string OwnLibraryPath();
// The folder part of a path, without its trailing `\`; empty for a bare
// name. Trailing delimiters of the path itself are ignored.
std::string ParentFolder(const std::string& path);
// The path without trailing `\` or `/`.
std::string WithoutTrailingDelimiter(std::string path);
// Creates a folder with its missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& folder);
bool FileExists(const std::string& path);

// Copies every file below source into target (both without trailing `\`),
// replacing read-only copies, without following folder links and without
// descending into target when it lies inside source. The record in target
// then lists every name copied by this and earlier installs, also after a
// failure, so that the uninstall finds what was made.
int32_t InstallEngineFiles(const std::string& source, const std::string& target);

// Removes the files that the record in folder lists, and their folders once
// they are empty. The file keep (the running library) stays; so does the
// record while anything else it lists could not be removed. A folder without
// a record has nothing installed: done.
int32_t RemoveEngineFiles(const std::string& folder, const std::string& keep);
