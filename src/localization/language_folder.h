// The folder of languages shipped with the installer: every file whose first
// or second line carries the marker "<?lang caption=...?>" is a language
// file, and an "info.xml" beside it may name the country it is meant for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kLanguageMarker = "<?lang ";

// Whether the line carries the marker; caption receives the decoded value of
// its caption attribute (empty when it has none).
bool ReadLanguageMarker(std::string_view line, std::string& caption);

// Clears both lists and fills them from the folder and all its subfolders,
// depth first: languageList gets "caption;file" for each marker line,
// countryList "country;info.xml" for each language file whose folder's
// "info.xml" names a COUNTRY. Names beginning with "." are skipped, and so
// are links to folders, which could lead the walk in circles. A ";" in a
// caption becomes ","; a country with a ";" is no country of the list.
void ScanLanguageFolder(const std::string& folder, std::vector<std::string>& languageList,
                        std::vector<std::string>& countryList);

// The text before the first ";" of a list entry, and the text after it.
std::string EntryCaption(std::string_view entry);
std::string EntryPath(std::string_view entry);
