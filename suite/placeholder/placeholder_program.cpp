// A program of the suite that the demo distribution does not carry: it says
// so on its standard output, when it has one, and ends with exit code 0.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char line[MAX_PATH + 64] = {};
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char* name = path;
  for (DWORD i = 0; i < length && i < MAX_PATH; ++i)
    if (path[i] == '\\') name = path + i + 1;
  lstrcpynA(line, name, MAX_PATH);
  lstrcatA(line, ": a placeholder of the demo distribution\r\n");
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (output && output != INVALID_HANDLE_VALUE)
    WriteFile(output, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
  return 0;
}
