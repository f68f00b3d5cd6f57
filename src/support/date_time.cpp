#include "support/date_time.h"

#include <cctype>
#include <cstdio>

namespace {

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string Number(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  return buffer;
}

size_t RunLength(std::string_view pattern, size_t at) {
  size_t end = at;
  char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[at])));
  while (end < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[end])) == c)
    ++end;
  return end - at;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
  return true;
}

}  // namespace

TDateTime ToDateTime(const platform::LocalTime& t) {
  // Days from 1899-12-30 by the civil-date algorithm.
  long long y = t.Year - (t.Month <= 2 ? 1 : 0);
  long long era = (y >= 0 ? y : y - 399) / 400;
  long long yoe = y - era * 400;
  long long mp = t.Month > 2 ? t.Month - 3 : t.Month + 9;
  long long doy = (153 * mp + 2) / 5 + t.Day - 1;
  long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long daysSince1970 = era * 146097 + doe - 719468;
  long long days = daysSince1970 + 25569;
  double fraction =
      (t.Hour * 3600000.0 + t.Minute * 60000.0 + t.Second * 1000.0 + t.Millisecond) / 86400000.0;
  return static_cast<double>(days) + fraction;
}

TDateTime Now() {
  return ToDateTime(platform::CurrentClock().Now());
}

std::string FormatDateTime(std::string_view pattern, const platform::LocalTime& t) {
  bool twelveHour = false;
  for (size_t i = 0; i < pattern.size(); ++i)
    if (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p"))
      twelveHour = true;

  std::string out;
  bool afterHour = false;
  size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"' || c == '\'') {
      size_t close = pattern.find(c, i + 1);
      if (close == std::string_view::npos) close = pattern.size();
      out.append(pattern.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "am/pm")) {
      out += t.Hour < 12 ? "am" : "pm";
      i += 5;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "a/p")) {
      out += t.Hour < 12 ? "a" : "p";
      i += 3;
      continue;
    }
    size_t run = RunLength(pattern, i);
    bool wasHour = false;
    switch (lower) {
      case 'y':
        out += run <= 2 ? Number(t.Year % 100, 2) : Number(t.Year, 4);
        break;
      case 'm':
        if (afterHour && run <= 2)
          out += Number(t.Minute, run == 1 ? 1 : 2);
        else if (run <= 2)
          out += Number(t.Month, run == 1 ? 1 : 2);
        else if (run == 3)
          out += std::string(kMonthNames[(t.Month + 11) % 12]).substr(0, 3);
        else
          out += kMonthNames[(t.Month + 11) % 12];
        break;
      case 'd':
        if (run <= 2)
          out += Number(t.Day, run == 1 ? 1 : 2);
        else if (run == 3)
          out += std::string(kDayNames[t.DayOfWeek % 7]).substr(0, 3);
        else
          out += kDayNames[t.DayOfWeek % 7];
        break;
      case 'h': {
        int hour = twelveHour ? (t.Hour % 12 == 0 ? 12 : t.Hour % 12) : t.Hour;
        out += Number(hour, run == 1 ? 1 : 2);
        wasHour = true;
        break;
      }
      case 'n':
        out += Number(t.Minute, run == 1 ? 1 : 2);
        break;
      case 's':
        out += Number(t.Second, run == 1 ? 1 : 2);
        break;
      case 'z':
        out += Number(t.Millisecond, run >= 3 ? 3 : 1);
        break;
      default:
        out.append(pattern.substr(i, run));
        break;
    }
    // "m" right after an hour (blanks and separators between) means minutes.
    if (wasHour)
      afterHour = true;
    else if (std::isalpha(static_cast<unsigned char>(lower)))
      afterHour = false;
    i += run;
  }
  return out;
}

TDateTime DeadlineAfter(uint32_t milliseconds) {
  return Now() + milliseconds / 86400000.0;
}

bool DeadlinePassed(TDateTime deadline) {
  return Now() >= deadline;
}
