#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/native.h"

namespace platform {
namespace {

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
};

}  // namespace

SystemInfo& NativeSystem() {
  static PosixSystem system;
  return system;
}

uint32_t CurrentThreadId() {
  return static_cast<uint32_t>(syscall(SYS_gettid));
}

}  // namespace platform
