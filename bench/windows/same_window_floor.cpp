// The same-window floor: torvane.exe's main window and nothing else. It is
// built by the runtime's own win32::Window from Tarvik::Layout(), with the
// program's icon and manifest, common controls 6 and the placement Form_Load
// gives the window. Built that way, not by hand from the table, it follows
// the table and the runtime as they change, with no second copy of how a row
// becomes a control to drift from the first; what it leaves out is what the
// ratio is for: the window's logic and the rest of what the program does at
// start. window_bench checks that the two windows look the same before it
// measures them.
#include <windows.h>
#include <commctrl.h>

#include "app/resource.h"
#include "main_window/tarvik.h"
#include "placement/tarvik32.h"
#include "win32/base/handles.h"
#include "win32/windows/desktop.h"
#include "win32/windows/window.h"

namespace {

// The program's icon at one size, as torvane.exe loads it for its class.
torvane::win32::UniqueIcon Icon(HINSTANCE instance, int size) {
  return torvane::win32::UniqueIcon(static_cast<HICON>(::LoadImageW(
      instance, MAKEINTRESOURCEW(IDI_TORVANE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  using namespace torvane;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  // Nothing to tell a user: a floor that fails shows no window, and the
  // benchmark says so.
  try {
    const win32::UniqueIcon big = Icon(instance, 32), small = Icon(instance, 16);
    win32::Window main(
        Tarvik::Layout(), instance,
        {.bigIcon = big.get(), .smallIcon = small.get(), .endsProgram = true, .onClose = {}});
    win32::Win32Desktop desktop(main.Dpi());
    MakeTopmost(main, desktop);
    CenterForm(main, desktop);
    ::ShowWindow(main.hwnd(), show);
    return win32::Window::RunMessageLoop();
  } catch (...) {
    return 1;
  }
}
