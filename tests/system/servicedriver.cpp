// Drives the installer's service code against the real system, one command
// a run, for the Wine end-to-end script: it does what the installation run
// does with the servers and prints what it returned and which boxes it
// showed, so that the script can check the effects with other tools.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/native.h"
#include "system/server_control.h"
#include "system/server_notification.h"
#include "system/service_operations.h"
#include "ui/headless/headless_backend.h"

namespace {

// The real system, except that it claims another family of Windows, for
// the servers' application mode.
class OtherFamily final : public platform::SystemInfo {
 public:
  OtherFamily() : real_(platform::NativeSystem()) { platform::InstallSystem(this); }
  std::string TempFolder() override { return real_.TempFolder(); }
  std::string WindowsFolder() override { return real_.WindowsFolder(); }
  std::string SystemFolder() override { return real_.SystemFolder(); }
  platform::PlatformId Platform() override { return platform::PlatformId::Windows; }
  std::string ProgramPath() override { return real_.ProgramPath(); }
  std::vector<std::string> Arguments() override { return real_.Arguments(); }
  platform::DnsServerSettings DnsServers() override { return real_.DnsServers(); }
  int UtcOffsetMinutes() override { return real_.UtcOffsetMinutes(); }
  bool SetProcessorAffinity(bool first) override { return real_.SetProcessorAffinity(first); }
  uint64_t ProcessorAffinityMask() override { return real_.ProcessorAffinityMask(); }

 private:
  platform::SystemInfo& real_;
};

std::string OneLine(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

void PrintBoxes(const ui::THeadlessBackend& backend) {
  for (const ui::TShownBox& box : backend.Boxes())
    std::printf("box %s: %s\n", box.Request.Caption.c_str(), OneLine(box.Request.Text).c_str());
}

int Usage() {
  std::fprintf(stderr,
               "usage: servicedriver [--application-mode] COMMAND\n"
               "  install DIR [--upgrade] [--previous V] [--recorded DIR] [--no-im] "
               "[--no-calendar]\n"
               "  uninstall DIR\n"
               "  control INDEX start|stop DIR [SERVICE]\n"
               "  check-started DIR\n"
               "  start-type NAME [TYPE]\n"
               "  notify INDEX WPARAM | query INDEX WPARAM | notify-all\n"
               "  busy-notify INDEX WPARAM HOLD_MS\n");
  return 2;
}

int Install(const std::vector<std::string>& args) {
  TServerSettings settings;
  settings.InstallPath = args.at(0);
  bool upgrade = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--upgrade") upgrade = true;
    if (args[i] == "--previous" && i + 1 < args.size()) settings.PreviousVersion = args[++i];
    if (args[i] == "--recorded" && i + 1 < args.size()) settings.RecordedInstallDir = args[++i];
    if (args[i] == "--no-im") settings.NoInstallIM = true;
    if (args[i] == "--no-calendar") settings.NoInstallCalendar = true;
  }
  TServerControl control(
      settings, [](const std::string& caption) { std::printf("caption %s\n", caption.c_str()); });
  if (upgrade) control.RecordStartTypes();
  for (int i = 0; i < kServerCount; ++i)
    std::printf("recorded %d=%d\n", i, control.RecordedStartType[i]);
  control.StopRunningServers();
  std::printf("stopped=%d\n", control.StopRunningServers() ? 1 : 0);
  for (int i = 0; i < kServerCount; ++i)
    std::printf("register %d=%d\n", i, control.NeedsRegistration[i] ? 1 : 0);
  std::printf("recorded_dir=%s\n", settings.RecordedInstallDir.c_str());
  control.InstallServers();
  // As the run does: the extraction folder goes, then 2 s pass before the check.
  platform::CurrentClock().Sleep(2000);
  control.CheckServersStarted();
  if (upgrade) control.RestoreStartTypes();
  return 0;
}

// Holds the only instance of a server's pipe for a while, as another client
// would, and sends the message meanwhile.
int BusyNotify(int index, uint32_t wParam, uint32_t holdMs) {
  const std::string path = "\\\\.\\pipe\\" + ServerServiceName(index, false, false);
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "servicedriver: cannot hold %s (%lu)\n", path.c_str(), GetLastError());
    return 1;
  }
  std::thread release([held, holdMs] {
    Sleep(holdMs);
    CloseHandle(held);
  });
  const auto begin = std::chrono::steady_clock::now();
  int32_t result = NotifyServer(index, kServerMessage, wParam, 0);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - begin);
  release.join();
  std::printf("result=%d\nelapsed_ms=%lld\n", result, static_cast<long long>(elapsed.count()));
  return 0;
}

int Run(std::vector<std::string> args) {
  if (args.empty()) return Usage();
  const std::string command = args[0];
  args.erase(args.begin());
  auto number = [&](size_t i) {
    return static_cast<uint32_t>(std::strtoul(args.at(i).c_str(), nullptr, 10));
  };
  if (command == "install" && !args.empty()) return Install(args);
  if (command == "uninstall" && args.size() == 1) {
    StopAndRemoveServers(args[0]);
    return 0;
  }
  if (command == "control" && args.size() >= 3) {
    const auto begin = std::chrono::steady_clock::now();
    bool result = ControlServer(static_cast<int>(number(0)), args[1] == "start",
                                args.size() > 3 ? args[3] : std::string(), args[2]);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - begin);
    std::printf("result=%d\nelapsed_ms=%lld\n", result ? 1 : 0,
                static_cast<long long>(elapsed.count()));
    return 0;
  }
  if (command == "check-started" && args.size() == 1) {
    TServerSettings settings;
    settings.InstallPath = args[0];
    TServerControl(settings).CheckServersStarted();
    return 0;
  }
  if (command == "start-type" && !args.empty()) {
    const bool change = args.size() > 1;
    std::printf("start_type=%d\n",
                ServiceStartType(args[0], change, change ? static_cast<int>(number(1)) : -1));
    return 0;
  }
  if ((command == "notify" || command == "query") && args.size() == 2) {
    const int index = static_cast<int>(number(0));
    int32_t result = command == "notify" ? NotifyServer(index, kServerMessage, number(1), 0)
                                         : QueryServer(index, kServerMessage, number(1), 0);
    std::printf("result=%d\n", result);
    return 0;
  }
  if (command == "notify-all") {
    NotifyAllServers();
    return 0;
  }
  if (command == "busy-notify" && args.size() == 3)
    return BusyNotify(static_cast<int>(number(0)), number(1), number(2));
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  ui::THeadlessBackend backend;
  std::unique_ptr<OtherFamily> family;
  if (!args.empty() && args[0] == "--application-mode") {
    family = std::make_unique<OtherFamily>();
    args.erase(args.begin());
  }
  int code = 1;
  try {
    code = Run(args);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "servicedriver: %s\n", error.what());
  }
  PrintBoxes(backend);
  std::fflush(stdout);
  return code;
}
