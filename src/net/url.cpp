#include "net/url.h"

#include <vector>

#include "support/text.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParsePort(std::string_view text, uint16_t& port) {
  if (text.empty() || text.size() > 5) return false;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Splits "host", "host:port", "[v6]" or "[v6]:port".
bool SplitHostPort(const std::string& hostPart, TUrlParts& parts) {
  std::string_view rest = hostPart;
  if (!rest.empty() && rest.front() == '[') {
    size_t close = rest.find(']');
    if (close == std::string_view::npos) return false;
    parts.Host = std::string(rest.substr(1, close - 1));
    parts.HostIsIpv6 = true;
    rest.remove_prefix(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      if (!ParsePort(rest.substr(1), parts.Port)) return false;
    }
  } else {
    size_t colon = rest.find(':');
    parts.Host = std::string(rest.substr(0, colon));
    if (colon != std::string_view::npos && !ParsePort(rest.substr(colon + 1), parts.Port))
      return false;
  }
  if (parts.Host.empty() || HasUnsafeBytes(parts.Host)) return false;
  parts.HostIsName =
      !parts.HostIsIpv6 && (IsAsciiLetter(parts.Host.front()) || IsAsciiLetter(parts.Host.back()));
  return true;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
  if (text.find('%') == std::string_view::npos) return std::string(text);
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      result += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      result += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      result += c;
    }
  }
  return result;
}

bool HasUnsafeBytes(std::string_view text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte <= 32 || byte == 127) return true;
  }
  return false;
}

std::optional<TUrlParts> ParseUrl(std::string_view url, std::string_view proxy) {
  if (HasUnsafeBytes(url)) return std::nullopt;
  TUrlParts parts;
  std::string hostPart;
  if (!proxy.empty()) {
    parts.Path = std::string(url);
    hostPart = std::string(proxy);
  } else {
    parts.Https = LowerCase(url).find("https://") != std::string::npos;
    parts.Port = parts.Https ? 443 : 80;
    size_t slashes = url.find("//");
    std::string rest(slashes == std::string_view::npos ? url : url.substr(slashes + 2));
    size_t slash = rest.find('/');
    if (slash == std::string::npos) {
      rest += '/';
      slash = rest.size() - 1;
    }
    parts.Path = rest.substr(slash);
    std::string authority = rest.substr(0, slash);
    size_t at = authority.rfind('@');
    if (at != std::string::npos) {
      std::string userInfo = authority.substr(0, at);
      size_t first = userInfo.find(':');
      parts.HasUser = true;
      parts.User = PercentDecode(Trim(userInfo.substr(0, first)));
      if (first != std::string::npos) {
        size_t second = userInfo.find(':', first + 1);
        size_t length = second == std::string::npos ? std::string::npos : second - first - 1;
        parts.Password = PercentDecode(Trim(userInfo.substr(first + 1, length)));
      }
      hostPart = authority.substr(at + 1);
    } else {
      hostPart = authority;
    }
  }
  if (!SplitHostPort(PercentDecode(hostPart), parts)) return std::nullopt;
  return parts;
}

std::string HostForUrl(const TUrlParts& parts) {
  return parts.HostIsIpv6 ? "[" + parts.Host + "]" : parts.Host;
}

std::string ResolveRedirect(std::string_view currentPath, std::string_view location) {
  std::string_view current = currentPath.substr(0, currentPath.find('?'));
  std::string folder(current.substr(0, current.rfind('/') + 1));
  size_t question = location.find('?');
  std::string_view locationPath = location.substr(0, question);
  std::string joined = !locationPath.empty() && locationPath.front() == '/'
                           ? std::string(locationPath)
                           : folder + std::string(locationPath);
  // Segments between "/"; ".." takes the segment before it with it.
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    std::string segment = joined.substr(start, end - start);
    if (segment == "..") {
      if (segments.size() > 1) segments.pop_back();
    } else {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string result;
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) result += '/';
    result += segments[i];
  }
  if (result.empty() || result.front() != '/') result.insert(result.begin(), '/');
  if (question != std::string_view::npos) result += std::string(location.substr(question));
  return result;
}
