#include "config/domain_settings.h"

#include "config/replace_file.h"
#include "config/settings_record.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

std::string DomainSettingsPath(const std::string& domain) {
  return WithPathDelimiter(Settings().MailPath(), true, false) + domain + "\\" +
         kDomainSettingsFileName;
}

TDomainSettings ReadDomainSettings(const std::string& domain) {
  TDomainSettings settings;
  const std::string path = DomainSettingsPath(domain);
  if (!FileExists(path)) return settings;
  std::string text;
  try {
    text = ReadFileToString(path);
  } catch (const std::exception&) {
    return settings;
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    settings.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return settings;
}

bool WriteDomainSettings(const std::string& domain, const TDomainSettings& settings) {
  std::string text;
  for (const auto& [name, value] : settings)
    text += name + "=" + value + "\r\n";
  return WriteFileReplacing(DomainSettingsPath(domain), text.data(), text.size(),
                            TReplaceMode::WholeOnly) != WriteOutcome::Failed;
}
