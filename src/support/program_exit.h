// Ending the process at once, as the installer does after a command-line
// action, a cancel, a fatal error or the finish. What must be put back
// before the process goes (the services' start types, replaced program
// files) is registered as a clean-up while it is in effect, so that every
// way out runs it. Tests put a hook in place of the real exit.
#pragma once

#include <functional>
#include <stdexcept>

// Runs the registered clean-ups once, newest first (their failures are
// swallowed), then ends the process with the exit code, or calls the hook
// when one is set. The hook must not return; the test hook throws
// TProgramEnded.
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

// Registers a clean-up for its lifetime. Left normally, it is forgotten;
// left by an exception, it runs then, while what it refers to still exists.
class TExitCleanup {
 public:
  explicit TExitCleanup(std::function<void()> cleanup);
  ~TExitCleanup();
  TExitCleanup(const TExitCleanup&) = delete;
  TExitCleanup& operator=(const TExitCleanup&) = delete;

 private:
  friend void EndProgram(int exitCode);
  std::function<void()> cleanup_;
  TExitCleanup* outer_;
  int exceptions_;
};
