#include "app/program_file_backup.h"

#include <algorithm>

#include "archive/verify_archive.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

TProgramFileBackup* active = nullptr;

std::string WithoutDelimiter(const std::string& folder) {
  return WithPathDelimiter(folder, false, false);
}

// A kept copy left by a run that ended without a word (a kill) is older
// than the file it would replace and goes first.
void RemoveStale(const std::string& kept) {
  if (platform::IsFolder(kept)) {
    DeleteFolderTree(kept);
  } else if (platform::PathExists(kept)) {
    platform::SetReadOnly(kept, false);
    platform::RemoveFile(kept);
  }
}

}  // namespace

bool TProgramFileBackup::Known(const std::string& path) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const TEntry& entry) { return SameText(entry.Path, path); });
}

bool TProgramFileBackup::Keep(const std::string& path) {
  if (path.empty() || Known(path)) return true;
  if (!platform::PathExists(path)) {
    entries_.push_back({TKind::Made, path});
    return true;
  }
  if (platform::IsFolder(path)) return false;
  const std::string kept = path + kSuffix;
  RemoveStale(kept);
  if (!platform::RenamePath(path, kept)) return false;
  entries_.push_back({TKind::Replaced, path});
  return true;
}

bool TProgramFileBackup::KeepFolder(const std::string& folder) {
  const std::string path = WithoutDelimiter(folder);
  if (path.empty() || Known(path) || !platform::IsFolder(path)) return true;
  const std::string kept = path + kSuffix;
  RemoveStale(kept);
  if (!platform::RenamePath(path, kept)) return false;
  entries_.push_back({TKind::Folder, path});
  return true;
}

size_t TProgramFileBackup::Restore() {
  size_t restored = 0;
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
    const std::string& path = entry->Path;
    if (entry->Kind == TKind::Folder) {
      DeleteFolderTree(path);
      if (platform::RenamePath(path + kSuffix, path)) ++restored;
      continue;
    }
    if (platform::PathExists(path) && !platform::IsFolder(path)) {
      platform::SetReadOnly(path, false);
      platform::RemoveFile(path);
    }
    if (entry->Kind == TKind::Made) {
      if (!platform::PathExists(path)) ++restored;
    } else if (platform::RenamePath(path + kSuffix, path)) {
      ++restored;
    }
  }
  entries_.clear();
  return restored;
}

void TProgramFileBackup::PutBackIfMissing(const std::string& path) {
  for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
    if (!SameText(entry->Path, path)) continue;
    if (entry->Kind == TKind::Replaced && !platform::PathExists(path) &&
        platform::RenamePath(path + kSuffix, path))
      entries_.erase(entry);
    return;
  }
}

void TProgramFileBackup::Discard() {
  for (const TEntry& entry : entries_)
    if (entry.Kind != TKind::Made) RemoveStale(entry.Path + kSuffix);
  entries_.clear();
}

namespace {

bool EndsWithSuffix(const std::string& name) {
  const std::string suffix = TProgramFileBackup::kSuffix;
  return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(),
                                                     suffix) == 0;
}

size_t PutBackBelow(const std::string& folder, bool top) {
  size_t count = 0;
  for (const platform::FolderEntry& entry : platform::ListFolder(folder, "*.*")) {
    if (entry.IsLink) continue;
    const std::string path = folder + entry.Name;
    if (EndsWithSuffix(entry.Name)) {
      const std::string original =
          path.substr(0, path.size() - std::char_traits<char>::length(TProgramFileBackup::kSuffix));
      if (platform::IsFolder(original)) {
        DeleteFolderTree(WithPathDelimiter(original, true, false));
      } else if (platform::PathExists(original)) {
        platform::SetReadOnly(original, false);
        platform::RemoveFile(original);
      }
      if (platform::RenamePath(path, original)) ++count;
      continue;
    }
    if (!entry.IsFolder) continue;
    if (top && (SameText(entry.Name, "config") || SameText(entry.Name, "mail") ||
                SameText(entry.Name, "logs")))
      continue;
    count += PutBackBelow(path + "\\", false);
  }
  return count;
}

}  // namespace

size_t PutBackKeptCopies(const std::string& installPath) {
  if (installPath.empty() || !FolderExists(installPath)) return 0;
  return PutBackBelow(WithPathDelimiter(installPath, true, false), true);
}

TProgramFileBackup* ActiveBackup() {
  return active;
}

void SetActiveBackup(TProgramFileBackup* backup) {
  active = backup;
}

void KeepProgramFile(const std::string& path) {
  if (active) active->Keep(path);
}

void KeepProgramFolder(const std::string& folder) {
  if (active) active->KeepFolder(folder);
}

void PutBackProgramFile(const std::string& path) {
  if (active) active->PutBackIfMissing(path);
}

std::vector<std::string> KeepArchiveTargets(const std::string& archive,
                                            const std::string& destination, bool overwriteAll) {
  std::vector<std::string> kept;
  if (!active || archive.empty()) return kept;
  const std::string folder = WithPathDelimiter(destination, true, false);
  for (const std::string& name : ArchiveEntryNames(archive)) {
    const std::string target = folder + name;
    if (overwriteAll || !platform::PathExists(target)) {
      active->Keep(target);
      kept.push_back(target);
    }
  }
  return kept;
}
