#include "support/startup_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"

void StartupTrace(const char* step) {
  static const bool enabled = std::getenv("SETUP_STARTUP_TRACE") != nullptr;
  if (!enabled) return;
  static const uint64_t begin = [] {
    // The wall clock once, so that the trace can be set against the
    // start of the process as a script saw it.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(
        stderr, "%lld.%03lld  wall clock at the first step\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(now).count()),
        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count() %
                               1000));
    return platform::CurrentClock().MonotonicMs();
  }();
  std::fprintf(stderr, "%6llu ms  %s\n",
               static_cast<unsigned long long>(platform::CurrentClock().MonotonicMs() - begin),
               step);
  std::fflush(stderr);
}
