// Times one start of a program from inside the Wine prefix, so that the
// shell's own start of Wine is not counted: until a visible window with a
// title appears, until a file appears, or until the program ends. Prints
// the milliseconds; the program is ended once the condition is met.
//
//   startbench window TITLE PROGRAM [ARGS...]
//   startbench file PATH PROGRAM [ARGS...]
//   startbench exit PROGRAM [ARGS...]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Quoted(const char* argument) {
  std::string text = "\"";
  text += argument;
  return text + "\"";
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startbench window TITLE|file PATH|exit PROGRAM [ARGS...]\n");
    return 2;
  }
  const std::string mode = argv[1];
  const int first = mode == "exit" ? 2 : 3;
  if (first >= argc) return 2;
  const char* target = mode == "exit" ? nullptr : argv[2];
  if (mode == "file") DeleteFileA(target);
  std::string command;
  for (int i = first; i < argc; ++i)
    command += (i > first ? " " : "") + Quoted(argv[i]);
  char folder[MAX_PATH] = {};
  std::strncpy(folder, argv[first], MAX_PATH - 1);
  if (char* slash = std::strrchr(folder, '\\')) *slash = '\0';

  LARGE_INTEGER frequency, begin, end;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  QueryPerformanceCounter(&begin);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                      &startup, &process)) {
    std::fprintf(stderr, "startbench: cannot start %s (%lu)\n", argv[first], GetLastError());
    return 1;
  }
  bool met = false;
  for (int tries = 0; tries < 60000 && !met; ++tries) {
    if (mode == "window") {
      HWND window = FindWindowA(nullptr, target);
      met = window && IsWindowVisible(window);
    } else if (mode == "file") {
      met = GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES;
    } else {
      met = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    }
    if (!met) Sleep(1);
  }
  QueryPerformanceCounter(&end);
  if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!met) {
    std::fprintf(stderr, "startbench: the condition was not met\n");
    return 1;
  }
  std::printf("%.1f\n", Milliseconds(begin, end, frequency));
  return 0;
}
