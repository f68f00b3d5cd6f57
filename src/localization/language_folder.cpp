#include "localization/language_folder.h"

#include <algorithm>

#include "platform/files.h"
#include "support/paths.h"
#include "support/xml_object.h"
#include "support/xml_text.h"

namespace {

// Only the first two lines matter; a large file that is no language file
// is not read whole for them.
constexpr size_t kHeadBytes = 64 * 1024;

std::vector<std::string> FirstTwoLines(const std::string& path) {
  std::vector<std::string> lines;
  platform::File file;
  if (!file.Open(path, platform::FileMode::Read)) return lines;
  std::string head(kHeadBytes, '\0');
  size_t filled = 0;
  try {
    while (filled < head.size()) {
      const size_t got = file.Read(head.data() + filled, head.size() - filled);
      if (got == 0) break;
      filled += got;
    }
  } catch (const platform::IoError&) {
    // What was read before the failure still counts.
  }
  head.resize(filled);
  size_t start = 0;
  while (lines.size() < 2 && start < head.size()) {
    size_t end = head.find_first_of("\r\n", start);
    if (end == std::string::npos) end = head.size();
    lines.push_back(head.substr(start, end - start));
    start = end;
    if (start < head.size() && head[start] == '\r') ++start;
    if (start < head.size() && head[start] == '\n') ++start;
  }
  return lines;
}

std::string CountryOf(const std::string& infoPath) {
  if (!FileExists(infoPath)) return "";
  TXMLObject document;
  if (!document.LoadFromFile(infoPath) || document.Children.empty()) return "";
  return document.Children.front()->GetChildText("COUNTRY", kXMLEntitiesUtf8);
}

void ScanFolder(const std::string& folder, std::vector<std::string>& languageList,
                std::vector<std::string>& countryList) {
  for (const platform::FolderEntry& entry : platform::ListFolder(folder, "*.*")) {
    if (entry.Name.empty() || entry.Name[0] == '.') continue;
    const std::string path = folder + entry.Name;
    if (entry.IsFolder) {
      if (!entry.IsLink) ScanFolder(path + "\\", languageList, countryList);
      continue;
    }
    for (const std::string& line : FirstTwoLines(path)) {
      std::string caption;
      if (!ReadLanguageMarker(line, caption)) continue;
      // The lists part caption and path at the first ";": one inside a
      // caption would cut it there and name a file that does not exist.
      std::replace(caption.begin(), caption.end(), ';', ',');
      languageList.push_back(caption + ";" + path);
      const std::string infoPath = folder + "info.xml";
      const std::string country = CountryOf(infoPath);
      // No country of the country box has a ";": such a name never matches.
      if (!country.empty() && country.find(';') == std::string::npos)
        countryList.push_back(country + ";" + infoPath);
    }
  }
}

}  // namespace

bool ReadLanguageMarker(std::string_view line, std::string& caption) {
  caption.clear();
  if (line.find(kLanguageMarker) == std::string_view::npos) return false;
  const std::string_view tag = line.substr(0, line.find('>'));
  size_t at = tag.find(" caption");
  while (at != std::string_view::npos) {
    size_t pos = at + 8;
    while (pos < tag.size() && tag[pos] == ' ')
      ++pos;
    if (pos < tag.size() && tag[pos] == '=') {
      ++pos;
      while (pos < tag.size() && tag[pos] == ' ')
        ++pos;
      if (pos < line.size() && (line[pos] == '"' || line[pos] == '\'')) {
        const char quote = line[pos];
        const size_t end = line.find(quote, pos + 1);
        const std::string_view value = line.substr(
            pos + 1, end == std::string_view::npos ? std::string_view::npos : end - pos - 1);
        caption = DecodeXMLText(value, kXMLEntitiesUtf8);
      }
      break;
    }
    at = tag.find(" caption", at + 1);
  }
  return true;
}

void ScanLanguageFolder(const std::string& folder, std::vector<std::string>& languageList,
                        std::vector<std::string>& countryList) {
  languageList.clear();
  countryList.clear();
  if (folder.empty() || !platform::IsFolder(folder)) return;
  ScanFolder(WithPathDelimiter(folder, true, false), languageList, countryList);
}

std::string EntryCaption(std::string_view entry) {
  return std::string(entry.substr(0, entry.find(';')));
}

std::string EntryPath(std::string_view entry) {
  const size_t semicolon = entry.find(';');
  return semicolon == std::string_view::npos ? "" : std::string(entry.substr(semicolon + 1));
}
