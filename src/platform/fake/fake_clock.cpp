#include "platform/fake/fake_clock.h"

namespace platform {
namespace {

// Days from the civil date to 1970-01-01 (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

constexpr int64_t kMsPerDay = 86400000;

}  // namespace

FakeClock::FakeClock() : previous_(InstallClock(this)) {
  SetNow(LocalTime{2024, 3, 1, 14, 5, 9, 0, 5});
}

FakeClock::~FakeClock() {
  InstallClock(previous_);
}

LocalTime FakeClock::Now() {
  int64_t days = localMs_ / kMsPerDay, rest = localMs_ % kMsPerDay;
  LocalTime time;
  CivilFromDays(days, time.Year, time.Month, time.Day);
  time.Hour = static_cast<int>(rest / 3600000);
  time.Minute = static_cast<int>(rest / 60000 % 60);
  time.Second = static_cast<int>(rest / 1000 % 60);
  time.Millisecond = static_cast<int>(rest % 1000);
  time.DayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  return time;
}

void FakeClock::Sleep(uint32_t milliseconds) {
  sleeps_.push_back(milliseconds);
  Advance(milliseconds);
}

void FakeClock::SetNow(const LocalTime& now) {
  int64_t days =
      DaysFromCivil(now.Year, static_cast<unsigned>(now.Month), static_cast<unsigned>(now.Day));
  localMs_ = days * kMsPerDay + now.Hour * 3600000LL + now.Minute * 60000LL + now.Second * 1000LL +
             now.Millisecond;
}

void FakeClock::Advance(uint64_t milliseconds) {
  localMs_ += static_cast<int64_t>(milliseconds);
  monotonic_ += milliseconds;
}

}  // namespace platform
