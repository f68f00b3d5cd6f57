#include "app/program_file_backup.h"

#include <algorithm>

#include "archive/verify_archive.h"
#include "platform/files.h"
#include "support/fields.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

TProgramFileBackup* active = nullptr;

std::string WithoutDelimiter(const std::string& folder) {
  return WithPathDelimiter(folder, false, false);
}

// Removes the file or folder at path, read-only or not. A kept copy left by
// a run that ended without a word (a kill) is older than the file it would
// replace and goes first; what such a run wrote goes before its kept copy
// comes back.
void RemovePath(const std::string& path) {
  if (platform::IsFolder(path)) {
    DeleteFolderTree(path);
  } else if (platform::PathExists(path)) {
    platform::SetReadOnly(path, false);
    platform::RemoveFile(path);
  }
}

}  // namespace

bool TProgramFileBackup::Known(const std::string& path) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const TEntry& entry) { return SameText(entry.Path, path); });
}

// Before a rename: what is kept must be named where the next run looks,
// or a kill would leave it where nothing finds it.
bool TProgramFileBackup::Note(const std::string& path) {
  if (journal_.empty()) return true;
  try {
    return WriteStringToFile(path + "\r\n", journal_, false, true);
  } catch (const std::exception&) {
    return false;
  }
}

bool TProgramFileBackup::Keep(const std::string& path) {
  if (path.empty() || Known(path)) return true;
  if (!platform::PathExists(path)) {
    entries_.push_back({TKind::Made, path});
    return true;
  }
  if (platform::IsFolder(path)) return false;
  const std::string kept = path + kSuffix;
  RemovePath(kept);
  if (!Note(path) || !platform::RenamePath(path, kept)) return false;
  entries_.push_back({TKind::Replaced, path});
  return true;
}

bool TProgramFileBackup::KeepFolder(const std::string& folder) {
  const std::string path = WithoutDelimiter(folder);
  if (path.empty() || Known(path) || !platform::IsFolder(path)) return true;
  const std::string kept = path + kSuffix;
  RemovePath(kept);
  if (!Note(path) || !platform::RenamePath(path, kept)) return false;
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
  if (!journal_.empty()) platform::RemoveFile(journal_);
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
    if (entry.Kind != TKind::Made) RemovePath(entry.Path + kSuffix);
  entries_.clear();
  if (!journal_.empty()) platform::RemoveFile(journal_);
}

std::string BackupJournalPath(const std::string& installPath) {
  return WithPathDelimiter(installPath, true, false) + "setup-kept.txt";
}

size_t PutBackKeptCopies(const std::string& journal) {
  if (!FileExists(journal)) return 0;
  std::string text;
  try {
    text = ReadFileToString(journal);
  } catch (const std::exception&) {
    return 0;
  }
  size_t count = 0;
  std::vector<std::string> paths;
  SplitString(text, '\n', paths, true);
  // Newest first, as a restore goes: a folder kept after files in it comes
  // back before them.
  for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
    const std::string kept = *path + TProgramFileBackup::kSuffix;
    if (path->empty() || !platform::PathExists(kept)) continue;
    RemovePath(*path);
    if (platform::RenamePath(kept, *path)) ++count;
  }
  platform::RemoveFile(journal);
  return count;
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
