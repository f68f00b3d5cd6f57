// svcprobe: what the system itself says about services, server pipes,
// windows and processes, read with the Windows interfaces directly so that
// tests check the installer's effects independently of its code.
//
//   svcprobe NAME
//       key=value lines: name, state, pid, win32_exit_code,
//       service_exit_code, service_type, start_type, error_control,
//       binary_path, display_name, account, description, then either
//       failure_reset, failure_actions and action<i>=<type>,<delay>, or
//       failure_error=<n> when the system cannot tell them; exit 1 when the
//       service does not exist, 2 on any other failure.
//   svcprobe --wait-state NAME STATE SECONDS
//       waits until the service is in STATE (a number or STOPPED, RUNNING,
//       ...): exit 0, or exit 1 when the time passes first.
//   svcprobe --processes EXE
//       "<pid> <full image path>" for each running process named EXE.
//   svcprobe --kill EXE
//       terminates each running process named EXE and prints
//       "killed <pid>" for each; exit 1 when one could not be terminated.
//   svcprobe --send NAME COMMAND MESSAGE WPARAM LPARAM
//       writes the 20-byte control message to "\\.\pipe\NAME"; for command
//       4099 reads one answer and prints bytes=<n>, hex=<bytes> and, when it
//       holds 4 bytes or more, reply=<first word>.
//   svcprobe --window CLASS TITLE MESSAGE WPARAM LPARAM
//       SendMessage to the top-level window of that class and title and
//       prints result=<n>; exit 1 when there is no such window.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Fail(int code, const std::string& reason) {
  std::fprintf(stderr, "svcprobe: %s\n", reason.c_str());
  return code;
}

std::string ErrorText(const std::string& what, DWORD error = GetLastError()) {
  return what + " (error " + std::to_string(error) + ")";
}

bool ParseNumber(const char* text, uint32_t& value) {
  char* end = nullptr;
  const long long parsed = std::strtoll(text, &end, 0);
  if (!*text || *end || parsed < -2147483648LL || parsed > 4294967295LL) return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

bool ParseState(const char* text, DWORD& state) {
  static const struct {
    const char* Name;
    DWORD State;
  } kStates[] = {{"STOPPED", SERVICE_STOPPED},
                 {"START_PENDING", SERVICE_START_PENDING},
                 {"STOP_PENDING", SERVICE_STOP_PENDING},
                 {"RUNNING", SERVICE_RUNNING},
                 {"CONTINUE_PENDING", SERVICE_CONTINUE_PENDING},
                 {"PAUSE_PENDING", SERVICE_PAUSE_PENDING},
                 {"PAUSED", SERVICE_PAUSED}};
  for (const auto& entry : kStates) {
    if (_stricmp(text, entry.Name) == 0) {
      state = entry.State;
      return true;
    }
  }
  uint32_t number = 0;
  if (!ParseNumber(text, number)) return false;
  state = number;
  return true;
}

// Handles closed on every way out.
struct ServiceHandle {
  SC_HANDLE Handle = nullptr;
  ~ServiceHandle() {
    if (Handle) CloseServiceHandle(Handle);
  }
};

int Describe(const char* name) {
  ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
  if (!manager.Handle) return Fail(2, ErrorText("cannot open the service control manager"));
  ServiceHandle service{
      OpenServiceA(manager.Handle, name, SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG)};
  if (!service.Handle) {
    const DWORD error = GetLastError();
    if (error == ERROR_SERVICE_DOES_NOT_EXIST) {
      return Fail(1, ErrorText(std::string("no service named ") + name, error));
    }
    return Fail(2, ErrorText(std::string("cannot open service ") + name, error));
  }

  SERVICE_STATUS_PROCESS status{};
  DWORD needed = 0;
  if (!QueryServiceStatusEx(service.Handle, SC_STATUS_PROCESS_INFO,
                            reinterpret_cast<BYTE*>(&status), sizeof status, &needed)) {
    return Fail(2, ErrorText("QueryServiceStatusEx failed"));
  }

  std::vector<BYTE> config(8192);
  if (!QueryServiceConfigA(service.Handle, reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config.data()),
                           static_cast<DWORD>(config.size()), &needed)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      return Fail(2, ErrorText("QueryServiceConfigA failed"));
    }
    config.resize(needed);
    if (!QueryServiceConfigA(service.Handle,
                             reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config.data()),
                             static_cast<DWORD>(config.size()), &needed)) {
      return Fail(2, ErrorText("QueryServiceConfigA failed"));
    }
  }
  const auto* settings = reinterpret_cast<const QUERY_SERVICE_CONFIGA*>(config.data());

  // Optional configuration: an empty buffer when the query fails.
  auto config2 = [&](DWORD level, DWORD& error) {
    std::vector<BYTE> buffer(8192);
    DWORD size = 0;
    error = NO_ERROR;
    if (!QueryServiceConfig2A(service.Handle, level, buffer.data(),
                              static_cast<DWORD>(buffer.size()), &size)) {
      error = GetLastError();
      if (error != ERROR_INSUFFICIENT_BUFFER) return std::vector<BYTE>();
      buffer.resize(size);
      error = NO_ERROR;
      if (!QueryServiceConfig2A(service.Handle, level, buffer.data(),
                                static_cast<DWORD>(buffer.size()), &size)) {
        error = GetLastError();
        return std::vector<BYTE>();
      }
    }
    return buffer;
  };
  auto text = [](const char* value) { return value ? value : ""; };

  std::printf("name=%s\n", name);
  std::printf("state=%lu\n", status.dwCurrentState);
  std::printf("pid=%lu\n", status.dwProcessId);
  std::printf("win32_exit_code=%lu\n", status.dwWin32ExitCode);
  std::printf("service_exit_code=%lu\n", status.dwServiceSpecificExitCode);
  std::printf("service_type=%lu\n", settings->dwServiceType);
  std::printf("start_type=%lu\n", settings->dwStartType);
  std::printf("error_control=%lu\n", settings->dwErrorControl);
  std::printf("binary_path=%s\n", text(settings->lpBinaryPathName));
  std::printf("display_name=%s\n", text(settings->lpDisplayName));
  std::printf("account=%s\n", text(settings->lpServiceStartName));

  DWORD error = NO_ERROR;
  const std::vector<BYTE> description = config2(SERVICE_CONFIG_DESCRIPTION, error);
  if (description.empty()) return Fail(2, ErrorText("description query failed", error));
  std::printf(
      "description=%s\n",
      text(reinterpret_cast<const SERVICE_DESCRIPTIONA*>(description.data())->lpDescription));

  const std::vector<BYTE> failure = config2(SERVICE_CONFIG_FAILURE_ACTIONS, error);
  if (failure.empty()) {
    // Wine's service manager keeps no failure actions and refuses this
    // query (error 124): say so instead of guessing.
    std::printf("failure_error=%lu\n", error);
  } else {
    const auto* actions = reinterpret_cast<const SERVICE_FAILURE_ACTIONSA*>(failure.data());
    std::printf("failure_reset=%lu\n", actions->dwResetPeriod);
    std::printf("failure_actions=%lu\n", actions->cActions);
    for (DWORD i = 0; i < actions->cActions && actions->lpsaActions; ++i) {
      std::printf("action%lu=%d,%lu\n", i, static_cast<int>(actions->lpsaActions[i].Type),
                  actions->lpsaActions[i].Delay);
    }
  }
  std::fflush(stdout);
  return 0;
}

int WaitState(const char* name, const char* stateText, const char* secondsText) {
  DWORD wanted = 0;
  uint32_t seconds = 0;
  if (!ParseState(stateText, wanted)) return Fail(2, std::string("bad state ") + stateText);
  if (!ParseNumber(secondsText, seconds)) return Fail(2, std::string("bad time ") + secondsText);
  const ULONGLONG deadline = GetTickCount64() + ULONGLONG{seconds} * 1000;
  std::string last = "no answer";
  for (;;) {
    ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
    ServiceHandle service{manager.Handle ? OpenServiceA(manager.Handle, name, SERVICE_QUERY_STATUS)
                                         : nullptr};
    SERVICE_STATUS status{};
    if (service.Handle && QueryServiceStatus(service.Handle, &status)) {
      if (status.dwCurrentState == wanted) return 0;
      last = "state " + std::to_string(status.dwCurrentState);
    } else {
      last = ErrorText("no state");
    }
    if (GetTickCount64() >= deadline) {
      return Fail(1, std::string(name) + " did not reach state " + std::to_string(wanted) +
                         " within " + std::to_string(seconds) + " s, last " + last);
    }
    Sleep(50);
  }
}

// The ids of the running processes whose executable's base name is exe.
bool FindProcesses(const char* exe, std::vector<DWORD>& ids) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, exe) == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return true;
}

int ListProcesses(const char* exe) {
  std::vector<DWORD> ids;
  if (!FindProcesses(exe, ids)) return Fail(2, ErrorText("no process snapshot"));
  for (const DWORD id : ids) {
    std::string path = "?";
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process) {
      char buffer[MAX_PATH * 2];
      DWORD size = sizeof buffer;
      if (QueryFullProcessImageNameA(process, 0, buffer, &size)) path.assign(buffer, size);
      CloseHandle(process);
    }
    std::printf("%lu %s\n", id, path.c_str());
  }
  std::fflush(stdout);
  return 0;
}

int KillProcesses(const char* exe) {
  std::vector<DWORD> ids;
  if (!FindProcesses(exe, ids)) return Fail(2, ErrorText("no process snapshot"));
  int code = 0;
  for (const DWORD id : ids) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process || !TerminateProcess(process, 1)) {
      code = Fail(1, ErrorText("cannot terminate process " + std::to_string(id)));
    } else {
      // Gone for good before we say so.
      WaitForSingleObject(process, 10000);
      std::printf("killed %lu\n", id);
    }
    if (process) CloseHandle(process);
  }
  std::fflush(stdout);
  return code;
}

bool ParseWords(char** args, uint32_t* words, int count) {
  for (int i = 0; i < count; ++i) {
    if (!ParseNumber(args[i], words[i])) return false;
  }
  return true;
}

int Send(const char* name, char** args) {
  uint32_t words[4];
  if (!ParseWords(args, words, 4)) return Fail(2, "bad message words");
  const std::string path = std::string("\\\\.\\pipe\\") + name;
  HANDLE pipe = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
      WaitNamedPipeA(path.c_str(), 2000)) {
    pipe = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
  }
  if (pipe == INVALID_HANDLE_VALUE) return Fail(1, ErrorText("cannot open " + path));
  unsigned char message[20] = {};
  for (int i = 0; i < 4; ++i) {
    for (int b = 0; b < 4; ++b)
      message[i * 4 + b] = static_cast<unsigned char>(words[i] >> 8 * b);
  }
  DWORD done = 0;
  for (DWORD written = 0; done < sizeof message; done += written) {
    if (!WriteFile(pipe, message + done, sizeof message - done, &written, nullptr) || !written) {
      break;
    }
  }
  if (done < sizeof message) {
    const DWORD error = GetLastError();
    CloseHandle(pipe);
    return Fail(1, ErrorText("write to " + path + " failed", error));
  }
  int code = 0;
  if (words[0] == 4099) {
    unsigned char reply[2048];
    DWORD got = 0;
    if (!ReadFile(pipe, reply, sizeof reply, &got, nullptr)) {
      code = Fail(1, ErrorText("no answer from " + path));
    } else {
      std::printf("bytes=%lu\nhex=", got);
      for (DWORD i = 0; i < got; ++i)
        std::printf("%02x", reply[i]);
      std::printf("\n");
      if (got >= 4) {
        std::printf("reply=%lu\n",
                    static_cast<unsigned long>(reply[0] | reply[1] << 8 | reply[2] << 16 |
                                               uint32_t{reply[3]} << 24));
      }
    }
  } else {
    std::printf("sent=20\n");
  }
  CloseHandle(pipe);
  std::fflush(stdout);
  return code;
}

int SendToWindow(const char* windowClass, const char* title, char** args) {
  uint32_t words[3];
  if (!ParseWords(args, words, 3)) return Fail(2, "bad message words");
  HWND window = FindWindowA(windowClass, title);
  if (!window) return Fail(1, std::string("no window ") + windowClass + " / " + title);
  const LRESULT result = SendMessageA(window, words[0], words[1], static_cast<LPARAM>(words[2]));
  std::printf("result=%lld\n", static_cast<long long>(result));
  std::fflush(stdout);
  return 0;
}

int Usage() {
  return Fail(2,
              "usage: svcprobe NAME | --wait-state NAME STATE SECONDS | --processes EXE | "
              "--kill EXE | "
              "--send NAME COMMAND MESSAGE WPARAM LPARAM | "
              "--window CLASS TITLE MESSAGE WPARAM LPARAM");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string mode = argv[1];
  if (mode == "--wait-state") return argc == 5 ? WaitState(argv[2], argv[3], argv[4]) : Usage();
  if (mode == "--processes") return argc == 3 ? ListProcesses(argv[2]) : Usage();
  if (mode == "--kill") return argc == 3 ? KillProcesses(argv[2]) : Usage();
  if (mode == "--send") return argc == 7 ? Send(argv[2], argv + 3) : Usage();
  if (mode == "--window") return argc == 7 ? SendToWindow(argv[2], argv[3], argv + 4) : Usage();
  if (mode.starts_with("--") || argc != 2) return Usage();
  return Describe(argv[1]);
}
