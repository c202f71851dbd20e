// The memory floor for the benchmarks: the least a Win32 program with one
// window and one multi-line edit box can be. Built with the same toolchain and
// options as torvane.exe; the benchmark puts the text into the box.
//
// On WM_APP it shows an Open dialog, so that the benchmark can tell what the
// system's dialog alone adds. comdlg32 is loaded only then: linked, it would
// raise the floor itself.
#include <windows.h>
#include <commdlg.h>

namespace {

constexpr int kEditId = 100;

void ShowOpenDialog(HWND owner) {
  HMODULE comdlg = ::LoadLibraryW(L"comdlg32.dll");
  if (!comdlg) return;
  using OpenFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto open = reinterpret_cast<OpenFn>(
      reinterpret_cast<void*>(::GetProcAddress(comdlg, "GetOpenFileNameW")));
  wchar_t name[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
  ofn.lpstrFile = name;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = L"Open";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (open) open(&ofn);
  // Kept loaded, as a program that has shown the dialog keeps it.
}

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
    case WM_APP:
      ShowOpenDialog(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"MinimalEdit";
  if (!::RegisterClassW(&wc)) return 1;
  // About the size of torvane.exe's window at 96 DPI.
  HWND hwnd = ::CreateWindowExW(0, L"MinimalEdit", L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
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
