#pragma once

#include <windows.h>

#include "platform/messages.h"

namespace torvane::win32 {

// Message boxes are owned by the program's window on screen, so a topmost
// window never hides them.
class Win32Messages final : public platform::Messages {
 public:
  explicit Win32Messages(HWND fallbackOwner = nullptr) : fallbackOwner_(fallbackOwner) {}
  int Show(std::string_view text, int flags, std::string_view title) override;

 private:
  HWND fallbackOwner_;
};

}  // namespace torvane::win32
