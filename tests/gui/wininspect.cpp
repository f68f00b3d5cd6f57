// wininspect: looks at and drives the top-level windows of other programs in
// the same Wine prefix, for tests of the real user interface. Windows are
// found by their exact title, or by a part of it written as "*part*".
//
//   wininspect wait TITLE [SECONDS]     exit 0 once a visible window has it
//   wininspect gone TITLE [SECONDS]     exit 0 once no visible window has it
//   wininspect dump TITLE               one line per control, in tab order
//   wininspect click TITLE TEXT         presses the button with that text
//   wininspect select TITLE INDEX       picks an item of the first combo box
//   wininspect close TITLE              the close box
//   wininspect type TITLE N TEXT        replaces the text of the Nth visible
//                                       edit (from 0) by typing TEXT
//   wininspect treedump TITLE           per tree node in depth-first order:
//                                       position, state picture, selected
//   wininspect treekey TITLE POSITION   selects that node, presses space
//   wininspect treeclick TITLE POSITION a mouse click on that node's row,
//                                       well right of its check picture
//   wininspect key TITLE KEY            a key to the window (esc, enter)
//   wininspect shot TITLE FILE.png      the window as the screen shows it
// <windows.h> must come first; a block of its own keeps it there.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/screen_pixels.h"

namespace {

std::wstring Widen(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(size > 0 ? size - 1 : 0, L'\0');
  if (size > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), size);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(size > 0 ? size - 1 : 0, '\0');
  if (size > 1)
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 127);
  return name;
}

// An edit's text as typed lives in the control, not in the caption another
// process can read, so it is asked for; other windows keep their caption.
std::wstring TextOf(HWND window) {
  if (_wcsicmp(ClassOf(window).c_str(), L"Edit") == 0) {
    const auto length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
  }
  const int length = GetWindowTextLengthW(window);
  std::wstring text(length + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(wcslen(text.c_str()));
  return text;
}

struct Search {
  std::wstring Title;
  HWND Found = nullptr;
};

// "*part*" matches every title that holds part; other titles match exactly.
bool TitleMatches(const std::wstring& title, const std::wstring& wanted) {
  if (wanted.size() >= 2 && wanted.front() == L'*' && wanted.back() == L'*')
    return title.find(wanted.substr(1, wanted.size() - 2)) != std::wstring::npos;
  return title == wanted;
}

BOOL CALLBACK FindTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (IsWindowVisible(window) && TitleMatches(TextOf(window), search->Title)) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisible(const std::wstring& title) {
  Search search{title};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string Escape(const std::wstring& text) {
  std::string out;
  for (char c : Narrow(text)) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

bool IsClass(HWND window, const wchar_t* name) {
  return _wcsicmp(ClassOf(window).c_str(), name) == 0;
}

void Dump(HWND top) {
  std::printf("window|%s|%s\n", Escape(ClassOf(top)).c_str(), Escape(TextOf(top)).c_str());
  for (HWND child : Children(top)) {
    const bool visible = IsWindowVisible(child);
    const bool enabled = IsWindowEnabled(child);
    std::string extra;
    if (IsClass(child, L"Button")) {
      const LRESULT state = SendMessageW(child, BM_GETCHECK, 0, 0);
      extra = state == BST_CHECKED ? "|checked" : "";
    }
    std::printf("%s|%s|%s|%s%s\n", Escape(ClassOf(child)).c_str(), Escape(TextOf(child)).c_str(),
                visible ? "visible" : "hidden", enabled ? "enabled" : "disabled", extra.c_str());
    if (IsClass(child, L"ComboBox")) {
      const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
      const LRESULT selected = SendMessageW(child, CB_GETCURSEL, 0, 0);
      for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(child, CB_GETLBTEXTLEN, i, 0);
        std::wstring item(length + 1, L'\0');
        SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(wcslen(item.c_str()));
        std::printf("item|%s%s\n", Escape(item).c_str(), i == selected ? "|selected" : "");
      }
    }
  }
}

std::vector<HWND> VisibleOfClass(HWND top, const wchar_t* name) {
  std::vector<HWND> found;
  for (HWND child : Children(top))
    if (IsClass(child, name) && IsWindowVisible(child)) found.push_back(child);
  return found;
}

// Depth first, as the installer counts its tree's positions. Only handles
// cross the process boundary, never pointers.
std::vector<HTREEITEM> TreeItems(HWND tree) {
  std::vector<HTREEITEM> items;
  std::vector<HTREEITEM> stack;
  auto next = [&](HTREEITEM item, WPARAM how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  HTREEITEM item = next(nullptr, TVGN_ROOT);
  while (item) {
    items.push_back(item);
    if (HTREEITEM child = next(item, TVGN_CHILD)) {
      stack.push_back(item);
      item = child;
      continue;
    }
    HTREEITEM sibling = next(item, TVGN_NEXT);
    while (!sibling && !stack.empty()) {
      sibling = next(stack.back(), TVGN_NEXT);
      stack.pop_back();
    }
    item = sibling;
  }
  return items;
}

void PostKey(HWND window, WPARAM key, wchar_t character) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, key, 1 | (scan << 16));
  if (character) PostMessageW(window, WM_CHAR, character, 1 | (scan << 16));
  PostMessageW(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  PutBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                                static_cast<uInt>(typed.size()))));
}

// The window's rectangle read back from the screen, as an RGB PNG file.
int SaveShot(HWND window, const char* path) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return 1;
  HDC screen = GetDC(nullptr);
  const std::vector<uint32_t> pixels = test::ReadPixels(screen, rect.left, rect.top, width, height);
  ReleaseDC(nullptr, screen);
  std::string raw;
  raw.reserve(static_cast<size_t>(height) * (width * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
      raw += static_cast<char>((p >> 16) & 0xFF);
      raw += static_cast<char>((p >> 8) & 0xFF);
      raw += static_cast<char>(p & 0xFF);
    }
  }

  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                6) != Z_OK)
    return 1;
  packed.resize(packedSize);
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(width));
  PutBigEndian(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", "");
  FILE* file = std::fopen(path, "wb");
  if (!file) return 1;
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}

int Wait(const std::wstring& title, double seconds, bool untilGone) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  for (;;) {
    const bool present = FindVisible(title) != nullptr;
    if (present != untilGone) return 0;
    if (static_cast<LONG>(GetTickCount() - end) >= 0) return 1;
    Sleep(100);
  }
}

int Usage() {
  std::fprintf(stderr, "usage: wininspect wait|gone|dump|click|select|close TITLE [ARG]\n");
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines for shell scripts: LF, not CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  const std::wstring title = Widen(argv[2]);
  if (command == "wait" || command == "gone")
    return Wait(title, argc > 3 ? std::atof(argv[3]) : 30, command == "gone");
  HWND top = FindVisible(title);
  if (!top) {
    std::fprintf(stderr, "wininspect: no visible window \"%s\"\n", argv[2]);
    return 1;
  }
  if (command == "dump") {
    Dump(top);
    return 0;
  }
  if (command == "close") {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == "click" && argc > 3) {
    const std::wstring text = Widen(argv[3]);
    for (HWND child : Children(top)) {
      if (!IsClass(child, L"Button") || TextOf(child) != text) continue;
      if (!IsWindowVisible(child) || !IsWindowEnabled(child)) {
        std::fprintf(stderr, "wininspect: button \"%s\" cannot be pressed\n", argv[3]);
        return 1;
      }
      PostMessageW(child, BM_CLICK, 0, 0);
      return 0;
    }
    std::fprintf(stderr, "wininspect: no button \"%s\"\n", argv[3]);
    return 1;
  }
  if (command == "select" && argc > 3) {
    for (HWND child : Children(top)) {
      if (!IsClass(child, L"ComboBox")) continue;
      const int index = std::atoi(argv[3]);
      if (SendMessageW(child, CB_SETCURSEL, index, 0) == CB_ERR) return 1;
      SendMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(child));
      return 0;
    }
    return 1;
  }
  if (command == "type" && argc > 4) {
    const std::vector<HWND> edits = VisibleOfClass(top, L"Edit");
    const size_t index = static_cast<size_t>(std::atoi(argv[3]));
    if (index >= edits.size()) {
      std::fprintf(stderr, "wininspect: no visible edit %s\n", argv[3]);
      return 1;
    }
    HWND edit = edits[index];
    PostMessageW(edit, EM_SETSEL, 0, -1);
    PostKey(edit, VK_DELETE, 0);
    for (wchar_t c : Widen(argv[4]))
      PostMessageW(edit, WM_CHAR, c, 1);
    return 0;
  }
  if (command == "treedump" || ((command == "treekey" || command == "treeclick") && argc > 3)) {
    const std::vector<HWND> trees = VisibleOfClass(top, WC_TREEVIEWW);
    if (trees.empty()) {
      std::fprintf(stderr, "wininspect: no visible tree\n");
      return 1;
    }
    HWND tree = trees.front();
    const std::vector<HTREEITEM> items = TreeItems(tree);
    if (command == "treedump") {
      const auto selected =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
      for (size_t i = 0; i < items.size(); ++i) {
        const LRESULT state = SendMessageW(tree, TVM_GETITEMSTATE,
                                           reinterpret_cast<WPARAM>(items[i]), TVIS_STATEIMAGEMASK);
        std::printf("node|%zu|%ld%s\n", i, static_cast<long>((state & TVIS_STATEIMAGEMASK) >> 12),
                    items[i] == selected ? "|selected" : "");
      }
      return 0;
    }
    const size_t position = static_cast<size_t>(std::atoi(argv[3]));
    if (position >= items.size()) return 1;
    if (command == "treeclick") {
      // Rows count from the first visible one; only handles cross over.
      SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(items[position]));
      auto row =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
      int index = 0;
      while (row && row != items[position]) {
        row = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(row)));
        ++index;
      }
      if (!row) return 1;
      const int height = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
      RECT client;
      GetClientRect(tree, &client);
      const LPARAM point = MAKELPARAM(client.right / 2, index * height + height / 2);
      PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, point);
      PostMessageW(tree, WM_LBUTTONUP, 0, point);
      return 0;
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[position]));
    PostKey(tree, VK_SPACE, L' ');
    return 0;
  }
  if (command == "shot" && argc > 3) return SaveShot(top, argv[3]);
  if (command == "key" && argc > 3) {
    const std::string key = argv[3];
    HWND focus = top;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) && info.hwndFocus)
      focus = info.hwndFocus;
    if (key == "esc")
      PostKey(focus, VK_ESCAPE, 27);
    else if (key == "enter")
      PostKey(focus, VK_RETURN, 13);
    else
      return Usage();
    return 0;
  }
  return Usage();
}
