#include "net/download_file_name.h"

#include "support/date_time.h"

std::string RequestCounterText(uint64_t counter) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  do {
    hex.insert(hex.begin(), kDigits[counter & 15]);
    counter >>= 4;
  } while (counter != 0);
  if (hex.size() % 2 == 1) hex.insert(hex.begin(), '0');
  if (hex.size() < 4) hex.insert(0, 4 - hex.size(), '0');
  return hex.substr(0, 4);
}

std::string DownloadFileName(const platform::LocalTime& time, uint64_t counter) {
  return FormatDateTime("yyyymmddhhnnss", time) + RequestCounterText(counter) + ".tmp";
}
