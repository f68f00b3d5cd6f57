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

void TProgramFileBackup::PutBackMissing() {
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    if (entry->Kind == TKind::Replaced && !platform::PathExists(entry->Path) &&
        platform::RenamePath(entry->Path + kSuffix, entry->Path)) {
      entry = entries_.erase(entry);
    } else {
      ++entry;
    }
  }
}

void TProgramFileBackup::Discard() {
  for (const TEntry& entry : entries_)
    if (entry.Kind != TKind::Made) RemoveStale(entry.Path + kSuffix);
  entries_.clear();
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

void KeepArchiveTargets(const std::string& archive, const std::string& destination,
                        bool overwriteAll) {
  if (!active || archive.empty()) return;
  const std::string folder = WithPathDelimiter(destination, true, false);
  for (const std::string& name : ArchiveEntryNames(archive)) {
    const std::string target = folder + name;
    if (overwriteAll || !platform::PathExists(target)) active->Keep(target);
  }
}
