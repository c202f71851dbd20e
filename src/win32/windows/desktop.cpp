#include "win32/windows/desktop.h"

#include <string>

#include "platform/layout.h"
#include "win32/base/error.h"
#include "win32/base/text.h"

namespace torvane::win32 {

float Win32Desktop::ScreenWidthTwips() const {
  return platform::PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi_);
}

float Win32Desktop::ScreenHeightTwips() const {
  return platform::PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi_);
}

void Win32Desktop::SetWindowPos(platform::WindowHandle window, platform::WindowHandle insertAfter,
                                int x, int y, int cx, int cy, unsigned flags) {
  if (!::SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), x, y, cx,
                      cy, flags)) {
    Fail("SetWindowPos", ::GetLastError(), "cannot place the window");
  }
}

platform::Path Win32Desktop::AppFolder() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // truncated: long paths exist
  }
  return U16(std::wstring_view(path).substr(0, path.find_last_of(L"\\/")));
}

}  // namespace torvane::win32
