#include <windows.h>

#include "platform/native.h"

namespace platform {
namespace {

HANDLE AsHandle(PipeHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

class WindowsPipes final : public Pipes {
 public:
  PipeOpen OpenNamedPipe(const std::string& path) override {
    // The server may learn who calls, but not act as the installer.
    HANDLE pipe = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return {0, static_cast<uint32_t>(GetLastError())};
    return {reinterpret_cast<PipeHandle>(pipe), 0};
  }
  bool WaitForPipe(const std::string& path, uint32_t timeoutMs) override {
    return WaitNamedPipeA(path.c_str(), timeoutMs) != FALSE;
  }
  uint32_t Write(PipeHandle pipe, const void* data, uint32_t size, uint32_t& written) override {
    DWORD count = 0;
    BOOL ok = WriteFile(AsHandle(pipe), data, size, &count, nullptr);
    written = count;
    return ok ? 0 : GetLastError();
  }
  uint32_t Read(PipeHandle pipe, void* data, uint32_t size, uint32_t& read) override {
    DWORD count = 0;
    BOOL ok = ReadFile(AsHandle(pipe), data, size, &count, nullptr);
    read = count;
    return ok ? 0 : GetLastError();
  }
  std::optional<uint32_t> BytesAvailable(PipeHandle pipe) override {
    DWORD available = 0;
    if (!PeekNamedPipe(AsHandle(pipe), nullptr, 0, nullptr, &available, nullptr))
      return std::nullopt;
    return available;
  }
  PipeHandle OpenServerMutex(const std::string& name) override {
    return reinterpret_cast<PipeHandle>(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()));
  }
  PipeHandle DuplicateFromProcess(uint32_t processId, uintptr_t handle) override {
    HANDLE source = OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId);
    if (!source) return 0;
    HANDLE copy = nullptr;
    if (!DuplicateHandle(source, reinterpret_cast<HANDLE>(handle), GetCurrentProcess(), &copy, 0,
                         FALSE, DUPLICATE_SAME_ACCESS))
      copy = nullptr;
    CloseHandle(source);
    return reinterpret_cast<PipeHandle>(copy);
  }
  void Close(PipeHandle handle) override {
    if (handle) CloseHandle(AsHandle(handle));
  }
};

class WindowsWindowMessages final : public WindowMessages {
 public:
  TopWindow Find(const std::string& className, const std::string& title) override {
    return reinterpret_cast<TopWindow>(FindWindowA(className.c_str(), title.c_str()));
  }
  intptr_t Send(TopWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    return SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
  }
};

class WindowsComLibraries final : public ComLibraries {
 public:
  LibraryEntryCall CallEntry(const std::string& path, const std::string& entry) override {
    LibraryEntryCall call;
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) return call;
    call.Loaded = true;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto function =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, entry.c_str())));
    if (function) {
      call.Found = true;
      call.Result = function();
    }
    FreeLibrary(library);
    return call;
  }
};

}  // namespace

Pipes& NativePipes() {
  static WindowsPipes pipes;
  return pipes;
}
WindowMessages& NativeWindowMessages() {
  static WindowsWindowMessages windows;
  return windows;
}
ComLibraries& NativeComLibraries() {
  static WindowsComLibraries libraries;
  return libraries;
}

}  // namespace platform
