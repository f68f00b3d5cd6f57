// How far the upgrade procedures of an installation got, kept in its
// configuration folder as "upgrade.dat" while they run, so that a run that
// was ended (a kill, a crash, a power cut) goes on where it stopped instead
// of starting over or, with the new version already recorded, not at all.
//
// The file is text, one `key=value` a line:
//   from=8.5.3                   the version the upgrade started from
//   done=22                      the last step that finished (0: none)
//   pending=23                   a step that was saving when the file was written
//   expect=HourTimeValue:7200    the value its save gives a settings field
// A pending step whose expected values are all in the settings did save; any
// other pending step runs again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/settings_fields.h"

inline constexpr const char* kUpgradeProgressFileName = "upgrade.dat";

struct TUpgradeProgress {
  std::string From;
  int Done = 0;
  int Pending = 0;
  std::vector<std::pair<const SettingsField*, int32_t>> Expected;  // 32-bit fields only
};

std::string UpgradeProgressText(const TUpgradeProgress& progress);
// Nothing for a text that is not such a record (unknown keys, steps outside
// 0..lastStep, fields that are not 32-bit ones, a version over 255 characters).
std::optional<TUpgradeProgress> ParseUpgradeProgress(std::string_view text, int lastStep);

// The record of an installation's configuration folder; nothing when there
// is none or it cannot be read.
std::optional<TUpgradeProgress> ReadUpgradeProgress(const std::string& configFolder, int lastStep);
// Replaces the file in one step; false when it could not be written.
bool WriteUpgradeProgress(const std::string& configFolder, const TUpgradeProgress& progress);
void RemoveUpgradeProgress(const std::string& configFolder);
