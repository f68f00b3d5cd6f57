#include <windows.h>

#include "platform/native.h"

namespace platform {
namespace {

class Win32Clock final : public Clock {
 public:
  LocalTime Now() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    LocalTime time;
    time.Year = now.wYear;
    time.Month = now.wMonth;
    time.Day = now.wDay;
    time.Hour = now.wHour;
    time.Minute = now.wMinute;
    time.Second = now.wSecond;
    time.Millisecond = now.wMilliseconds;
    time.DayOfWeek = now.wDayOfWeek;
    return time;
  }
  uint64_t MonotonicMs() override { return GetTickCount64(); }
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

Clock& NativeClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace platform
