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

}  // namespace

void EndProgram(int exitCode) {
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
