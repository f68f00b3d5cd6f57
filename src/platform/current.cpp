// The process-wide instances of the platform interfaces that tests may swap.
#include "platform/clock.h"
#include "platform/native.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"

#include <atomic>
#include <utility>

namespace platform {
namespace {

std::atomic<Clock*> installedClock{nullptr};
std::atomic<SystemInfo*> installedSystem{nullptr};
std::atomic<Shell*> installedShell{nullptr};
std::atomic<Registry*> installedRegistry{nullptr};
std::atomic<ServiceManager*> installedServiceManager{nullptr};
std::atomic<Processes*> installedProcesses{nullptr};
std::atomic<Pipes*> installedPipes{nullptr};
std::atomic<WindowMessages*> installedWindowMessages{nullptr};
std::atomic<ComLibraries*> installedComLibraries{nullptr};

template <class Interface>
Interface& InstalledOr(std::atomic<Interface*>& installed, Interface& (*native)()) {
  Interface* current = installed.load();
  return current ? *current : native();
}
std::function<void()>& MessagePump() {
  static std::function<void()> pump;
  return pump;
}

}  // namespace

Clock& CurrentClock() {
  Clock* clock = installedClock.load();
  return clock ? *clock : NativeClock();
}
Clock* InstallClock(Clock* clock) {
  return installedClock.exchange(clock);
}

SystemInfo& CurrentSystem() {
  SystemInfo* system = installedSystem.load();
  return system ? *system : NativeSystem();
}
SystemInfo* InstallSystem(SystemInfo* system) {
  return installedSystem.exchange(system);
}

Shell& CurrentShell() {
  Shell* shell = installedShell.load();
  return shell ? *shell : NativeShell();
}
Shell* InstallShell(Shell* shell) {
  return installedShell.exchange(shell);
}

Registry& CurrentRegistry() {
  Registry* registry = installedRegistry.load();
  return registry ? *registry : NativeRegistry();
}
Registry* InstallRegistry(Registry* registry) {
  return installedRegistry.exchange(registry);
}

ServiceManager& CurrentServiceManager() {
  return InstalledOr(installedServiceManager, NativeServiceManager);
}
ServiceManager* InstallServiceManager(ServiceManager* manager) {
  return installedServiceManager.exchange(manager);
}

Processes& CurrentProcesses() {
  return InstalledOr(installedProcesses, NativeProcesses);
}
Processes* InstallProcesses(Processes* processes) {
  return installedProcesses.exchange(processes);
}

Pipes& CurrentPipes() {
  return InstalledOr(installedPipes, NativePipes);
}
Pipes* InstallPipes(Pipes* pipes) {
  return installedPipes.exchange(pipes);
}

WindowMessages& CurrentWindowMessages() {
  return InstalledOr(installedWindowMessages, NativeWindowMessages);
}
WindowMessages* InstallWindowMessages(WindowMessages* windows) {
  return installedWindowMessages.exchange(windows);
}

ComLibraries& CurrentComLibraries() {
  return InstalledOr(installedComLibraries, NativeComLibraries);
}
ComLibraries* InstallComLibraries(ComLibraries* libraries) {
  return installedComLibraries.exchange(libraries);
}

void ProcessPendingMessages() {
  if (MessagePump()) MessagePump()();
}
void SetMessagePump(std::function<void()> pump) {
  MessagePump() = std::move(pump);
}

}  // namespace platform
