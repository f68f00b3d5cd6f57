// Installation without a person: the wizard walked from an answer file,
// with the windows shown (/SILENT) or without any (/VERYSILENT), and the
// answers of a run made by hand saved for the next one (/SAVEINF).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/answer_file.h"
#include "app/windows.h"

namespace ui {
class TAnsweringBackend;
class THeadlessBackend;
}  // namespace ui

inline constexpr int kExitBadAnswers = 2;

struct TUnattendedOptions {
  bool Help = false;         // "/?": print the switches
  bool VerySilent = false;   // no window at all
  std::string LoadInf;       // the answer file to walk the wizard with
  std::string SaveInf;       // where to save the answers of this run
  bool SilentFirst = false;  // the first argument is "/SILENT"
};

TUnattendedOptions ReadUnattendedOptions(const std::vector<std::string>& arguments);

// The switches, for "/?".
std::string UnattendedUsage();

// Reads and checks the answer file; false with the error to report.
bool LoadAnswerFile(const std::string& path, TAnswerFile& answers, std::string& error);

// Prints a line on standard output (a window program has one only when its
// starter gave it one).
void ReportLine(const std::string& line);

// The very silent mode's answers to message boxes: each one becomes a line
// of the setup log and of standard output; a question takes the answer that
// goes on, a failed copy is retried three times a second apart and then
// cancelled.
void AnswerBoxesUnattended(ui::THeadlessBackend& backend);

// Before the start-up: the language of the answers instead of the chooser
// (without windows through the headless backend, with them through the
// answering one), the run's captions and progress on standard output (very
// silent mode), the answers saved when the run starts and at the finish
// (/SAVEINF), the configuration without a window.
void PrepareUnattended(TApplicationWindows& windows, ui::THeadlessBackend* backend,
                       ui::TAnsweringBackend* answering, const TUnattendedOptions& options,
                       const TAnswerFile* answers);

// From now on counts the milliseconds the program waits (the run's fixed
// waits and the services' polls) and says them on standard output as its
// last line, "Waited N ms", so that a measurement can leave them out.
void ReportWaitsAtExit();

// Walks the wizard from the first page to the finish with the answers; ends
// the program (EndProgram) with the run's exit code, or kExitBadAnswers when
// a page refuses an answer.
[[noreturn]] void WalkWizard(TApplicationWindows& windows, const TAnswerFile& answers,
                             bool verySilent);

// The wizard's answers as they stand, for /SAVEINF.
TAnswerFile AnswersOf(const TMainForm& form);

// Runs the configuration of a new installation from the answers: the
// configuration wizard's steps without its window, unless a test gave other.
std::function<void(const TAnswerFile&)>& UnattendedConfiguration();
