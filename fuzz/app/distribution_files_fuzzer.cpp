// The files of a distribution folder that the start-up reads: a file of the
// language folder (its first two lines decide whether it is a language),
// the "info.xml" beside it, and the message templates a translation fills.
// Input: the language file, a NUL byte, then the info.xml text.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/installer_info.h"
#include "localization/language_folder.h"
#include "support/file_io.h"
#include "support/format_text.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/fuzz-distribution-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) std::abort();
    return std::string(made) + "\\";
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string language = input.substr(0, split);
  const std::string info = split == std::string::npos ? std::string() : input.substr(split + 1);

  const std::string folder = ScratchFolder();
  WriteStringToFile(language, folder + "lang\\x\\setup.lng");
  WriteStringToFile(info, folder + "lang\\x\\info.xml");
  std::vector<std::string> languages, countries;
  ScanLanguageFolder(folder + "lang\\", languages, countries);
  // Two files of two lines that may each carry the marker (info.xml too
  // is a language file when it does).
  Check(languages.size() <= 4 && countries.size() <= languages.size());
  for (const std::string& entry : languages)
    Check(EntryPath(entry) == folder + "lang\\x\\setup.lng" ||
          EntryPath(entry) == folder + "lang\\x\\info.xml");
  for (const std::string& entry : countries)
    Check(!EntryCaption(entry).empty() && EntryPath(entry) == folder + "lang\\x\\info.xml");

  TInstallerState state;
  ReadInstallerInfo(state, folder + "lang\\x\\info.xml");
  Check(state.InfoXmlPath == folder + "lang\\x\\info.xml");

  std::string caption;
  ReadLanguageMarker(language, caption);
  Check(caption.size() <= language.size());

  // A translated template with any number of places.
  const std::string filled = FormatText(language, {"ab", "cd"});
  Check(filled.size() <= language.size() + 4);
  return 0;
}
