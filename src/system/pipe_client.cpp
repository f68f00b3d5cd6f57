#include "system/pipe_client.h"

#include <cstdlib>

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/system_info.h"

using namespace platform;

namespace {

constexpr uint32_t kBusyWaitMs = 2000;
constexpr uint32_t kPollMs = 10;

uintptr_t RegistryNumber(RegistryKey& key, const char* name) {
  auto text = key.ReadString(name);
  if (!text) return 0;
  return static_cast<uintptr_t>(std::strtoull(text.Value().c_str(), nullptr, 10));
}

}  // namespace

TPipe::TPipe() : isNT_(CurrentSystem().Platform() == PlatformId::NT) {}

TPipe::~TPipe() {
  Pipes& pipes = CurrentPipes();
  for (PipeHandle handle : {pipe_, read_, write_})
    if (handle) pipes.Close(handle);
}

bool TPipe::Write(const std::string& buffer) {
  const PipeHandle target = isNT_ ? pipe_ : write_;
  size_t done = 0;
  while (done < buffer.size()) {
    uint32_t written = 0;
    if (CurrentPipes().Write(target, buffer.data() + done,
                             static_cast<uint32_t>(buffer.size() - done), written) != 0 ||
        written == 0)
      return false;
    done += written;
  }
  return true;
}

std::string TPipe::Read(uint32_t maxCount, uint32_t timeoutMs) {
  Pipes& pipes = CurrentPipes();
  const PipeHandle source = isNT_ ? pipe_ : read_;
  // A server that never answers must not hold the installer forever.
  Clock& timer = CurrentClock();
  const uint64_t begin = timer.MonotonicMs();
  for (;;) {
    auto available = pipes.BytesAvailable(source);
    if (!available) return {};
    if (*available > 0) break;
    if (timer.MonotonicMs() - begin >= timeoutMs) return {};
    timer.Sleep(kPollMs);
  }
  std::string data(maxCount, '\0');
  uint32_t read = 0;
  if (pipes.Read(source, data.data(), maxCount, read) != 0) read = 0;
  data.resize(read);
  return data;
}

TPipeClient::TPipeClient(const std::string& name) {
  name_ = name.substr(0, 255);
  if (name_.empty()) return;
  if (isNT_)
    ConnectNamedPipe();
  else
    ConnectPublishedHandles();
}

void TPipeClient::ConnectNamedPipe() {
  Pipes& pipes = CurrentPipes();
  const std::string path = "\\\\.\\pipe\\" + name_;
  PipeOpen open = pipes.OpenNamedPipe(path);
  if (!open && open.Error == kErrorPipeBusy && pipes.WaitForPipe(path, kBusyWaitMs))
    open = pipes.OpenNamedPipe(path);
  pipe_ = open.Handle;
  connected_ = pipe_ != 0;
}

void TPipeClient::ConnectPublishedHandles() {
  Pipes& pipes = CurrentPipes();
  PipeHandle mutex = pipes.OpenServerMutex(name_);
  if (!mutex) return;
  uintptr_t processId = 0, readHandle = 0, writeHandle = 0;
  auto key = CurrentRegistry().OpenKey(RegistryRoot::LocalMachine,
                                       "System\\CurrentControlSet\\Services\\Pipes\\" + name_,
                                       RegistryAccess::Read);
  if (key) {
    processId = RegistryNumber(*key.Value(), "PID");
    readHandle = RegistryNumber(*key.Value(), "HRP");
    writeHandle = RegistryNumber(*key.Value(), "HWP");
  }
  if (processId && readHandle && writeHandle) {
    read_ = pipes.DuplicateFromProcess(static_cast<uint32_t>(processId), readHandle);
    write_ = pipes.DuplicateFromProcess(static_cast<uint32_t>(processId), writeHandle);
    connected_ = read_ != 0 && write_ != 0;
  }
  pipes.Close(mutex);
}
