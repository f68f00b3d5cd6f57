// Copies of the installation's files that the administrator can retry, and
// the fatal errors that end a deployment.
#pragma once

#include <string>

// Copies source + name to target + name, replacing it (a read-only target
// too). On failure the error is logged and the administrator chooses Retry,
// as often as needed, or Cancel, which ends the program with the failure
// exit code of the run. Window messages are processed after each copy.
void CopyWithRetry(const std::string& name, const std::string& sourceFolder,
                   const std::string& targetFolder);

// Copies every file below sourceRoot + relative into targetRoot + relative
// with CopyWithRetry, making the folders that receive files. Links to
// folders are not followed, so a loop of junctions cannot trap it.
void CopyFolderTree(const std::string& sourceRoot, const std::string& relative,
                    const std::string& targetRoot);

// Makes the installation folder with its parents; a failure is fatal.
void CreateInstallFolder(const std::string& installPath);

// The end of a run that cannot go on: the error box, the log line
// "Error: Setup aborted - " + text, the failure exit code.
[[noreturn]] void AbortInstallation(const std::string& text);
// A damaged or missing archive that the installation needs.
[[noreturn]] void AbortOnArchive(const std::string& archiveName);
