// What an installation run replaced or made among the program files, so that
// a run that fails can put the installation back as it was. A replaced file
// is kept beside itself under another name (a rename on the same volume), a
// made file is only noted; a failed run restores both, a finished one
// deletes the kept copies.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TProgramFileBackup {
 public:
  // The suffix of a kept copy.
  static constexpr const char* kSuffix = ".setup-old";

  // Names, one a line, each file and folder before it is kept, so that the
  // run after one ended by force (a kill, a power cut) finds the kept
  // copies (PutBackKeptCopies). Restore and Discard delete the file.
  void SetJournal(std::string path) { journal_ = std::move(path); }

  // Before path is replaced, deleted or made: keeps it (once per run).
  // False when an existing file could not be kept, which leaves it alone.
  bool Keep(const std::string& path);
  // Before a folder of program files is deleted: keeps it whole.
  bool KeepFolder(const std::string& folder);

  // Puts every kept file and folder back and deletes the files the run
  // made, newest first. Returns how many were put back or deleted.
  size_t Restore();
  // Deletes the kept copies.
  void Discard();
  // Puts a kept file back when it is missing now (its replacement failed
  // and the run goes on without it) and forgets it.
  void PutBackIfMissing(const std::string& path);

  size_t Count() const { return entries_.size(); }

 private:
  enum class TKind { Replaced, Made, Folder };
  struct TEntry {
    TKind Kind;
    std::string Path;
  };
  bool Known(const std::string& path) const;
  bool Note(const std::string& path);
  std::vector<TEntry> entries_;
  std::string journal_;
};

// Puts back what a run that was ended by force kept and named in its
// journal, over what it wrote in their place, so that the next run starts
// from the installation as it was; then deletes the journal. Returns how
// many were put back.
size_t PutBackKeptCopies(const std::string& journal);

// The journal of the runs into an installation folder.
std::string BackupJournalPath(const std::string& installPath);

// The run's backup while its files are written; nullptr otherwise.
TProgramFileBackup* ActiveBackup();
void SetActiveBackup(TProgramFileBackup* backup);

// Keeps path through the active backup, if there is one.
void KeepProgramFile(const std::string& path);
void KeepProgramFolder(const std::string& folder);
// Puts path back through the active backup when its replacement failed.
void PutBackProgramFile(const std::string& path);
// Keeps every file an extraction of archive into destination would write;
// returns their paths.
std::vector<std::string> KeepArchiveTargets(const std::string& archive,
                                            const std::string& destination, bool overwriteAll);
