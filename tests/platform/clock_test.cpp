#include "platform/fake/fake_clock.h"

#include <gtest/gtest.h>

TEST(Clock, FakeClockInstallsAndRecordsSleeps) {
  platform::Clock* system = &platform::CurrentClock();
  {
    platform::FakeClock fake;
    EXPECT_EQ(&platform::CurrentClock(), &fake);
    fake.SetNow({2023, 12, 31, 23, 59, 59, 500, 0});
    platform::CurrentClock().Sleep(1500);
    platform::LocalTime now = platform::CurrentClock().Now();
    EXPECT_EQ(now.Year, 2024);
    EXPECT_EQ(now.Month, 1);
    EXPECT_EQ(now.Day, 1);
    EXPECT_EQ(now.Second, 1);
    EXPECT_EQ(now.DayOfWeek, 1);  // a Monday
    EXPECT_EQ(fake.Sleeps(), std::vector<uint32_t>{1500});
  }
  EXPECT_EQ(&platform::CurrentClock(), system);
  // The real clock moves forward while it sleeps.
  uint64_t before = platform::CurrentClock().MonotonicMs();
  // The tick count may move in steps of about 16 ms.
  platform::CurrentClock().Sleep(50);
  EXPECT_GE(platform::CurrentClock().MonotonicMs() - before, 30u);
  EXPECT_GE(platform::CurrentClock().Now().Year, 2024);
}

TEST(Clock, MessagePumpHook) {
  int pumped = 0;
  platform::ProcessPendingMessages();
  platform::SetMessagePump([&] { ++pumped; });
  platform::ProcessPendingMessages();
  platform::ProcessPendingMessages();
  platform::SetMessagePump(nullptr);
  platform::ProcessPendingMessages();
  EXPECT_EQ(pumped, 2);
}
