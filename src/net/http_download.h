// A blocking HTTP/1.1 client that fetches one address into a new temporary
// file. It follows redirects, sends Basic authentication from the address,
// passes a cookie received with a redirect on, and speaks TLS with the
// platform's verification of the server.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/socket.h"
#include "platform/tls.h"

// Without data for this long, a request ends.
inline constexpr uint32_t kDownloadWaitMs = 30000;
// Redirects followed at most; the request after the last one is not made.
inline constexpr int kMaxRedirects = 32;

// A connection that the caller keeps between calls. It is reused only for
// the same scheme, host and port, and only after a response whose end was
// known.
struct THttpConnection {
  platform::TcpSocket Socket;
  std::unique_ptr<platform::TlsSession> Ssl;
  std::string Cookie;  // the last cookie received

  // Where Socket is connected to.
  bool PeerHttps = false;
  std::string PeerHost;
  uint16_t PeerPort = 0;
  std::string PeerProxy;  // "host:port" of the proxy in between, if any

  void Close();
};

// Fetches url into a new file of the temporary folder; result is its name
// on success and empty on any failure (the call raises nothing). request:
// empty for GET, else the method on its first line and the body after it;
// "HEAD" expects no body. proxy: "host:port" of an HTTP proxy or empty; an
// https address goes through it in a tunnel (CONNECT), with TLS to the server.
// hops: callers pass 0. extraHeaders: lines ending in CR LF.
bool HttpDownload(const std::string& url, bool includeHeaders, const std::string& request,
                  std::string& result, THttpConnection* connection = nullptr,
                  const std::string& proxy = std::string(), int hops = 0,
                  const std::string& extraHeaders = std::string());

// Why the last failed HttpDownload of this thread failed, in one line.
std::string LastDownloadError();
