// Date-time values as days since 1899-12-30 (the platform's date-time type),
// formatting with date-time patterns, and deadlines on the local clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"

using TDateTime = double;

TDateTime ToDateTime(const platform::LocalTime& time);
TDateTime Now();

// Formats with a date-time pattern: y, yy, yyyy; m, mm, mmm, mmmm (minutes
// right after an hour); d, dd, ddd, dddd; h, hh; n, nn; s, ss; z, zzz;
// am/pm, a/p; text in double or single quotes is copied literally; other
// characters stand for themselves.
std::string FormatDateTime(std::string_view pattern, const platform::LocalTime& time);

TDateTime DeadlineAfter(uint32_t milliseconds);
bool DeadlinePassed(TDateTime deadline);
