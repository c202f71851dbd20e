#pragma once

#include <windows.h>

#include "platform/desktop.h"

namespace torvane::win32 {

// The screen, the program's folder, and the placement of windows on it.
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
