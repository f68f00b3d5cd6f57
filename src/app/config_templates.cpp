#include "app/config_templates.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/installer_state.h"
#include "config/replace_file.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "support/fields.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/search.h"
#include "support/text.h"

namespace {

constexpr const char* kFilterLine = "=modules\\wcs.dll|[wcs]";
constexpr const char* kVirtualHostLine = "/wcs/=[wcs]";

// The whole file, or nothing when it cannot be opened or read to its end.
std::optional<std::string> ReadWhole(const std::string& path) {
  try {
    platform::File file;
    if (!file.Open(path, platform::FileMode::Read)) return std::nullopt;
    std::string text;
    char buffer[65536];
    while (size_t got = file.Read(buffer, sizeof buffer))
      text.append(buffer, got);
    return text;
  } catch (const platform::IoError&) {
    return std::nullopt;
  }
}

// Places the line in the section: at the start of the empty line that ends
// it (atSectionEnd) or right after its header. A section that the next
// header ends without an empty line gets it before that header; one that
// ends the file, at the end of the file: inside the section either way.
void InsertIntoSection(std::string& text, const std::string& header, const std::string& line,
                       bool atSectionEnd) {
  const size_t found = LowerCase(text).find(LowerCase(header));
  if (found == std::string::npos) {
    text = Trim(text) + "\r\n\r\n" + header + "\r\n" + line + "\r\n";
    return;
  }
  const size_t from = found + header.size();
  size_t end = text.find(atSectionEnd ? "\r\n\r\n" : "\r\n", from);
  if (atSectionEnd) end = std::min(end, text.find("\r\n[", from));
  if (end == std::string::npos) {
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) text += "\r\n";
    text += line + "\r\n";
    return;
  }
  text.insert(end + 2, line + "\r\n");
}

}  // namespace

void ExpandTemplate(const TInstallerState& state, const std::string& templatePath,
                    const std::string& targetFolder) {
  ForceFolders(targetFolder);
  const std::string source =
      IsAbsolutePath(templatePath)
          ? templatePath
          : state.ExtractPath + ExtractFilePath(templatePath) + ExtractFileName(templatePath);
  std::vector<std::string> lines;
  try {
    if (!SplitString(Trim(ReadFileToString(source)), '\n', lines, true) || lines.empty()) return;
  } catch (const platform::IoError&) {
    return;
  }
  const std::string temp = GetSpecialFolder(SpecialFolder::Windows, false) + "temp\\";
  std::string text;
  for (std::string line : lines) {
    ReplaceText(line, "%%installpath%%", state.InstallPath, true, false);
    ReplaceText(line, "%%logpath%%", state.LogsPath, true, false);
    ReplaceText(line, "%%temppath%%", temp, true, false);
    text += line + "\r\n";
  }
  const std::string target =
      WithPathDelimiter(targetFolder, true, false) + ExtractFileName(templatePath);
  WriteFileReplacing(target, text.data(), text.size(), TReplaceMode::WholeOnly);
}

void EditWebServerConfig(const std::string& installPath) {
  const std::string path = installPath + "config\\webserver.cfg";
  if (!FileExists(path)) return;
  std::optional<std::string> read = ReadWhole(path);
  if (!read) return;
  const std::string text = WebServerConfigEdited(std::move(*read));
  WriteFileReplacing(path, text.data(), text.size(), TReplaceMode::WholeOnly);
}

std::string WebServerConfigEdited(std::string text) {
  if (text.find("wcs.dll") == std::string::npos) {
    InsertIntoSection(text, "[Filter]", kFilterLine, true);
    InsertIntoSection(text, "[Virtual-Host]", kVirtualHostLine, false);
  }
  ReplaceText(text, "webmail\\web.dll", "php\\php.dll", true, true);
  return text;
}

bool RegisterAspell(const std::string& aspellFolder, const std::string& phpFolder) {
  bool created = false;
  try {
    platform::Registry& registry = platform::CurrentRegistry();
    auto exists = registry.KeyExists(platform::RegistryRoot::LocalMachine, "\\Software\\ASpell");
    if (exists && !exists.Value()) {
      auto key = registry.CreateKey(platform::RegistryRoot::LocalMachine, "\\Software\\ASpell",
                                    platform::RegistryAccess::ReadWrite);
      if (key) {
        key.Value()->WriteString("", WithPathDelimiter(aspellFolder, false, false));
        created = true;
      }
    }
    CopyFileTo(aspellFolder + "bin\\aspell-15.dll", phpFolder + "aspell-15.dll", false);
  } catch (...) {
    // The spell checker is optional: nothing stops the installation.
  }
  return created;
}
