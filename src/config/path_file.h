// The path file "path.dat" (older name "path.cfg") in the install folder: up
// to 14 lines that move the suite's folders and override a few settings.
// Each line is stripped of its comment and trimmed; an empty line keeps the
// default. Lines 3, 12 and those after 14 are not used here.
#pragma once

#include <string>
#include <string_view>

// Renames "path.cfg" to "path.dat" (kept when "path.dat" exists), then reads
// "path.dat" when it can be opened. Unreadable files are skipped silently.
void ReadPathFile(const std::string& installFolder);

// Applies the lines of a path file's text to the folder set and the stored
// path-file values; line 5 connects its shares at once.
void ApplyPathFile(std::string_view text);

// Connects each share of a line-5 list: items separated by `|`, each
// "\\server\share;user;password". Failures are ignored.
void ConnectPathShares(std::string_view line);
