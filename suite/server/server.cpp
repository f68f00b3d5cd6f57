// The stand-in for the suite's five server programs. One source, built as
// smtp.exe, pop3.exe, control.exe, im.exe and cal.exe; the executable's own
// base name picks its row of the server table.
//
// Started by the service control manager it is a service of its own process
// named as the manager says; started as a plain program it shows the main
// window of its row. In both modes it serves the pipe "\\.\pipe\" + service
// name and logs every event, one line each, to "logs\<service name>.log" and
// to the "logs\sequence.log" shared by all servers, below its own folder.
//
// A file "<exe base name>.fault" beside the executable makes it misbehave on
// purpose; it is read when the fault would apply, so tests may add or remove
// it while the server runs:
//   ignore-stop   stop requests (and WM_CLOSE) are logged and ignored
//   fail-start    the service reports STOPPED with an error before RUNNING
//   short-answer  command 4099 gets a 2-byte answer instead of 4
//
// The Control server also answers HTTP on the web port of the settings
// ("config\settings.cfg" below its folder; 32000 when it holds none) on the
// loopback addresses: every GET gets 200 and a small page, any other method
// 405; each request is logged as "http METHOD PATH". Whether it listens (or
// why not) goes to "logs\http.log" alone, so that the other logs stay as
// they were for servers that are never asked a page.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <tlhelp32.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kCommandDeliver = 4096;
constexpr uint32_t kCommandDeliverAndReply = 4099;
constexpr uint32_t kReplyBase = 4242;
constexpr DWORD kMessageBytes = 20;
constexpr DWORD kFailedStartCode = 1;

struct ServerRow {
  const char* ExeBase;
  const char* ServiceName;
  const char* WindowClass;
  const char* WindowTitle;
};

constexpr ServerRow kRows[] = {
    {"smtp", "TolvaSMTP", "TSMTPForm", "SMTP"},
    {"pop3", "TolvaPOP3", "TPOP3Form", "POP3"},
    {"control", "TolvaControl", "TControlForm", "Control"},
    {"im", "TolvaIM", "TIMForm", "Instant Messaging"},
    {"cal", "TolvaCalendar", "TGroupWareForm", "GroupWare"},
};

// Set up in main before any other thread runs; Name is set once more by
// ServiceMain before the pipe thread starts.
struct ServerState {
  const ServerRow* Row = nullptr;
  std::string Folder;   // the executable's folder, ending in a backslash
  std::string ExeBase;  // the executable's base name without ".exe"
  std::string Name;     // the service name in use
  HANDLE LogMutex = nullptr;
  HANDLE Pipe = INVALID_HANDLE_VALUE;
  HANDLE StopEvent = nullptr;
  SERVICE_STATUS_HANDLE Status = nullptr;
};

ServerState g_server;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Everyone may open the log mutex and the pipe: a service running as
// LocalSystem shares them with programs of the logged-on user.
SECURITY_ATTRIBUTES* OpenToEveryone() {
  static SECURITY_DESCRIPTOR descriptor;
  static SECURITY_ATTRIBUTES attributes;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  attributes = {sizeof attributes, &descriptor, FALSE};
  return &attributes;
}

void AppendLine(const std::string& path, const std::string& line) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(file);
      return;
    }
    // Someone reading the log without sharing it holds us up only briefly.
    if (GetLastError() != ERROR_SHARING_VIOLATION) return;
    Sleep(10);
  }
}

// One event line in the server's own log and in the shared sequence log.
// The mutex orders the lines of all servers in the sequence log.
void Log(const std::string& event) {
  const std::string line = g_server.Name + " " + event + "\r\n";
  const std::string folder = g_server.Folder + "logs\\";
  bool locked = false;
  if (g_server.LogMutex) {
    const DWORD wait = WaitForSingleObject(g_server.LogMutex, INFINITE);
    locked = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  AppendLine(folder + g_server.Name + ".log", line);
  AppendLine(folder + "sequence.log", line);
  if (locked) ReleaseMutex(g_server.LogMutex);
}

// Whether the fault file beside the executable names this fault.
bool HasFault(const char* fault) {
  const std::string path = g_server.Folder + g_server.ExeBase + ".fault";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[256];
  DWORD got = 0;
  const BOOL read = ReadFile(file, buffer, sizeof buffer - 1, &got, nullptr);
  CloseHandle(file);
  if (!read) return false;
  const std::string text(buffer, got);
  const char* blanks = " \t\r\n";
  size_t start = text.find_first_not_of(blanks);
  while (start != std::string::npos) {
    const size_t end = text.find_first_of(blanks, start);
    if (text.substr(start, end - start) == fault) return true;
    start = text.find_first_not_of(blanks, end);
  }
  return false;
}

uint32_t Word(const unsigned char* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

bool WriteAll(HANDLE pipe, const unsigned char* bytes, DWORD count) {
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(pipe, bytes, count, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

// Reads 20-byte messages from one client until it closes its end.
void ServeClient(HANDLE pipe) {
  for (;;) {
    unsigned char message[kMessageBytes];
    DWORD have = 0;
    while (have < kMessageBytes) {
      DWORD got = 0;
      if (!ReadFile(pipe, message + have, kMessageBytes - have, &got, nullptr)) break;
      have += got;
    }
    if (have == 0) return;
    if (have < kMessageBytes) {
      Log("pipe incomplete bytes=" + std::to_string(have));
      return;
    }
    const uint32_t command = Word(message);
    const uint32_t wParam = Word(message + 8);
    Log("pipe command=" + std::to_string(command) +
        " message=" + std::to_string(Word(message + 4)) + " wParam=" + std::to_string(wParam) +
        " lParam=" + std::to_string(Word(message + 12)));
    if (command != kCommandDeliverAndReply) continue;
    const uint32_t result = kReplyBase + wParam;
    const unsigned char reply[4] = {
        static_cast<unsigned char>(result), static_cast<unsigned char>(result >> 8),
        static_cast<unsigned char>(result >> 16), static_cast<unsigned char>(result >> 24)};
    if (!WriteAll(pipe, reply, HasFault("short-answer") ? 2 : 4)) return;
  }
}

DWORD WINAPI ServePipe(void*) {
  for (;;) {
    // A client that connected before us (ERROR_PIPE_CONNECTED), or that
    // already wrote and closed (ERROR_NO_DATA), may still have a message for
    // us; the reads tell.
    const bool connected = ConnectNamedPipe(g_server.Pipe, nullptr) ||
                           GetLastError() == ERROR_PIPE_CONNECTED ||
                           GetLastError() == ERROR_NO_DATA;
    if (connected) ServeClient(g_server.Pipe);
    DisconnectNamedPipe(g_server.Pipe);
    if (!connected) Sleep(10);
  }
}

// Creates the pipe and its serving thread: NO_ERROR, or the system's error,
// which is logged.
DWORD StartPipe() {
  const std::string name = "\\\\.\\pipe\\" + g_server.Name;
  g_server.Pipe = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 2048, 2048,
                                   0, OpenToEveryone());
  HANDLE thread = nullptr;
  if (g_server.Pipe != INVALID_HANDLE_VALUE) {
    thread = CreateThread(nullptr, 0, ServePipe, nullptr, 0, nullptr);
  }
  if (!thread) {
    const DWORD error = GetLastError();
    Log("pipe error=" + std::to_string(error));
    return error != NO_ERROR ? error : ERROR_GEN_FAILURE;
  }
  CloseHandle(thread);
  return NO_ERROR;
}

// The web port from the settings: two bytes at offset 1036 of the stored
// record, combined with bytes 12 and 13 of the suite's 16-byte key.
uint16_t WebPort() {
  const std::string path = g_server.Folder + "config\\settings.cfg";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  uint16_t port = 0;
  if (file != INVALID_HANDLE_VALUE) {
    unsigned char bytes[2];
    DWORD got = 0;
    if (SetFilePointer(file, 1036, nullptr, FILE_BEGIN) == 1036 &&
        ReadFile(file, bytes, 2, &got, nullptr) && got == 2)
      port = static_cast<uint16_t>((bytes[0] ^ 0x92) | (bytes[1] ^ 0xb4) << 8);
    CloseHandle(file);
  }
  return port ? port : 32000;
}

void AnswerHttp(SOCKET client) {
  DWORD timeout = 5000;
  setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
             sizeof timeout);
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
    const int got = recv(client, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    request.append(buffer, static_cast<size_t>(got));
  }
  const std::string line = request.substr(0, request.find("\r\n"));
  const size_t space = line.find(' ');
  const std::string method = line.substr(0, space);
  std::string path;
  if (space != std::string::npos) {
    path = line.substr(space + 1);
    path = path.substr(0, path.find(' '));
  }
  Log("http " + method + " " + path);
  const bool get = method == "GET";
  const std::string body = get ? "<html><body>done</body></html>\r\n" : "";
  const std::string answer =
      std::string(get ? "HTTP/1.1 200 OK" : "HTTP/1.1 405 Method Not Allowed") +
      "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
      "\r\nConnection: close\r\n\r\n" + body;
  send(client, answer.data(), static_cast<int>(answer.size()), 0);
  shutdown(client, SD_SEND);
  closesocket(client);
}

SOCKET Listen(int family, uint16_t port) {
  SOCKET listener = socket(family, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return listener;
  sockaddr_storage address{};
  int length = 0;
  if (family == AF_INET) {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(port);
    v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof *v4;
  } else {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    v6->sin6_addr = in6addr_loopback;
    length = sizeof *v6;
  }
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener, 8) != 0) {
    closesocket(listener);
    return INVALID_SOCKET;
  }
  return listener;
}

DWORD WINAPI ServeHttp(void*) {
  const uint16_t port = WebPort();
  SOCKET listeners[2] = {Listen(AF_INET, port), Listen(AF_INET6, port)};
  const std::string status = g_server.Folder + "logs\\http.log";
  if (listeners[0] == INVALID_SOCKET && listeners[1] == INVALID_SOCKET) {
    AppendLine(status, g_server.Name + " http error=" + std::to_string(WSAGetLastError()) +
                           " port=" + std::to_string(port) + "\r\n");
    return 1;
  }
  AppendLine(status, g_server.Name + " http port=" + std::to_string(port) + "\r\n");
  for (;;) {
    fd_set ready;
    FD_ZERO(&ready);
    for (SOCKET listener : listeners)
      if (listener != INVALID_SOCKET) FD_SET(listener, &ready);
    if (select(0, &ready, nullptr, nullptr, nullptr) <= 0) {
      Sleep(10);
      continue;
    }
    for (SOCKET listener : listeners) {
      if (listener == INVALID_SOCKET || !FD_ISSET(listener, &ready)) continue;
      SOCKET client = accept(listener, nullptr, nullptr);
      if (client != INVALID_SOCKET) AnswerHttp(client);
    }
  }
}

// Only the Control server has the web interface.
void StartHttp() {
  if (!g_server.Row || std::strcmp(g_server.Row->ExeBase, "control") != 0) return;
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
  HANDLE thread = CreateThread(nullptr, 0, ServeHttp, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

void ReportStatus(DWORD state, DWORD win32ExitCode = NO_ERROR, DWORD serviceExitCode = 0) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted =
      state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  status.dwWin32ExitCode = win32ExitCode;
  status.dwServiceSpecificExitCode = serviceExitCode;
  status.dwWaitHint = state == SERVICE_STOP_PENDING ? 5000 : 0;
  SetServiceStatus(g_server.Status, &status);
}

DWORD WINAPI HandleControl(DWORD control, DWORD, void*, void*) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      if (HasFault("ignore-stop")) {
        Log("ignored stop");
        ReportStatus(SERVICE_RUNNING);
        return NO_ERROR;
      }
      ReportStatus(SERVICE_STOP_PENDING);
      SetEvent(g_server.StopEvent);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD argc, LPSTR* argv) {
  // The manager passes the name the service was installed under, which
  // need not be the row's (a copy may run as another service).
  if (argc > 0 && argv[0] && argv[0][0]) {
    g_server.Name = argv[0];
  } else if (g_server.Row) {
    g_server.Name = g_server.Row->ServiceName;
  } else {
    g_server.Name = g_server.ExeBase;
  }
  g_server.StopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_server.Status = RegisterServiceCtrlHandlerExA(g_server.Name.c_str(), HandleControl, nullptr);
  if (!g_server.Status || !g_server.StopEvent) return;
  if (HasFault("fail-start")) {
    Log("failed start");
    ReportStatus(SERVICE_STOPPED, ERROR_SERVICE_SPECIFIC_ERROR, kFailedStartCode);
    return;
  }
  // The pipe exists before RUNNING is reported, so that a client that waits
  // for RUNNING finds it.
  if (const DWORD error = StartPipe(); error != NO_ERROR) {
    Log("failed start");
    ReportStatus(SERVICE_STOPPED, error);
    return;
  }
  Log("start service");
  StartHttp();
  ReportStatus(SERVICE_RUNNING);
  WaitForSingleObject(g_server.StopEvent, INFINITE);
  // The process may end at the STOPPED report: the line goes first.
  Log("stop");
  ReportStatus(SERVICE_STOPPED);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER && message <= 0x7FFF) {
    const auto wParam32 = static_cast<uint32_t>(wParam);
    Log("window message=" + std::to_string(message) + " wParam=" + std::to_string(wParam32) +
        " lParam=" + std::to_string(static_cast<uint32_t>(lParam)));
    return static_cast<LRESULT>(kReplyBase + wParam32);
  }
  switch (message) {
    case WM_CLOSE:
      if (HasFault("ignore-stop")) {
        Log("ignored stop");
        return 0;
      }
      Log("stop");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int RunProgram() {
  g_server.Name = g_server.Row->ServiceName;
  Log("start program");
  const bool serving = StartPipe() == NO_ERROR;
  StartHttp();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = g_server.Row->WindowClass;
  HWND window = nullptr;
  if (RegisterClassA(&windowClass)) {
    window = CreateWindowExA(0, g_server.Row->WindowClass, g_server.Row->WindowTitle,
                             WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr,
                             nullptr, instance, nullptr);
  }
  if (!window) {
    // No screen: the pipe alone keeps the server useful until it is killed.
    if (!serving) return 1;
    Sleep(INFINITE);
  }
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

// Whether the service control manager started us. Services are started by
// services.exe; asking the dispatcher instead is not enough, because Wine's
// StartServiceCtrlDispatcherA waits for a control pipe without end when a
// plain program calls it while another service runs.
bool StartedByServiceManager() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  }
  bool byManager = false;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (parent != 0 && entry.th32ProcessID == parent) {
      byManager = Lower(entry.szExeFile) == "services.exe";
    }
  }
  CloseHandle(snapshot);
  return byManager;
}

bool FindOwnRow() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return false;
  const std::string full(path, length);
  const size_t slash = full.find_last_of("\\/");
  g_server.Folder = full.substr(0, slash + 1);
  std::string base = full.substr(slash + 1);
  if (Lower(base).ends_with(".exe")) base.resize(base.size() - 4);
  g_server.ExeBase = base;
  for (const ServerRow& row : kRows) {
    if (Lower(base) == row.ExeBase) g_server.Row = &row;
  }
  return true;
}

}  // namespace

int main() {
  if (!FindOwnRow()) return 2;
  g_server.LogMutex = CreateMutexA(OpenToEveryone(), FALSE, "Global\\TolvaServerLogs");
  if (!g_server.LogMutex) {
    g_server.LogMutex =
        OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "Global\\TolvaServerLogs");
  }

  // An own-process service is dispatched whatever name the table gives.
  std::string tableName = g_server.Row ? g_server.Row->ServiceName : g_server.ExeBase;
  SERVICE_TABLE_ENTRYA table[] = {{tableName.data(), ServiceMain}, {nullptr, nullptr}};
  if (StartedByServiceManager()) {
    if (StartServiceCtrlDispatcherA(table)) return 0;
    if (GetLastError() != ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) return 3;
  }
  // A program of another name has no window to show.
  if (!g_server.Row) return 2;
  return RunProgram();
}
