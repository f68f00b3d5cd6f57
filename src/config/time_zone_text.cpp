#include "config/time_zone_text.h"

#include <cstdio>
#include <cstdlib>

std::string TimeZoneOffsetText(int minutesAheadOfUtc) {
  // Real offsets stay within a day; anything else is cut to fit the form.
  int offset = static_cast<int>(std::llabs(minutesAheadOfUtc) % (100 * 60));
  char text[8];
  std::snprintf(text, sizeof text, "%c%.2d%.2d", minutesAheadOfUtc > 0 ? '+' : '-', offset / 60,
                offset % 60);
  return text;
}

std::string& LocalTimeZoneText() {
  static std::string text;
  return text;
}
