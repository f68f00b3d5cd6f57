// Local time, monotonic time and waiting. The installer's fixed waits go
// through here so that tests can run them instantly and see them.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

struct LocalTime {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  int DayOfWeek = 0;  // 0 = Sunday
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  virtual uint64_t MonotonicMs() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

// The clock in use: the system's, unless a test installed another.
Clock& CurrentClock();
// Installs a clock (nullptr: the system's again); returns the previous one.
Clock* InstallClock(Clock* clock);

// Long operations call this at fixed points so that the window stays alive.
// The user-interface backend installs the pump; without one it does nothing.
void ProcessPendingMessages();
void SetMessagePump(std::function<void()> pump);

}  // namespace platform
