// The floors the benchmarks measure torvane.exe against: the least a Win32
// program with one top-level window and one multi-line edit box can be, built
// with the same toolchain and options as torvane.exe.
//
// Built twice. bare_floor.exe imports no comctl32 at all and gets the system's
// plain edit control. themed_floor.exe (TORVANE_THEMED_FLOOR) is what any
// themed program must be at least: a common-controls 6 manifest and
// InitCommonControlsEx, so that its edit box comes from comctl32 version 6.
#include <windows.h>
#ifdef TORVANE_THEMED_FLOOR
#include <commctrl.h>
#endif

namespace {

constexpr int kEditId = 100;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      RECT r{};
      ::GetClientRect(hwnd, &r);
      // The styles of torvane.exe's text box.
      HWND edit = ::CreateWindowExW(
          WS_EX_CLIENTEDGE, L"EDIT", L"",
          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_WANTRETURN |
              ES_AUTOVSCROLL | ES_NOHIDESEL,
          0, 0, r.right, r.bottom, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
          reinterpret_cast<CREATESTRUCTW*>(lp)->hInstance, nullptr);
      if (!edit) return -1;
      ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef TORVANE_THEMED_FLOOR
  // As torvane.exe does first thing: registers version 6's classes, the edit
  // box among them.
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  if (!::InitCommonControlsEx(&icc)) return 1;
#endif
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"FloorWindow";
  if (!::RegisterClassW(&wc)) return 1;
  // About the size of torvane.exe's window at 96 DPI.
  HWND hwnd = ::CreateWindowExW(0, L"FloorWindow", L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 300, 300, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ::ShowWindow(hwnd, show);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
