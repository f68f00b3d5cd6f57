// HttpDownload against a small peer in the test process: the wait for data
// measured by the clock interface, and a connection kept by the caller.
#include "net/http_download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
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

#include "common/temp_folder.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace {

#ifdef _WIN32
using Handle = SOCKET;
void CloseHandle(Handle s) {
  closesocket(s);
}
#else
using Handle = int;
void CloseHandle(Handle s) {
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
          CloseHandle(accepted);
          return;
        }
        ++accepts_;
        Peer peer{accepted};
        serve_(peer);
        CloseHandle(accepted);
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
    CloseHandle(waker);
    CloseHandle(listener_);
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

// Each reading of the monotonic clock moves it on by 15 seconds.
class SteppingClock final : public platform::Clock {
 public:
  SteppingClock() : previous_(platform::InstallClock(this)) {}
  ~SteppingClock() override { platform::InstallClock(previous_); }
  platform::LocalTime Now() override { return platform::LocalTime{}; }
  uint64_t MonotonicMs() override { return monotonic_ += 15000; }
  void Sleep(uint32_t) override {}

 private:
  platform::Clock* previous_;
  uint64_t monotonic_ = 0;
};

}  // namespace

TEST(HttpDownload, ASilentServerEndsTheRequestAfterTheWaitAndLeavesNoFile) {
  std::mutex mutex;
  std::condition_variable changed;
  bool done = false;
  ScriptedPeer peer([&](Peer& connection) {
    connection.ReadRequest();
    connection.Send("HTTP/1.1 200 OK\r\n\r\npartial body of unknown length");
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return done; });
  });
  std::string result;
  {
    SteppingClock clock;
    EXPECT_FALSE(HttpDownload(peer.Url("/silent"), false, "", result));
  }
  EXPECT_EQ(result, "");
  EXPECT_NE(LastDownloadError().find("30 seconds"), std::string::npos) << LastDownloadError();
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  changed.notify_all();
}

TEST(HttpDownload, AKeptConnectionServesTheSameServerOnly) {
  std::string second;
  ScriptedPeer first([&](Peer& connection) {
    connection.ReadRequest();
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nSet-Cookie: k=v; Path=/\r\n\r\none");
    second = connection.ReadRequest();
    connection.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\ntwo\r\n0\r\n\r\n");
    connection.ReadRequest();  // until the client closes
  });
  ScriptedPeer other([&](Peer& connection) {
    connection.ReadRequest();
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nthree");
  });

  THttpConnection connection;
  std::string result;
  ASSERT_TRUE(HttpDownload(first.Url("/1"), false, "", result, &connection)) << LastDownloadError();
  EXPECT_EQ(GetFile(result), "one");
  platform::RemoveFile(result);
  EXPECT_EQ(connection.Cookie, "k=v");
  ASSERT_TRUE(HttpDownload(first.Url("/2"), false, "", result, &connection)) << LastDownloadError();
  EXPECT_EQ(GetFile(result), "two");
  platform::RemoveFile(result);
  EXPECT_EQ(second, "GET /2 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  ASSERT_TRUE(HttpDownload(other.Url("/3"), false, "", result, &connection)) << LastDownloadError();
  EXPECT_EQ(GetFile(result), "three");
  platform::RemoveFile(result);
  connection.Close();
  EXPECT_EQ(first.Accepts(), 1);
  EXPECT_EQ(other.Accepts(), 1);
}
