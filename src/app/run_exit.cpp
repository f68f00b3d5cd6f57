#include "app/run_exit.h"

#include <exception>

#include "support/program_exit.h"

namespace {

TRunCleanup* innermost = nullptr;

}  // namespace

TRunCleanup::TRunCleanup(std::function<void()> cleanup)
    : cleanup_(std::move(cleanup)), outer_(innermost) {
  innermost = this;
}

TRunCleanup::~TRunCleanup() {
  if (innermost == this) innermost = outer_;
}

void EndRun(int exitCode) {
  while (innermost) {
    TRunCleanup* cleanup = innermost;
    innermost = cleanup->outer_;
    try {
      if (cleanup->cleanup_) cleanup->cleanup_();
    } catch (...) {
      // The program ends either way; a clean-up that fails must not keep it.
    }
  }
  EndProgram(exitCode);
}
