#pragma once

#include <windows.h>

#include "platform/ui.h"

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

class Win32Desktop final : public platform::Desktop {
 public:
  explicit Win32Desktop(int dpi) : dpi_(dpi) {}
  float ScreenWidthTwips() const override;
  float ScreenHeightTwips() const override;
  void SetWindowPos(platform::WindowHandle window, platform::WindowHandle insertAfter, int x, int y,
                    int cx, int cy, unsigned flags) override;
  platform::Path AppFolder() const override;

 private:
  int dpi_;
};

}  // namespace torvane::win32
