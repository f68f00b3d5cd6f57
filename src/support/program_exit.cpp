#include "support/program_exit.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <utility>

namespace {

TProgramExitHook& ExitHook() {
  static TProgramExitHook hook;
  return hook;
}

TExitCleanup* innermost = nullptr;

void RunSwallowing(const std::function<void()>& cleanup) {
  try {
    if (cleanup) cleanup();
  } catch (...) {
    // The program ends either way; a clean-up that fails must not keep it.
  }
}

}  // namespace

TExitCleanup::TExitCleanup(std::function<void()> cleanup)
    : cleanup_(std::move(cleanup)), outer_(innermost), exceptions_(std::uncaught_exceptions()) {
  innermost = this;
}

TExitCleanup::~TExitCleanup() {
  if (innermost != this) return;  // EndProgram ran it already
  innermost = outer_;
  if (std::uncaught_exceptions() > exceptions_) RunSwallowing(cleanup_);
}

void EndProgram(int exitCode) {
  while (innermost) {
    TExitCleanup* cleanup = innermost;
    innermost = cleanup->outer_;
    RunSwallowing(cleanup->cleanup_);
  }
  if (ExitHook()) {
    ExitHook()(exitCode);
    // A hook that returns would let the caller go on as if nothing ended.
    std::terminate();
  }
  std::fflush(nullptr);
  // No destructors: windows and their backend go with the process, as the
  // system ends it.
  std::_Exit(exitCode);
}

TProgramExitHook SetProgramExitHook(TProgramExitHook hook) {
  return std::exchange(ExitHook(), std::move(hook));
}
