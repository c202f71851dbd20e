// The window as the logic sees it, a platform::Form: position and size in
// twips, caption, visibility and state.
#include <algorithm>
#include <string>

#include "win32/base/text.h"
#include "win32/windows/window.h"

namespace torvane::win32 {

RECT Window::WindowRect() const {
  RECT r{};
  ::GetWindowRect(hwnd(), &r);
  return r;
}

platform::WindowHandle Window::Handle() const {
  return reinterpret_cast<platform::WindowHandle>(hwnd());
}

float Window::Width() const {
  const RECT r = WindowRect();
  return platform::PixelsToTwips(r.right - r.left, dpi_);
}

float Window::Height() const {
  const RECT r = WindowRect();
  return platform::PixelsToTwips(r.bottom - r.top, dpi_);
}

void Window::SetLeft(float twips) {
  ::SetWindowPos(hwnd(), nullptr, platform::TwipsToPixels(twips, dpi_), WindowRect().top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetTop(float twips) {
  ::SetWindowPos(hwnd(), nullptr, WindowRect().left, platform::TwipsToPixels(twips, dpi_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::Show() {
  ::ShowWindow(hwnd(), ::IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
}

void Window::Hide() {
  ::ShowWindow(hwnd(), SW_HIDE);
}

void Window::SetState(platform::WindowState state) {
  switch (state) {
    case platform::WindowState::kMinimized:
      ::ShowWindow(hwnd(), SW_MINIMIZE);
      break;
    case platform::WindowState::kMaximized:
      ::ShowWindow(hwnd(), SW_MAXIMIZE);
      break;
    case platform::WindowState::kNormal:
      ::ShowWindow(hwnd(), SW_RESTORE);
      break;
  }
}

}  // namespace torvane::win32
