// The parts of a download address as the HTTP client uses them, and the
// resolution of a relative redirect.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TUrlParts {
  bool Https = false;
  bool HasUser = false;
  std::string User;
  std::string Password;
  std::string Host;  // without brackets; percent-decoded
  uint16_t Port = 80;
  bool HostIsName = false;  // resolved; otherwise a numeric address
  bool HostIsIpv6 = false;  // written in brackets
  std::string Path;         // from the first "/" on, with the query
};

// "+" becomes a space and "%" with two hexadecimal digits that byte; any
// other "%" stays. Text without "%" is returned as it is.
std::string PercentDecode(std::string_view text);

// Bytes that must never reach a request line or header: controls, space,
// DEL and NUL.
bool HasUnsafeBytes(std::string_view text);

// Parses "http://" or "https://" addresses: user information up to the last
// "@" of the authority, IPv6 literals in brackets, a port after ":". With a
// proxy ("host:port") the proxy is the host, the path is the whole url and
// TLS is off. Empty when the address cannot be used: a bad port, an empty
// host, or unsafe bytes in the address.
std::optional<TUrlParts> ParseUrl(std::string_view url, std::string_view proxy);

// The host as written in an address: IPv6 literals in brackets.
std::string HostForUrl(const TUrlParts& parts);

// The location resolved against the current path's folder: a location path
// starting with "/" replaces the folder; ".." removes the segment before it;
// the location's query is kept.
std::string ResolveRedirect(std::string_view currentPath, std::string_view location);
