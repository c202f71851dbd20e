#include "win32/windows/messages.h"

#include "win32/base/text.h"

namespace torvane::win32 {

int Win32Messages::Show(std::string_view text, int flags, std::string_view title) {
  HWND owner = ::GetActiveWindow();
  if (!owner || !::IsWindowVisible(owner)) owner = fallbackOwner_;
  if (owner && !::IsWindowVisible(owner)) owner = nullptr;
  return ::MessageBoxW(owner, WideFromUtf8(text).c_str(), WideFromUtf8(title).c_str(),
                       static_cast<UINT>(flags));
}

}  // namespace torvane::win32
