#include <ctime>
#include <thread>

#include "platform/native.h"

namespace platform {
namespace {

class PosixClock final : public Clock {
 public:
  LocalTime Now() override {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm local;
    localtime_r(&now.tv_sec, &local);
    LocalTime time;
    time.Year = local.tm_year + 1900;
    time.Month = local.tm_mon + 1;
    time.Day = local.tm_mday;
    time.Hour = local.tm_hour;
    time.Minute = local.tm_min;
    time.Second = local.tm_sec;
    time.Millisecond = static_cast<int>(now.tv_nsec / 1000000);
    time.DayOfWeek = local.tm_wday;
    return time;
  }
  uint64_t MonotonicMs() override {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec / 1000000);
  }
  void Sleep(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

}  // namespace

Clock& NativeClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace platform
