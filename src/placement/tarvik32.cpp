#include "placement/tarvik32.h"

namespace torvane {

void MakeTopmost(const platform::Form& form, platform::Desktop& desktop) {
  desktop.SetWindowPos(form.Handle(), platform::kHwndTopmost, 0, 0, 0, 0,
                       platform::kSwpNoSize | platform::kSwpNoMove);
}

void CenterForm(platform::Form& form, const platform::Desktop& desktop) {
  const float left = (desktop.ScreenWidthTwips() - form.Width()) / 2.0f;
  form.SetLeft(left);
  const float top = (desktop.ScreenHeightTwips() - form.Height()) / 2.0f;
  form.SetTop(top);
}

}  // namespace torvane
