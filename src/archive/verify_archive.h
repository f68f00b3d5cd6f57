// Checking a data archive before anything depends on it.
#pragma once

#include <string>
#include <vector>

// Reads the archive to its end as an extraction would, writing nothing: true
// when it opens, every entry header is whole, every name is safe, no entry
// needs a password, and every entry decodes (matching its checksum where
// the format has one).
bool VerifyArchive(const std::string& archivePath);

// The names of the entries an extraction would write (safe names, up to the
// end marker or the first damaged header), in archive order.
std::vector<std::string> ArchiveEntryNames(const std::string& archivePath);
