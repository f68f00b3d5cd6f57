#include "platform/socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/tls.h"

namespace platform {

TcpSocket::~TcpSocket() {
  Close();
}

void TcpSocket::Close() {
  if (handle_ != kNone) ::close(static_cast<int>(handle_));
  handle_ = kNone;
}

bool TcpSocket::Connect(const std::string& host, uint16_t port, bool numericOnly,
                        std::string& error) {
  Close();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (status != 0) {
    error = "cannot resolve " + host + ": " + gai_strerror(status);
    return false;
  }
  error = "no address for " + host;
  for (addrinfo* address = found; address; address = address->ai_next) {
    int fd =
        ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
    if (fd < 0) {
      error = std::string("socket: ") + std::strerror(errno);
      continue;
    }
    if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0) {
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      handle_ = fd;
      break;
    }
    error = "cannot connect to " + host + " port " + service + ": " + std::strerror(errno);
    ::close(fd);
  }
  freeaddrinfo(found);
  if (handle_ != kNone) error.clear();
  return handle_ != kNone;
}

bool TcpSocket::SendAll(std::string_view data) {
  if (handle_ == kNone) return false;
  while (!data.empty()) {
    ssize_t sent = ::send(static_cast<int>(handle_), data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

ReceiveResult TcpSocket::Receive(char* buffer, size_t size, uint32_t waitMs) {
  ReceiveResult result;
  if (handle_ == kNone) return result;
  pollfd wanted{static_cast<int>(handle_), POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&wanted, 1, static_cast<int>(waitMs));
  } while (ready < 0 && errno == EINTR);
  if (ready == 0) {
    result.Status = ReceiveStatus::TimedOut;
    return result;
  }
  if (ready < 0) return result;
  ssize_t got;
  do {
    got = ::recv(static_cast<int>(handle_), buffer, size, MSG_DONTWAIT);
  } while (got < 0 && errno == EINTR);
  if (got > 0) {
    result.Status = ReceiveStatus::Data;
    result.Size = static_cast<size_t>(got);
  } else if (got == 0) {
    result.Status = ReceiveStatus::Closed;
  } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
    result.Status = ReceiveStatus::TimedOut;
  }
  return result;
}

bool IsNumericAddress(const std::string& text) {
  in6_addr v6;
  in_addr v4;
  return inet_pton(AF_INET, text.c_str(), &v4) == 1 || inet_pton(AF_INET6, text.c_str(), &v6) == 1;
}

}  // namespace platform
