// What the runtime does when the system refuses a step, made to happen
// through the import table: the user learns which step, and nothing is left
// half done.
#include "file_helpers.h"
#include "hooks.h"
// After <windows.h>, which file_helpers.h brings.
#include <commctrl.h>

#include "main_window/tarvik.h"
#include "win32/base/system_dll.h"
#include "win32/system/clipboard.h"
#include "win32/windows/window.h"

TORVANE_IMPORT_SLOT(RegisterClipboardFormatW, 4);
TORVANE_IMPORT_SLOT(EmptyClipboard, 0);
TORVANE_IMPORT_SLOT(SetClipboardData, 8);
TORVANE_IMPORT_SLOT(RegisterClassExW, 4);
TORVANE_IMPORT_SLOT(CreateWindowExW, 48);
TORVANE_IMPORT_SLOT(CreateMenu, 0);
TORVANE_IMPORT_SLOT(CreatePopupMenu, 0);
TORVANE_IMPORT_SLOT(AppendMenuW, 16);
TORVANE_IMPORT_SLOT(SetMenu, 8);
TORVANE_IMPORT_SLOT(SetWindowSubclass, 16);
TORVANE_IMPORT_SLOT(GetSystemDirectoryW, 8);
TORVANE_IMPORT_SLOT(IntersectRect, 12);
TORVANE_IMPORT_SLOT(MessageBoxW, 16);

namespace torvane::e2e {
namespace {

// The system refuses the nth call (from 1) through a slot, and only that one.
int refuseAt = 0, calls = 0;
bool Refused(DWORD error = ERROR_NOT_ENOUGH_MEMORY) {
  if (++calls != refuseAt) return false;
  ::SetLastError(error);
  return true;
}
void RefuseAt(int at) {
  refuseAt = at, calls = 0;
}

UINT WINAPI NoFormat(LPCWSTR name) {
  return Refused() ? 0 : system_RegisterClipboardFormatW(name);
}
BOOL WINAPI CannotEmpty() {
  return !Refused(ERROR_ACCESS_DENIED) && system_EmptyClipboard();
}
HANDLE WINAPI NoData(UINT format, HANDLE data) {
  return Refused() ? nullptr : system_SetClipboardData(format, data);
}

// A step of a copy that the system refuses is named; what was on the
// clipboard stays, or nothing does: never the text without its marks.
TEST(Clipboard, AStepTheSystemRefusesIsNamedAndLeavesNoUnmarkedText) {
  const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                                       nullptr, nullptr);
  win32::Win32Clipboard clipboard(owner);
  const auto copy = [&] {
    try {
      clipboard.PutText(u"secret");
    } catch (const platform::SystemError& e) {
      return e.what() + (" " + e.call() + " ") + std::to_string(e.code());
    }
    return std::string("none");
  };
  clipboard.PutText(u"before");
  RefuseAt(1);
  {
    const Hook fails(importSlot_RegisterClipboardFormatW, &NoFormat);
    EXPECT_EQ(copy(), "cannot register a clipboard format RegisterClipboardFormatW 8");
  }
  RefuseAt(1);
  {
    const Hook fails(importSlot_EmptyClipboard, &CannotEmpty);
    EXPECT_EQ(copy(), "cannot empty the clipboard EmptyClipboard 5");
  }
  EXPECT_EQ(ClipboardText(), L"before");
  RefuseAt(2);  // the first mark goes on, then no more
  {
    const Hook fails(importSlot_SetClipboardData, &NoData);
    EXPECT_EQ(copy(), "cannot put the text on the clipboard SetClipboardData 8");
  }
  EXPECT_EQ(Data(CF_UNICODETEXT), "(none)");
  EXPECT_EQ(copy(), "none");
  EXPECT_EQ(ClipboardText(), L"secret");
  ::DestroyWindow(owner);
}

ATOM WINAPI NoClass(const WNDCLASSEXW* c) {
  return Refused() ? 0 : system_RegisterClassExW(c);
}
HWND WINAPI NoWindow(DWORD ex, LPCWSTR cls, LPCWSTR text, DWORD style, int x, int y, int w, int h,
                     HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return Refused() ? nullptr
                   : system_CreateWindowExW(ex, cls, text, style, x, y, w, h, parent, menu,
                                            instance, param);
}
HMENU WINAPI NoBar() {
  return Refused() ? nullptr : system_CreateMenu();
}
HMENU WINAPI NoPopup() {
  return Refused() ? nullptr : system_CreatePopupMenu();
}
BOOL WINAPI NoItem(HMENU menu, UINT flags, UINT_PTR item, LPCWSTR text) {
  return !Refused() && system_AppendMenuW(menu, flags, item, text);
}
BOOL WINAPI NoMenu(HWND window, HMENU menu) {
  return !Refused() && system_SetMenu(window, menu);
}
BOOL WINAPI NoSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  return !Refused() && system_SetWindowSubclass(window, proc, id, data);
}

// The main window's table makes 1 window and 6 controls (the tab panel is painted), 3 menus of 12
// items on the bar (15 appends), and 4 subclasses of its two boxes. Each
// refusal stops the window, which is gone again.
TEST(Refusals, EveryStepOfBuildingAWindowStopsItAndIsNamed) {
  auto layout = Tarvik::Layout();
  layout.className = "TorvaneRefused";
  const auto build = [&](auto& slot, auto hook, int at) {
    const Hook refuses(slot, hook);
    RefuseAt(at);
    try {
      win32::Window window(layout, ::GetModuleHandleW(nullptr), {});
    } catch (const platform::SystemError& e) {
      return e.call() + " " + std::to_string(e.code()) + ": " + e.what();
    }
    return std::string("built");
  };
  EXPECT_EQ(build(importSlot_RegisterClassExW, &NoClass, 1),
            "RegisterClassExW 8: cannot register the window class");
  EXPECT_EQ(build(importSlot_CreateWindowExW, &NoWindow, 1),
            "CreateWindowExW 8: cannot create the window");
  EXPECT_EQ(build(importSlot_CreateWindowExW, &NoWindow, 7),
            "CreateWindowExW 8: cannot create a control");
  EXPECT_EQ(build(importSlot_CreateMenu, &NoBar, 1), "CreateMenu 8: cannot build the menu");
  EXPECT_EQ(build(importSlot_CreatePopupMenu, &NoPopup, 3),
            "CreatePopupMenu 8: cannot build the menu");
  EXPECT_EQ(build(importSlot_AppendMenuW, &NoItem, 15), "AppendMenuW 8: cannot build the menu");
  EXPECT_EQ(build(importSlot_SetMenu, &NoMenu, 1), "SetMenu 8: cannot build the menu");
  EXPECT_EQ(build(importSlot_SetWindowSubclass, &NoSubclass, 4),
            "SetWindowSubclass 8: cannot set up the text box");
  EXPECT_FALSE(::FindWindowW(L"TorvaneRefused", nullptr));
  EXPECT_EQ(build(importSlot_CreateWindowExW, &NoWindow, 8), "built") << "one call too many";
}

BOOL WINAPI NoRoom(LPRECT, const RECT*, const RECT*) {
  throw std::runtime_error("no room");
}

// What a message's handling throws is told, and the system gets the answer
// that asks nothing of it: for a label's colours no brush, so its own.
TEST(Refusals, AMessageWhoseHandlingThrowsIsToldAndAnswered0) {
  win32::Window window(Tarvik::Layout(), ::GetModuleHandleW(nullptr), {});
  const HWND label = ::GetDlgItem(window.hwnd(), *platform::ControlId(Tarvik::Layout(), "Label3"));
  const Hook tell(importSlot_MessageBoxW, &Tell);
  const Hook throws(importSlot_IntersectRect, &NoRoom);
  const HDC dc = ::GetDC(label);
  EXPECT_EQ(::SendMessageW(window.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(label)),
            0);
  ::ReleaseDC(label, dc);
  EXPECT_EQ(told, L"Torvane: An unexpected error stopped this command:\nno room");
}

// A system folder of this many characters, 0 for none.
UINT systemFolder = 0;
UINT WINAPI SystemFolder(LPWSTR out, UINT room) {
  if (systemFolder == 0) ::SetLastError(ERROR_PATH_NOT_FOUND);
  if (systemFolder == 0 || systemFolder >= room) return systemFolder;
  const std::wstring path = L"C:\\" + std::wstring(systemFolder - 3, L's');
  path.copy(out, path.size()), out[path.size()] = L'\0';
  return systemFolder;
}

// A library not loaded yet is looked for in the system folder only: with
// no system folder, or one whose path with the name would not fit MAX_PATH,
// nothing is loaded and the caller learns why.
TEST(Refusals, ALibraryIsLoadedFromTheSystemFolderOrNotAtAll) {
  const Hook folder(importSlot_GetSystemDirectoryW, &SystemFolder);
  const wchar_t* const absent = L"torvane-absent.dll";  // 18 characters
  const std::pair<UINT, DWORD> rows[] = {
      {0, ERROR_PATH_NOT_FOUND}, {241, ERROR_FILENAME_EXCED_RANGE}, {240, ERROR_MOD_NOT_FOUND}};
  for (const auto& [length, error] : rows) {
    systemFolder = length;
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(win32::SystemFunction(absent, "Anything"), nullptr) << length;
    EXPECT_EQ(::GetLastError(), error) << length;
  }
}

}  // namespace
}  // namespace torvane::e2e
