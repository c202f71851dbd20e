// The entry point: builds the main window from its table, hands it its
// handlers, and runs the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/about_window.h"
#include "app/resource.h"
#include "dialog/common_dialog.h"
#include "main_window/tarvik.h"
#include "win32/system/clipboard.h"
#include "win32/windows/desktop.h"
#include "win32/files/file_picker.h"
#include "win32/files/files.h"
#include "win32/base/handles.h"
#include "win32/windows/messages.h"
#include "win32/system/program.h"
#include "win32/system/shell.h"
#include "win32/windows/window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  using namespace torvane;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);

  int exitCode = 1;
  win32::Guarded(nullptr, [&] {
    // Before the windows that show them, so destroyed after them.
    const auto icon = [instance](int size) {
      return win32::UniqueIcon(static_cast<HICON>(::LoadImageW(
          instance, MAKEINTRESOURCEW(IDI_TORVANE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    };
    const win32::UniqueIcon bigIconOwner = icon(32), smallIconOwner = icon(16);
    const HICON bigIcon = bigIconOwner.get(), smallIcon = smallIconOwner.get();
    win32::Window main(
        Tarvik::Layout(), instance,
        {.bigIcon = bigIcon, .smallIcon = smallIcon, .endsProgram = true, .onClose = {}});
    win32::Win32Messages messages(main.hwnd());
    win32::Win32Desktop desktop(main.Dpi());
    win32::AboutWindow about({.instance = instance,
                              .bigIcon = bigIcon,
                              .smallIcon = smallIcon,
                              .mainForm = main,
                              .messages = messages,
                              .desktop = desktop});
    win32::Win32FilePicker picker(main.hwnd());
    dialog::CommonDialogControl cmDialog1(picker);
    win32::Win32Files files;
    win32::Win32Clipboard clipboard(main.hwnd());
    win32::Win32Program program;
    win32::Win32Shell shell;
    Tarvik tarvik({.form = main, .Text1 = main.Box("Text1"), .Text2 = main.Box("Text2")},
                  {.messages = messages,
                   .desktop = desktop,
                   .about = about,
                   .CMDialog1 = cmDialog1,
                   .files = files,
                   .clipboard = clipboard,
                   .program = program,
                   .shell = shell});
    main.SetLogic(&tarvik);
    main.Load();
    ::ShowWindow(main.hwnd(), show);
    exitCode = win32::Window::RunMessageLoop();
    main.SetLogic(nullptr);
  });
  return exitCode;
}
