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

#include "common/temp_folder.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "scripted_peer.h"

namespace {

using test::Peer;
using test::ScriptedPeer;

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
