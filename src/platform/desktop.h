#pragma once

#include "platform/form.h"
#include "platform/path.h"

namespace torvane::platform {

// SetWindowPos, as the placement procedures use it.
inline constexpr WindowHandle kHwndTopmost = static_cast<WindowHandle>(-1);
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;

class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual float ScreenWidthTwips() const = 0;
  virtual float ScreenHeightTwips() const = 0;
  virtual void SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                            int cy, unsigned flags) = 0;
  virtual Path AppFolder() const = 0;
};

}  // namespace torvane::platform
