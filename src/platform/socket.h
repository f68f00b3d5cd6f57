// A TCP connection to a peer, and the byte stream that both a plain socket
// and a TLS session over it offer to the HTTP client.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class ReceiveStatus {
  Data,      // Size bytes arrived
  Closed,    // the peer ended the stream in order (FIN; for TLS, close_notify)
  TimedOut,  // nothing arrived within the wait
  Failed,    // reset, broken stream, or a close that was not orderly
};

struct ReceiveResult {
  ReceiveStatus Status = ReceiveStatus::Failed;
  size_t Size = 0;
};

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Sends every byte or fails; never raises SIGPIPE.
  virtual bool SendAll(std::string_view data) = 0;
  // Waits at most waitMs for data and returns what arrived (at most size).
  virtual ReceiveResult Receive(char* buffer, size_t size, uint32_t waitMs) = 0;
};

class TcpSocket final : public ByteStream {
 public:
  TcpSocket() = default;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;
  ~TcpSocket() override;

  // Connects to the first address of host that answers, IPv6 or IPv4. With
  // numericOnly the host must be a numeric address and is not resolved.
  // On failure error tells why.
  bool Connect(const std::string& host, uint16_t port, bool numericOnly, std::string& error);
  bool IsConnected() const { return handle_ != kNone; }
  void Close();
  // The system's socket, for the TLS layer.
  intptr_t Handle() const { return handle_; }

  bool SendAll(std::string_view data) override;
  ReceiveResult Receive(char* buffer, size_t size, uint32_t waitMs) override;

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;
};

}  // namespace platform
