#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/tls.h"

namespace platform {
namespace {

// Winsock is started once for the process and left running until it ends.
bool StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

std::string WinsockError(int code) {
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
  while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= 32)
    --length;
  std::string result(text, length);
  if (result.empty()) result = "error " + std::to_string(code);
  return result;
}

}  // namespace

TcpSocket::~TcpSocket() {
  Close();
}

void TcpSocket::Close() {
  if (handle_ != kNone) closesocket(static_cast<SOCKET>(handle_));
  handle_ = kNone;
}

bool TcpSocket::Connect(const std::string& host, uint16_t port, bool numericOnly,
                        std::string& error) {
  Close();
  if (!StartWinsock()) {
    error = "Windows sockets are not available";
    return false;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (status != 0) {
    error = "cannot resolve " + host + ": " + WinsockError(status);
    return false;
  }
  error = "no address for " + host;
  for (addrinfo* address = found; address; address = address->ai_next) {
    SOCKET s = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
    if (s == INVALID_SOCKET) {
      error = "socket: " + WinsockError(WSAGetLastError());
      continue;
    }
    if (::connect(s, address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0) {
      BOOL one = TRUE;
      setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
      handle_ = static_cast<intptr_t>(s);
      break;
    }
    error =
        "cannot connect to " + host + " port " + service + ": " + WinsockError(WSAGetLastError());
    closesocket(s);
  }
  freeaddrinfo(found);
  if (handle_ != kNone) error.clear();
  return handle_ != kNone;
}

bool TcpSocket::SendAll(std::string_view data) {
  if (handle_ == kNone) return false;
  while (!data.empty()) {
    int piece = data.size() > 0x40000000 ? 0x40000000 : static_cast<int>(data.size());
    int sent = ::send(static_cast<SOCKET>(handle_), data.data(), piece, 0);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

ReceiveResult TcpSocket::Receive(char* buffer, size_t size, uint32_t waitMs) {
  ReceiveResult result;
  if (handle_ == kNone) return result;
  SOCKET s = static_cast<SOCKET>(handle_);
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval limit{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000) * 1000};
  int ready = select(0, &readable, nullptr, nullptr, &limit);
  if (ready == 0) {
    result.Status = ReceiveStatus::TimedOut;
    return result;
  }
  if (ready < 0) return result;
  int piece = size > 0x40000000 ? 0x40000000 : static_cast<int>(size);
  int got = ::recv(s, buffer, piece, 0);
  if (got > 0) {
    result.Status = ReceiveStatus::Data;
    result.Size = static_cast<size_t>(got);
  } else if (got == 0) {
    result.Status = ReceiveStatus::Closed;
  }
  return result;
}

bool IsNumericAddress(const std::string& text) {
  if (!StartWinsock()) return false;
  in6_addr v6;
  in_addr v4;
  return inet_pton(AF_INET, text.c_str(), &v4) == 1 || inet_pton(AF_INET6, text.c_str(), &v6) == 1;
}

}  // namespace platform
