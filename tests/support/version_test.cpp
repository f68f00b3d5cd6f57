#include "support/version.h"

#include <gtest/gtest.h>

TEST(Version, NumbersAndComparison) {
  EXPECT_EQ(VersionNumber("9.1.5-7"), 9010507);
  EXPECT_EQ(VersionNumber("8.5.3-11"), 8050311);
  EXPECT_EQ(VersionNumber("8.9.0-1"), 8090001);
  EXPECT_EQ(VersionNumber("9.0"), 9000000);
  EXPECT_EQ(VersionNumber(""), 0);
  EXPECT_EQ(VersionNumber("9.1.5-7.3"), 9010507);
  EXPECT_EQ(VersionNumber("9.1.5.8-2"), 9010500);
  // Minor 100 spills into the major place.
  EXPECT_EQ(VersionNumber("1.100"), 2000000);

  EXPECT_TRUE(VersionAtLeast("9.1.5-7", "9.1.5-7"));
  EXPECT_FALSE(VersionAtLeast("8.5.3-7", "8.5.3-11"));
  EXPECT_TRUE(VersionAtLeast("9.0.0", "8.9.0-1"));
  EXPECT_TRUE(VersionAtLeast("", ""));
  EXPECT_FALSE(VersionAtLeast("8.2.6-99", "8.2.7"));
  EXPECT_TRUE(VersionAtLeast("9.0.0-3", "9.0.0-3"));
  // Compared unsigned: a wrapped negative number is very large.
  EXPECT_TRUE(VersionAtLeast("3000", "9.1.5-7"));
}
