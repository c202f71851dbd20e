#include "win32/files/long_path_guard.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cwchar>
#include <string>

#include "win32/base/error.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

// What the creation hook, which has no data of its own, needs to know: one
// guard at a time on a thread, as one modal dialog is.
struct DialogWatch {
  HWND owner = nullptr;
  HHOOK hook = nullptr;
  bool found = false;
};
thread_local DialogWatch watch;

bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The length of the path the dialog builds at OK: the name as typed when it
// has a drive or is a network path, else joined to the folder (or its drive).
std::size_t BuiltLength(HWND dialog) {
  HWND box = ::GetDlgItem(dialog, cmb13);
  if (!box) box = ::GetDlgItem(dialog, edt1);
  if (!box) return 0;
  const std::wstring name = TextOf(box);
  if ((name.size() >= 2 && name[1] == L':') || name.starts_with(L"\\\\")) return name.size();
  if (name.starts_with(L"\\")) return 2 + name.size();
  wchar_t folder[MAX_PATH + 1] = {};
  ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH + 1, reinterpret_cast<LPARAM>(folder));
  const std::size_t length = std::wcslen(folder);
  return length + (length > 0 && folder[length - 1] != L'\\') + name.size();
}

void SayTooLong(HWND dialog, std::size_t length) {
  // Narrow digits: std::to_wstring goes through swprintf, and with it the C
  // library's whole formatter.
  const std::string text = "The path is too long: " + std::to_string(length) +
                           " characters, and this dialog takes at most " +
                           std::to_string(MAX_PATH - 1) + ".\nPlease choose a shorter one.";
  ::MessageBoxW(dialog, WideFromUtf8(text).c_str(), TextOf(dialog).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                            DWORD_PTR) noexcept {
  if (msg == WM_COMMAND && LOWORD(wp) == IDOK) {
    try {
      if (const std::size_t length = BuiltLength(hwnd); length >= MAX_PATH) {
        SayTooLong(hwnd, length);
        return 0;
      }
    } catch (...) {
      // Out of memory: the dialog has its way.
    }
  } else if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, DialogProc, id);
  }
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// The first dialog window made for the owner is the file dialog (its own
// message boxes are owned by it): it is subclassed as it is made.
LRESULT CALLBACK WatchCreation(int code, WPARAM wp, LPARAM lp) noexcept {
  if (code == HCBT_CREATEWND && !watch.found) {
    const HWND hwnd = reinterpret_cast<HWND>(wp);
    const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lp);
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    if (create->lpcs->hwndParent == watch.owner && std::wcscmp(cls, L"#32770") == 0) {
      watch.found = ::SetWindowSubclass(hwnd, DialogProc, 0, 0) != FALSE;
    }
  }
  return ::CallNextHookEx(watch.hook, code, wp, lp);
}

}  // namespace

LongPathGuard::LongPathGuard(HWND owner) {
  if (!UnderWine()) return;
  watch = DialogWatch{owner};
  hook_.reset(::SetWindowsHookExW(WH_CBT, &WatchCreation, nullptr, ::GetCurrentThreadId()));
  // Without the hook the dialog would end the process on a long path.
  if (!hook_) Fail("SetWindowsHookExW", ::GetLastError(), "cannot guard the file dialog");
  watch.hook = hook_.get();
}

LongPathGuard::~LongPathGuard() {
  hook_.reset();
  watch = DialogWatch{};
}

}  // namespace torvane::win32
