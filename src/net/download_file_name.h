// The name of the temporary file that each download request creates.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

// The request counter as four characters: lower-case hexadecimal, a "0" in
// front of an odd number of digits, padded to four with "0" or cut to its
// first four (1 gives "0001", 10 "000a", 300 "012c").
std::string RequestCounterText(uint64_t counter);

// "yyyymmddhhnnss" of the local time, the counter's four characters, ".tmp".
std::string DownloadFileName(const platform::LocalTime& time, uint64_t counter);
