// Control messages to the servers on a fake machine: what is delivered
// where, what a reply yields, and how long a busy pipe is waited for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_servers.h"
#include "platform/fake/fake_system.h"
#include "system/server_notification.h"

using namespace platform;
using ::testing::ElementsAre;

namespace {

uint32_t Word(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

class ServerNotificationTest : public ::testing::Test {
 protected:
  // A running service whose pipe records each message and answers `reply`.
  void AddServer(const std::string& name, std::string reply = {}) {
    machine.AddService(name, "C:\\Tolva\\x.exe", kServiceRunning);
    machine.AddPipe(name, [this, name, reply](const std::string& message) {
      received.push_back(name + ":" + message);
      return Word(message, 0) == kCommandDeliverAndReply ? reply : std::string();
    });
  }

  FakeClock clock;
  FakeSystem system;
  FakeRegistry registry;
  FakeServers machine;
  std::vector<std::string> received;
};

TEST_F(ServerNotificationTest, MessagesReachTheServiceOfTheIndexAsTwentyBytes) {
  AddServer("TolvaControl");
  EXPECT_EQ(NotifyServer(7, 1280, 3, 9), 1);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], std::string("TolvaControl:") + std::string("\x00\x10\x00\x00"
                                                                    "\x00\x05\x00\x00"
                                                                    "\x03\x00\x00\x00"
                                                                    "\x09\x00\x00\x00"
                                                                    "\x00\x00\x00\x00",
                                                                    20));
  EXPECT_THAT(machine.JournalWith("OpenPipe"), ElementsAre("OpenPipe \\\\.\\pipe\\TolvaControl"));
  EXPECT_EQ(machine.OpenHandleCount(), 0);

  // No service behind the index: no pipe is opened at all.
  machine.Journal.clear();
  EXPECT_EQ(NotifyServer(5, 1280, 3, 0), 0);
  EXPECT_EQ(NotifyServer(16, 1280, 3, 0), 0);
  EXPECT_EQ(SendPipeMessage(5, 1280, 3, false, 0), 0);
  EXPECT_TRUE(machine.JournalWith("OpenPipe").empty());

  // A stopped server gets nothing.
  AddServer("TolvaSMTP");
  machine.Terminate(machine.FindService("TolvaSMTP")->ProcessId, 0);
  EXPECT_EQ(NotifyServer(0, 1280, 1, 0), 0);
  EXPECT_EQ(received.size(), 1u);
}

TEST_F(ServerNotificationTest, RepliesGiveTheFirstWordAndShortOnesZero) {
  AddServer("TolvaPOP3", std::string("\x2A\x01\x00\x00\xFF", 5));
  EXPECT_EQ(QueryServer(8, 1280, 1, 0), 0x12A);
  AddServer("TolvaIM", std::string("\x2A\x01", 2));
  EXPECT_EQ(QueryServer(12, 1280, 1, 0), 0);
  // A server that never answers is given up after the reply time.
  AddServer("TolvaCalendar", "");
  EXPECT_EQ(QueryServer(4, 1280, 1, 0), 0);
  EXPECT_GE(clock.MonotonicMs(), 1000u + kReplyTimeoutMs);
  EXPECT_EQ(machine.OpenHandleCount(), 0);
}

TEST_F(ServerNotificationTest, ABusyPipeIsWaitedForTwoSecondsAndOnce) {
  AddServer("TolvaControl");
  machine.SetPipeBusyUntil("TolvaControl", clock.MonotonicMs() + 1000);
  EXPECT_EQ(NotifyServer(2, 1280, 3, 0), 1);
  EXPECT_EQ(received.size(), 1u);
  EXPECT_THAT(clock.Sleeps(), ElementsAre(1000));

  machine.SetPipeBusyUntil("TolvaControl", clock.MonotonicMs() + 3000);
  EXPECT_EQ(NotifyServer(2, 1280, 3, 0), 0);
  EXPECT_EQ(received.size(), 1u);
  EXPECT_THAT(machine.JournalWith("WaitPipe"),
              ElementsAre("WaitPipe \\\\.\\pipe\\TolvaControl 2000",
                          "WaitPipe \\\\.\\pipe\\TolvaControl 2000"));
}

TEST_F(ServerNotificationTest, BroadcastOrderAndApplicationMode) {
  for (const char* name : {"TolvaSMTP", "TolvaPOP3", "TolvaControl", "TolvaIM", "TolvaCalendar"})
    AddServer(name);
  NotifyAllServers();
  ASSERT_EQ(received.size(), 5u);
  std::vector<std::string> order;
  for (const std::string& line : received) {
    order.push_back(line.substr(0, line.find(':')));
    EXPECT_EQ(Word(line, line.find(':') + 9), 257u);
  }
  EXPECT_THAT(order,
              ElementsAre("TolvaSMTP", "TolvaPOP3", "TolvaIM", "TolvaCalendar", "TolvaControl"));

  // Desktop programs: the window gets the message; none means nothing sent.
  system.Id = PlatformId::Windows;
  std::vector<uintptr_t> seen;
  machine.AddWindow("TControlForm", "Control",
                    {[&](uint32_t message, uintptr_t wParam, intptr_t) {
                       seen.push_back(wParam);
                       return static_cast<intptr_t>(message == 1280 ? 77 : 0);
                     },
                     true});
  EXPECT_EQ(NotifyServer(10, 1280, 3, 0), 1);
  EXPECT_EQ(QueryServer(2, 1280, 4, 0), 77);
  EXPECT_EQ(NotifyServer(0, 1280, 3, 0), 0);
  EXPECT_THAT(seen, ElementsAre(3u, 4u));
  EXPECT_EQ(ServerServiceName(10, true, true), "FTP");
  EXPECT_EQ(ServerServiceName(10, true, false), "Control");
  EXPECT_EQ(ServerServiceName(12, false, true), "TolvaIM");
}

}  // namespace
