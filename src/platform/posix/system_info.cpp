#include <dirent.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/native.h"

namespace platform {
namespace {

std::vector<pid_t> ProcessThreads() {
  std::vector<pid_t> threads;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (struct dirent* entry = readdir(tasks)) {
      char* end = nullptr;
      long id = std::strtol(entry->d_name, &end, 10);
      if (id > 0 && end && *end == '\0') threads.push_back(static_cast<pid_t>(id));
    }
    closedir(tasks);
  }
  if (threads.empty()) threads.push_back(static_cast<pid_t>(syscall(SYS_gettid)));
  return threads;
}

bool ApplyToThreads(const cpu_set_t& set) {
  bool ok = true;
  for (pid_t thread : ProcessThreads())
    ok = sched_setaffinity(thread, sizeof set, &set) == 0 && ok;
  return ok;
}

class PosixSystem final : public SystemInfo {
 public:
  std::string TempFolder() override {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
  }
  // A POSIX host has no Windows folders.
  std::string WindowsFolder() override { return std::string(); }
  std::string SystemFolder() override { return std::string(); }
  PlatformId Platform() override { return PlatformId::NT; }
  std::string ProgramPath() override {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
  }
  std::vector<std::string> Arguments() override {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find('\0', start);
      if (end == std::string::npos) end = all.size();
      arguments.push_back(all.substr(start, end - start));
      start = end + 1;
    }
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
  }
  DnsServerSettings DnsServers() override {
    DnsServerSettings settings;
    std::ifstream in("/etc/resolv.conf", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    settings.Configured = ResolvConfNameservers(text);
    return settings;
  }
  int UtcOffsetMinutes() override {
    time_t now = time(nullptr);
    struct tm local;
    if (!localtime_r(&now, &local)) return 0;
    return static_cast<int>(local.tm_gmtoff / 60);
  }
  bool SetProcessorAffinity(bool firstProcessorOnly) override {
    // Asking for every configured processor leaves those the process may use
    // at all (its cpuset); the first of them is the lowest of that set.
    cpu_set_t set;
    CPU_ZERO(&set);
    long count = sysconf(_SC_NPROCESSORS_CONF);
    if (count < 1) count = 1;
    for (long cpu = 0; cpu < count && cpu < CPU_SETSIZE; ++cpu)
      CPU_SET(static_cast<int>(cpu), &set);
    if (!ApplyToThreads(set)) return false;
    if (!firstProcessorOnly) return true;
    if (sched_getaffinity(0, sizeof set, &set) != 0) return false;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (!CPU_ISSET(cpu, &set)) continue;
      cpu_set_t first;
      CPU_ZERO(&first);
      CPU_SET(cpu, &first);
      return ApplyToThreads(first);
    }
    return false;
  }
  uint64_t ProcessorAffinityMask() override {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 0;
    uint64_t mask = 0;
    for (int cpu = 0; cpu < 64 && cpu < CPU_SETSIZE; ++cpu)
      if (CPU_ISSET(cpu, &set)) mask |= uint64_t{1} << cpu;
    return mask;
  }
};

}  // namespace

std::vector<std::string> ResolvConfNameservers(std::string_view text) {
  // As the resolver reads the file: a line whose first word is "nameserver"
  // gives the address that follows it; '#' and ';' lines are comments.
  std::vector<std::string> servers;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string keyword, address;
    if (!(words >> keyword) || keyword != "nameserver" || !(words >> address)) continue;
    if (address[0] == '#' || address[0] == ';') continue;
    servers.push_back(address);
  }
  return servers;
}

SystemInfo& NativeSystem() {
  static PosixSystem system;
  return system;
}

uint32_t CurrentThreadId() {
  return static_cast<uint32_t>(syscall(SYS_gettid));
}

}  // namespace platform
