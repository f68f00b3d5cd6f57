#include "upgrade/upgrade_progress.h"

#include <charconv>

#include "config/replace_file.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/text.h"

namespace {

bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && at == end && value >= low && value <= high;
}

const SettingsField* FindInt32Field(std::string_view name) {
  for (const SettingsField& field : kSettingsFields)
    if (field.Name == name && field.Kind == SettingsFieldKind::Int32) return &field;
  return nullptr;
}

}  // namespace

std::string UpgradeProgressText(const TUpgradeProgress& progress) {
  std::string text = "from=" + progress.From + "\r\ndone=" + std::to_string(progress.Done) + "\r\n";
  if (progress.Pending) text += "pending=" + std::to_string(progress.Pending) + "\r\n";
  for (const auto& [field, value] : progress.Expected)
    text += "expect=" + std::string(field->Name) + ":" + std::to_string(value) + "\r\n";
  return text;
}

std::optional<TUpgradeProgress> ParseUpgradeProgress(std::string_view text, int lastStep) {
  TUpgradeProgress progress;
  bool haveFrom = false, haveDone = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    int64_t number = 0;
    if (key == "from" && !haveFrom) {
      if (value.size() > kShortStringLength) return std::nullopt;
      progress.From = std::string(value);
      haveFrom = true;
    } else if (key == "done" && !haveDone) {
      if (!ParseNumber(value, 0, lastStep, number)) return std::nullopt;
      progress.Done = static_cast<int>(number);
      haveDone = true;
    } else if (key == "pending" && !progress.Pending) {
      if (!ParseNumber(value, 1, lastStep, number)) return std::nullopt;
      progress.Pending = static_cast<int>(number);
    } else if (key == "expect") {
      size_t colon = value.find(':');
      const SettingsField* field =
          colon == std::string_view::npos ? nullptr : FindInt32Field(value.substr(0, colon));
      if (!field || !ParseNumber(value.substr(colon + 1), INT32_MIN, INT32_MAX, number))
        return std::nullopt;
      progress.Expected.emplace_back(field, static_cast<int32_t>(number));
    } else {
      return std::nullopt;
    }
  }
  if (!haveFrom || !haveDone) return std::nullopt;
  return progress;
}

std::optional<TUpgradeProgress> ReadUpgradeProgress(const std::string& configFolder, int lastStep) {
  const std::string path = configFolder + kUpgradeProgressFileName;
  if (!platform::PathExists(path)) return std::nullopt;
  try {
    return ParseUpgradeProgress(ReadFileToString(path), lastStep);
  } catch (const platform::IoError&) {
    return std::nullopt;
  }
}

bool WriteUpgradeProgress(const std::string& configFolder, const TUpgradeProgress& progress) {
  std::string text = UpgradeProgressText(progress);
  return WriteFileReplacing(configFolder + kUpgradeProgressFileName, text.data(), text.size(),
                            TReplaceMode::WholeOnly) != WriteOutcome::Failed;
}

void RemoveUpgradeProgress(const std::string& configFolder) {
  platform::RemoveFile(configFolder + kUpgradeProgressFileName);
}
