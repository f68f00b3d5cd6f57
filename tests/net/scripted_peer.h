// A small HTTP peer inside the test process, on 127.0.0.1: each accepted
// connection is served by the test's function on the peer's thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace test {

#ifdef _WIN32
using Handle = SOCKET;
inline void CloseSocket(Handle s) {
  closesocket(s);
}
#else
using Handle = int;
inline void CloseSocket(Handle s) {
  close(s);
}
#endif

// One connection of the peer: reads requests, sends answers.
struct Peer {
  Handle Socket;
  std::string ReadRequest() {
    std::string data;
    char block[4096];
    while (data.find("\r\n\r\n") == std::string::npos) {
      int got = recv(Socket, block, sizeof block, 0);
      if (got <= 0) return data;
      data.append(block, static_cast<size_t>(got));
    }
    return data;
  }
  void Send(const std::string& text) {
    send(Socket, text.data(), static_cast<int>(text.size()), 0);
  }
};

// Listens on 127.0.0.1 and serves each accepted connection on a thread.
class ScriptedPeer {
 public:
  explicit ScriptedPeer(std::function<void(Peer&)> serve) : serve_(std::move(serve)) {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 4);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      while (true) {
        Handle accepted = accept(listener_, nullptr, nullptr);
        if (stopping_) {
          CloseSocket(accepted);
          return;
        }
        ++accepts_;
        Peer peer{accepted};
        serve_(peer);
        CloseSocket(accepted);
      }
    });
  }
  ~ScriptedPeer() {
    stopping_ = true;
    // Wakes the accept with a connection of our own.
    Handle waker = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port_);
    connect(waker, reinterpret_cast<sockaddr*>(&address), sizeof address);
    thread_.join();
    CloseSocket(waker);
    CloseSocket(listener_);
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  int Accepts() const {
    return accepts_;
  }

 private:
  std::function<void(Peer&)> serve_;
  Handle listener_;
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepts_{0};
};

}  // namespace test
