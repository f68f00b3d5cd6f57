// Loading and saving the suite's settings ("settings.cfg") and domain table
// ("domains.cfg") in the configuration folder. Both are process-wide; every
// load and save holds the settings lock (entry 0 of the lock table).
#pragma once

#include "config/replace_file.h"

#include <cstdint>
#include <string>

inline constexpr const char* kSettingsFileName = "settings.cfg";
inline constexpr const char* kDomainsFileName = "domains.cfg";

// What the last load noticed beside the record itself.
struct TSettingsLoadState {
  int32_t FileStamp = 0;  // of "settings.cfg" when the load began
  bool SettingsFileRead = false;
  bool SubdomainsFile = false;  // "subdomains.dat" exists
  // The name-server set-up for the suite's resolver.
  std::string DnsServers;
  int DnsQuery = 3;
  int32_t DnsSwitch = 1;
};

TSettingsLoadState& SettingsLoadState();

// Reads "settings.cfg" over the in-memory record (a short file leaves the
// rest as it was), normalises it and, unless skipDependants, loads the domain
// table and applies the processor affinity. False only when reportMissing is
// set and the file could not be opened.
bool LoadSettings(bool reportMissing, bool skipDependants);

// The corrections every load applies; notRead: there was no file.
void NormalizeSettings(bool notRead);

// Writes "settings.cfg" and, unless settingsOnly, "domains.cfg" (each
// replaced in one step). True when at least one file was written whole;
// with WholeOnly, no file is written in place and true means that every
// file was replaced.
bool SaveSettings(bool settingsOnly, TReplaceMode mode = TReplaceMode::InPlaceWhenRefused);

// Reads the domain table: from the database in storage mode 2 when the
// suite's library can be connected and has a table, otherwise from
// "domains.cfg" or, without it, from the older table inside "settings.cfg".
void LoadDomains();
