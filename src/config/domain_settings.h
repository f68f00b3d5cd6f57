// A domain's own settings (its administrator's address and the like) as the
// automation server keeps them: "domain.dat" in the domain's mail folder,
// one KEY=value line each, in the order they were set.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr const char* kDomainSettingsFileName = "domain.dat";

using TDomainSettings = std::vector<std::pair<std::string, std::string>>;

// The pairs of such a text; lines without a name before "=" are skipped.
TDomainSettings ParseDomainSettings(std::string_view text);
// The text of the pairs, one "KEY=value" line each with CR LF.
std::string DomainSettingsText(const TDomainSettings& settings);

// The file of a domain, below the settings' mail folder.
std::string DomainSettingsPath(const std::string& domain);
// Nothing when the domain has no such file; lines without "=" are skipped.
TDomainSettings ReadDomainSettings(const std::string& domain);
// Replaces the file whole (its folder made when missing); false when it
// could not be written.
bool WriteDomainSettings(const std::string& domain, const TDomainSettings& settings);
