// The local time-zone offset as message dates carry it: "+0100", "-0500".
#pragma once

#include <string>

// A plus sign when local time is ahead of UTC, otherwise (zero included) a
// minus sign, then the absolute offset as two-digit hours and minutes.
std::string TimeZoneOffsetText(int minutesAheadOfUtc);

// The text for this machine, worked out by InitServerPaths.
std::string& LocalTimeZoneText();
