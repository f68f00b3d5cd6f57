// Ending the process at once, as the installer does after a command-line
// action, a cancel, a fatal error or the finish. Tests put a hook in place
// of the real exit.
#pragma once

#include <functional>
#include <stdexcept>

// Ends the process with the exit code, or calls the hook when one is set.
// The hook must not return; the test hook throws TProgramEnded.
[[noreturn]] void EndProgram(int exitCode);

using TProgramExitHook = std::function<void(int exitCode)>;
// Returns the previous hook; an empty hook restores the real exit.
TProgramExitHook SetProgramExitHook(TProgramExitHook hook);

// What the test hook throws in place of ending the process.
class TProgramEnded : public std::runtime_error {
 public:
  explicit TProgramEnded(int exitCode) : std::runtime_error("program ended"), exitCode_(exitCode) {}
  int ExitCode() const { return exitCode_; }

 private:
  int exitCode_;
};
