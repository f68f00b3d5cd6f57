// Checking a data archive before anything depends on it.
#pragma once

#include <string>

// Reads the archive to its end as an extraction would, writing nothing: true
// when it opens, every entry header is whole, every name is safe, no entry
// needs a password, and every entry decodes (matching its checksum where
// the format has one).
bool VerifyArchive(const std::string& archivePath);
