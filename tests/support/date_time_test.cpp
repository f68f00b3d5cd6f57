#include "support/date_time.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_clock.h"

TEST(DateTime, DaysSince1899) {
  EXPECT_DOUBLE_EQ(ToDateTime({1899, 12, 30, 0, 0, 0, 0, 6}), 0.0);
  EXPECT_DOUBLE_EQ(ToDateTime({1900, 1, 1, 12, 0, 0, 0, 1}), 2.5);
  EXPECT_DOUBLE_EQ(ToDateTime({2024, 3, 1, 0, 0, 0, 0, 5}), 45352.0);
}

TEST(DateTime, FormatPatterns) {
  platform::LocalTime t{2024, 3, 1, 14, 5, 9, 7, 5};
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh\":\"nn\":\"ss", t), "2024-03-01 14:05:09");
  EXPECT_EQ(FormatDateTime("yyyymmdd", t), "20240301");
  EXPECT_EQ(FormatDateTime("yy/m/d", t), "24/3/1");
  EXPECT_EQ(FormatDateTime("hh:mm", t), "14:05");
  EXPECT_EQ(FormatDateTime("h:n:s.zzz", t), "14:5:9.007");
  EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", t), "Fri Friday Mar March");
  EXPECT_EQ(FormatDateTime("h am/pm", t), "2 pm");
  EXPECT_EQ(FormatDateTime("'day' d", t), "day 1");
  EXPECT_EQ(FormatDateTime("", t), "");
}

TEST(DateTime, DeadlinesFollowTheClock) {
  platform::FakeClock clock;
  TDateTime deadline = DeadlineAfter(30000);
  EXPECT_FALSE(DeadlinePassed(deadline));
  clock.Advance(29999);
  EXPECT_FALSE(DeadlinePassed(deadline));
  clock.Advance(2);
  EXPECT_TRUE(DeadlinePassed(deadline));
  EXPECT_TRUE(DeadlinePassed(DeadlineAfter(0)));
}
