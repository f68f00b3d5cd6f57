// The one way out of an installation run that cannot or may not go on: a
// fatal error, a cancelled copy, the cancel button. What the run must put
// back before the program ends (the services' start types) is registered
// here while it is in effect.
#pragma once

#include <functional>

// Runs the registered clean-ups once (their failures are swallowed), then
// ends the program with exitCode.
[[noreturn]] void EndRun(int exitCode);

// Registers a clean-up for its lifetime; the newest one runs first.
class TRunCleanup {
 public:
  explicit TRunCleanup(std::function<void()> cleanup);
  ~TRunCleanup();
  TRunCleanup(const TRunCleanup&) = delete;
  TRunCleanup& operator=(const TRunCleanup&) = delete;

 private:
  friend void EndRun(int exitCode);
  std::function<void()> cleanup_;
  TRunCleanup* outer_;
};
