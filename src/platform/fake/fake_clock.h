// A clock for tests: time stands still until the code sleeps or the test
// moves it, and every sleep is recorded.
#pragma once

#include <vector>

#include "platform/clock.h"

namespace platform {

class FakeClock final : public Clock {
 public:
  FakeClock();
  ~FakeClock() override;

  LocalTime Now() override;
  uint64_t MonotonicMs() override { return monotonic_; }
  void Sleep(uint32_t milliseconds) override;

  void SetNow(const LocalTime& now);
  void Advance(uint64_t milliseconds);
  const std::vector<uint32_t>& Sleeps() const { return sleeps_; }

 private:
  Clock* previous_;
  // Milliseconds since 1601-01-01 00:00 local time.
  int64_t localMs_ = 0;
  uint64_t monotonic_ = 1000;
  std::vector<uint32_t> sleeps_;
};

}  // namespace platform
