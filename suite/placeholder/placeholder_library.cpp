// A library of the suite that the demo distribution does not carry. It loads
// and exports nothing, so that callers see the entries they look for missing
// instead of a pretended success.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
