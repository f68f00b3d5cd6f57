// The system facts added for the configuration store: name servers, the
// time-zone offset and the processor affinity, from the real system.
#include <gtest/gtest.h>

#include <bitset>
#include <cstdlib>
#include <ctime>

#include "platform/native.h"
#include "platform/system_info.h"

#ifndef _WIN32
TEST(SystemInfo, NameServersOfResolvConf) {
  EXPECT_EQ(platform::ResolvConfNameservers("# a comment\n"
                                            "nameserver 192.0.2.1\n"
                                            "search example.org\n"
                                            "  nameserver\t2001:db8::1  # trailing\r\n"
                                            "; nameserver 192.0.2.9\n"
                                            "nameserver\n"
                                            "nameservers 192.0.2.8\n"
                                            "nameserver 192.0.2.3"),
            (std::vector<std::string>{"192.0.2.1", "2001:db8::1", "192.0.2.3"}));
  EXPECT_TRUE(platform::ResolvConfNameservers("").empty());
  // This machine's own file, as the system reports it.
  platform::DnsServerSettings servers = platform::CurrentSystem().DnsServers();
  EXPECT_EQ(servers.Current, "");
  for (const std::string& server : servers.Configured)
    EXPECT_FALSE(server.empty());
}

TEST(SystemInfo, UtcOffsetFollowsTheTimeZone) {
  const char* saved = std::getenv("TZ");
  std::string previous = saved ? saved : "";
  setenv("TZ", "XYZ-5:30", 1);  // 5 h 30 min ahead of UTC, no daylight saving
  tzset();
  EXPECT_EQ(platform::CurrentSystem().UtcOffsetMinutes(), 330);
  setenv("TZ", "UTC0", 1);
  tzset();
  EXPECT_EQ(platform::CurrentSystem().UtcOffsetMinutes(), 0);
  if (saved)
    setenv("TZ", previous.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}
#else
TEST(SystemInfo, NetworkParametersUnderWine) {
  // Wine answers from the host's configuration; whatever it names is an address.
  platform::DnsServerSettings servers = platform::CurrentSystem().DnsServers();
  for (const std::string& server : servers.Configured)
    EXPECT_NE(server.find_first_of(".:"), std::string::npos) << server;
  int offset = platform::CurrentSystem().UtcOffsetMinutes();
  EXPECT_GE(offset, -14 * 60);
  EXPECT_LE(offset, 14 * 60);
}
#endif

TEST(SystemInfo, ProcessorAffinity) {
  platform::SystemInfo& system = platform::CurrentSystem();
  ASSERT_TRUE(system.SetProcessorAffinity(false));
  uint64_t all = system.ProcessorAffinityMask();
  ASSERT_NE(all, 0u);
  ASSERT_TRUE(system.SetProcessorAffinity(true));
  uint64_t first = system.ProcessorAffinityMask();
  EXPECT_EQ(std::bitset<64>(first).count(), 1u);
  EXPECT_EQ(first, all & (~all + 1));  // the lowest of the allowed processors
  ASSERT_TRUE(system.SetProcessorAffinity(false));
  EXPECT_EQ(system.ProcessorAffinityMask(), all);
}
