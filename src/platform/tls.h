// A TLS client session over a connected socket, with the platform's own TLS:
// OpenSSL on POSIX, Schannel on Windows. The server's certificate chain is
// verified against the system's trust store and its name against serverName
// (a host name or a numeric address); a session that fails either is never
// returned.
#pragma once

#include <memory>
#include <string>

#include "platform/socket.h"

namespace platform {

class TlsSession : public ByteStream {
 public:
  // Ends the session in order (close_notify) as far as the peer takes it.
  virtual void Shutdown() = 0;
};

// Performs the handshake on the socket (SNI serverName when it is a name) and
// verifies the peer. Returns null and sets error on failure; the socket is
// left to the caller. The socket must outlive the session.
std::unique_ptr<TlsSession> StartTlsSession(TcpSocket& socket, const std::string& serverName,
                                            std::string& error);

// True when text is a numeric IPv4 or IPv6 address (without brackets).
bool IsNumericAddress(const std::string& text);

}  // namespace platform
