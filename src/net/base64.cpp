#include "net/base64.h"

#include <cstdint>

std::string Base64Encode(std::string_view data) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string result;
  result.reserve((data.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    uint32_t group = static_cast<uint8_t>(data[i]) << 16 | static_cast<uint8_t>(data[i + 1]) << 8 |
                     static_cast<uint8_t>(data[i + 2]);
    result += kAlphabet[group >> 18];
    result += kAlphabet[(group >> 12) & 63];
    result += kAlphabet[(group >> 6) & 63];
    result += kAlphabet[group & 63];
  }
  size_t left = data.size() - i;
  if (left > 0) {
    uint32_t group = static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << 16;
    if (left == 2) group |= static_cast<uint32_t>(static_cast<uint8_t>(data[i + 1])) << 8;
    result += kAlphabet[group >> 18];
    result += kAlphabet[(group >> 12) & 63];
    result += left == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    result += '=';
  }
  return result;
}
