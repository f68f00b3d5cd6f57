#include "net/http_download.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "net/base64.h"
#include "net/download_file_name.h"
#include "net/http_response.h"
#include "net/url.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

// Large blocks keep the number of system calls low for big archives.
constexpr size_t kBlockSize = 64 * 1024;
// A wait for data is asked of the socket in slices, so that the clock
// decides when the whole wait has passed.
constexpr uint32_t kWaitSliceMs = 1000;

uint64_t requestCounter = 0;
thread_local std::string lastError;

struct TOrigin {
  bool Https = false;
  std::string Host;
  uint16_t Port = 0;
  bool operator==(const TOrigin&) const = default;
};

// What one request leaves for the next hop.
struct THopOutcome {
  bool Success = false;
  std::string NextUrl;
};

// Header lines added along the way, re-sent only to the same origin.
struct TCarriedHeaders {
  std::string Authorization;
  std::string Cookies;
  std::string Text() const { return Authorization + Cookies; }
};

platform::ReceiveResult WaitForData(platform::ByteStream& stream, char* buffer, size_t size) {
  platform::Clock& clock = platform::CurrentClock();
  const uint64_t deadline = clock.MonotonicMs() + kDownloadWaitMs;
  while (true) {
    uint64_t now = clock.MonotonicMs();
    if (now >= deadline) return {platform::ReceiveStatus::TimedOut, 0};
    uint32_t slice = static_cast<uint32_t>(std::min<uint64_t>(deadline - now, kWaitSliceMs));
    platform::ReceiveResult got = stream.Receive(buffer, size, slice);
    if (got.Status != platform::ReceiveStatus::TimedOut) return got;
  }
}

std::string DescribeEnd(platform::ReceiveStatus status) {
  switch (status) {
    case platform::ReceiveStatus::Closed:
      return "the server closed the connection";
    case platform::ReceiveStatus::TimedOut:
      return "no data from the server for 30 seconds";
    default:
      return "the connection broke";
  }
}

std::string NewResultName() {
  std::string folder = GetSpecialFolder(SpecialFolder::Temporary, false);
  ForceFolders(folder);
  return folder + DownloadFileName(platform::CurrentClock().Now(), requestCounter);
}

// Opens a tunnel through the proxy to the target's host and port.
bool OpenTunnel(THttpConnection& connection, const TUrlParts& target) {
  const std::string authority = HostForUrl(target) + ":" + std::to_string(target.Port);
  if (!connection.Socket.SendAll("CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority +
                                 "\r\n\r\n")) {
    lastError = "the proxy took no request";
    return false;
  }
  std::string received;
  char block[2048];
  while (HeaderBlockLength(received) == 0) {
    if (received.size() > kMaxHeaderBlock) {
      lastError = "the proxy's answer is too large";
      return false;
    }
    platform::ReceiveResult got = WaitForData(connection.Socket, block, sizeof block);
    if (got.Status != platform::ReceiveStatus::Data) {
      lastError = DescribeEnd(got.Status) + " while the proxy opened the tunnel";
      return false;
    }
    received.append(block, got.Size);
  }
  TResponseHead head = ParseStatusLine(received);
  if (head.StatusCode != 200) {
    lastError = "the proxy refused the tunnel: \"" + head.StatusLine + "\"";
    return false;
  }
  return true;
}

// Connects the socket to peer (the server, or the proxy), and for an https
// target starts TLS with the target's name, through a tunnel when peer is a
// proxy. A kept connection to the same place is used as it is.
bool EnsureConnected(THttpConnection& connection, const TUrlParts& peer, const TUrlParts& target,
                     bool viaProxy, bool& reused) {
  reused = false;
  const std::string proxyKey =
      viaProxy ? peer.Host + ":" + std::to_string(peer.Port) : std::string();
  if (connection.Socket.IsConnected() && connection.PeerHttps == target.Https &&
      connection.PeerHost == target.Host && connection.PeerPort == target.Port &&
      connection.PeerProxy == proxyKey) {
    reused = true;
    return true;
  }
  connection.Close();
  std::string error;
  if (!connection.Socket.Connect(peer.Host, peer.Port, !peer.HostIsName, error)) {
    lastError = error;
    return false;
  }
  if (target.Https) {
    if (viaProxy && !OpenTunnel(connection, target)) {
      connection.Close();
      return false;
    }
    connection.Ssl = platform::StartTlsSession(connection.Socket, target.Host, error);
    if (!connection.Ssl) {
      connection.Close();
      lastError = error;
      return false;
    }
  }
  connection.PeerHttps = target.Https;
  connection.PeerHost = target.Host;
  connection.PeerPort = target.Port;
  connection.PeerProxy = proxyKey;
  return true;
}

platform::ByteStream& StreamOf(THttpConnection& connection) {
  if (connection.Ssl) return *connection.Ssl;
  return connection.Socket;
}

// Writes the body into the file; true when it ended as its framing says.
class TBodyWriter {
 public:
  TBodyWriter(platform::File& file) : file_(file) {}
  void Write(std::string_view data) {
    if (data.empty()) return;
    file_.Write(data.data(), data.size());
    written_ += data.size();
  }
  uint64_t Written() const { return written_; }

 private:
  platform::File& file_;
  uint64_t written_ = 0;
};

// Sends one request and reads its response. Returns whether the connection
// may be used again.
bool Exchange(THttpConnection& connection, const std::string& requestText, bool isHead,
              bool includeHeaders, const std::string& resultName, TCarriedHeaders& carried,
              std::string& location, bool& success, bool& wroteAny, bool& gotAnything) {
  success = wroteAny = gotAnything = false;
  platform::ByteStream& stream = StreamOf(connection);
  if (!stream.SendAll(requestText)) {
    lastError = "the request could not be sent";
    return false;
  }
  std::vector<char> block(kBlockSize);
  std::string received;
  size_t headerLength = 0;
  while ((headerLength = HeaderBlockLength(received)) == 0) {
    if (received.size() > kMaxHeaderBlock) {
      lastError = "the response's header block is too large";
      return false;
    }
    platform::ReceiveResult got = WaitForData(stream, block.data(), block.size());
    if (got.Status != platform::ReceiveStatus::Data) {
      lastError = DescribeEnd(got.Status) + " before the response's header block ended";
      return false;
    }
    gotAnything = true;
    received.append(block.data(), got.Size);
  }
  if (headerLength > kMaxHeaderBlock) {
    lastError = "the response's header block is too large";
    return false;
  }
  const std::string header = received.substr(0, headerLength);
  const TResponseHead head = ParseStatusLine(header);

  std::string cookie = HeaderValue(header, "Set-Cookie");
  if (!cookie.empty()) {
    // Only the name=value pair is a cookie; the attributes are for us.
    cookie = Trim(cookie.substr(0, cookie.find(';')));
    if (!cookie.empty() && !HasUnsafeBytes(cookie)) {
      carried.Cookies += "Cookie: " + cookie + "\r\n";
      connection.Cookie = cookie;
    }
  }

  if (head.StatusCode == 301 || head.StatusCode == 302) {
    location = HeaderValue(header, "Location");
    if (location.empty()) lastError = "a redirect without a Location";
    // Its body, if any, is not read: the connection cannot be used again.
    return false;
  }
  if (head.StatusCode != 200) {
    lastError = "the server answered \"" + head.StatusLine + "\"";
    return false;
  }

  platform::File file;
  if (!file.Open(resultName, platform::FileMode::Create)) {
    lastError = "cannot create " + resultName;
    return false;
  }
  if (includeHeaders) {
    file.Write(header.data(), header.size());
    wroteAny = true;
  }
  TBodyWriter body(file);
  const bool chunked = SameText(HeaderValue(header, "Transfer-Encoding"), "chunked");
  std::optional<uint64_t> expected;
  if (isHead) {
    expected = 0;
  } else if (!chunked && HasHeader(header, "Content-Length")) {
    expected = ParseContentLength(HeaderValue(header, "Content-Length"));
    if (!expected) {
      lastError = "the response's Content-Length is not a number";
      file.Close();
      return false;
    }
  }
  TChunkedDecoder decoder;
  bool complete = false;
  auto take = [&](std::string_view data) {
    if (isHead) {
      complete = true;
    } else if (chunked) {
      decoder.Feed(data, [&](std::string_view piece) { body.Write(piece); });
      complete = decoder.CurrentState() == TChunkedDecoder::State::Done;
    } else if (expected) {
      uint64_t left = *expected - body.Written();
      body.Write(data.substr(0, static_cast<size_t>(std::min<uint64_t>(left, data.size()))));
      complete = body.Written() == *expected;
    } else {
      body.Write(data);
    }
  };
  take(std::string_view(received).substr(headerLength));
  received.clear();
  received.shrink_to_fit();
  platform::ReceiveStatus end = platform::ReceiveStatus::Data;
  while (!complete && decoder.CurrentState() != TChunkedDecoder::State::Failed) {
    platform::ReceiveResult got = WaitForData(stream, block.data(), block.size());
    if (got.Status != platform::ReceiveStatus::Data) {
      end = got.Status;
      // Only an orderly close ends a body of unknown length.
      if (!chunked && !expected && got.Status == platform::ReceiveStatus::Closed) complete = true;
      break;
    }
    take(std::string_view(block.data(), got.Size));
  }
  file.Close();
  wroteAny = wroteAny || body.Written() > 0;
  if (!complete) {
    if (decoder.CurrentState() == TChunkedDecoder::State::Failed) {
      lastError = "the chunked body is malformed";
    } else if (expected) {
      lastError = DescribeEnd(end) + " after " + std::to_string(body.Written()) + " of " +
                  std::to_string(*expected) + " bytes";
    } else {
      lastError = DescribeEnd(end) + " before the body ended";
    }
    return false;
  }
  success = true;
  if (!wroteAny) lastError = "the response has no content";
  return !SameText(HeaderValue(header, "Connection"), "close") && (chunked || expected);
}

// One request of the chain; result is the new file's name.
THopOutcome RequestOnce(const std::string& url, bool includeHeaders, const std::string& request,
                        const std::string& result, THttpConnection& connection,
                        const std::string& proxy, const std::string& extraHeaders,
                        TCarriedHeaders& carried, const TUrlParts& target) {
  THopOutcome outcome;
  std::optional<TUrlParts> peer = ParseUrl(url, proxy);
  if (!peer) {
    lastError = "not a usable address: " + url;
    return outcome;
  }
  // The user information of the address asks for Basic authentication.
  if (target.HasUser && !target.User.empty()) {
    carried.Authorization =
        "Authorization: Basic " + Base64Encode(target.User + ":" + target.Password) + "\r\n";
  }
  std::string method = "GET";
  std::string body;
  if (!request.empty()) {
    size_t newline = request.find('\n');
    method = Trim(request.substr(0, newline));
    if (newline != std::string::npos) body = request.substr(newline + 1);
  }
  if (method.empty() || HasUnsafeBytes(method)) {
    lastError = "not a usable request method";
    return outcome;
  }
  const bool isHead = request == "HEAD";
  // Through a proxy an https address goes through a tunnel and keeps its
  // path; a plain one names the whole address.
  const std::string& path = !proxy.empty() && target.Https ? target.Path : peer->Path;
  const std::string requestText = method + " " + path + " HTTP/1.1\r\nHost: " + HostForUrl(target) +
                                  "\r\n" + extraHeaders + carried.Text() + "\r\n" + body;

  for (int attempt = 0; attempt < 2; ++attempt) {
    bool reused = false;
    if (!EnsureConnected(connection, *peer, target, !proxy.empty(), reused)) return outcome;
    std::string location;
    bool success = false, wroteAny = false, gotAnything = false;
    bool keep = false;
    try {
      keep = Exchange(connection, requestText, isHead, includeHeaders, result, carried, location,
                      success, wroteAny, gotAnything);
    } catch (const std::exception& error) {
      lastError = std::string("cannot write the file: ") + error.what();
      success = false;
      wroteAny = true;
    }
    if (!keep) connection.Close();
    // A kept connection that the server has closed meanwhile is made anew
    // once.
    if (reused && !gotAnything && !success && location.empty()) continue;
    if (!success || !wroteAny) platform::RemoveFile(result);
    outcome.Success = success && wroteAny;
    if (!location.empty()) {
      if (HasUnsafeBytes(location)) {
        lastError = "the redirect's Location is not a usable address";
      } else if (location.find("://") != std::string::npos) {
        outcome.NextUrl = location;
      } else {
        outcome.NextUrl = std::string(target.Https ? "https://" : "http://") + HostForUrl(target) +
                          ":" + std::to_string(target.Port) + "/" +
                          ResolveRedirect(target.Path, location).substr(1);
      }
    }
    return outcome;
  }
  return outcome;
}

}  // namespace

void THttpConnection::Close() {
  if (Ssl) Ssl->Shutdown();
  Ssl.reset();
  Socket.Close();
  PeerHost.clear();
  PeerPort = 0;
  PeerProxy.clear();
}

std::string LastDownloadError() {
  return lastError;
}

bool HttpDownload(const std::string& url, bool includeHeaders, const std::string& request,
                  std::string& result, THttpConnection* connection, const std::string& proxy,
                  int hops, const std::string& extraHeaders) {
  lastError.clear();
  THttpConnection ownConnection;
  THttpConnection& used = connection ? *connection : ownConnection;
  TCarriedHeaders carried;
  std::string current = url;
  std::optional<TOrigin> previous;
  try {
    while (true) {
      ++hops;
      ++requestCounter;
      result = NewResultName();
      // The origin is that of the address even when a proxy carries it.
      std::optional<TUrlParts> target = ParseUrl(current, "");
      if (!target) {
        lastError = "not a usable address: " + current;
        result.clear();
        break;
      }
      TOrigin origin{target->Https, LowerCase(target->Host), target->Port};
      if (previous) {
        if (previous->Https && !origin.Https) {
          lastError = "refused a redirect from https to http: " + current;
          result.clear();
          break;
        }
        // Credentials and cookies stay with the server that they came from.
        if (!(origin == *previous)) carried = TCarriedHeaders();
        if (target->HasUser) carried.Authorization.clear();
      }
      previous = origin;
      THopOutcome outcome = RequestOnce(current, includeHeaders, request, result, used, proxy,
                                        extraHeaders, carried, *target);
      if (outcome.Success) break;
      result.clear();
      if (outcome.NextUrl.empty()) break;
      if (hops > kMaxRedirects) {
        lastError = "more than " + std::to_string(kMaxRedirects) + " redirects";
        break;
      }
      current = outcome.NextUrl;
    }
  } catch (const std::exception& error) {
    lastError = error.what();
    result.clear();
  }
  if (!connection) ownConnection.Close();
  return !result.empty();
}
