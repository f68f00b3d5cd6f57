#include "config/domain_settings.h"

#include "config/replace_file.h"
#include "config/settings_record.h"
#include "config/text_lines.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

std::string DomainSettingsPath(const std::string& domain) {
  return WithPathDelimiter(Settings().MailPath(), true, false) + domain + "\\" +
         kDomainSettingsFileName;
}

TDomainSettings ParseDomainSettings(std::string_view text) {
  TDomainSettings settings;
  for (const std::string& line : TextLines(text)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    settings.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return settings;
}

std::string DomainSettingsText(const TDomainSettings& settings) {
  std::string text;
  for (const auto& [name, value] : settings)
    text += name + "=" + value + "\r\n";
  return text;
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
  return ParseDomainSettings(text);
}

bool WriteDomainSettings(const std::string& domain, const TDomainSettings& settings) {
  const std::string text = DomainSettingsText(settings);
  return WriteFileReplacing(DomainSettingsPath(domain), text.data(), text.size(),
                            TReplaceMode::WholeOnly) != WriteOutcome::Failed;
}
