#pragma once

// What a running program's main window shows, as another process sees it, so
// that two programs can be told to show the same window. Menus cannot be read
// from another process under Wine; the bar's pixels stand for them.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace torvane::e2e::bench {

struct WindowView {
  // The window's class, caption, styles, rectangle, client size, menu bar
  // and focus, then each child in z-order (the tab order): class,
  // id, styles, rectangle in the client area, text. One line each.
  std::vector<std::string> facts;
  // The window's rectangle as the screen shows it, the caret blanked: it
  // blinks. Row by row, 0x00RRGGBB.
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
};

// Empty when both exes carry the same icons and manifest; else what differs.
// Wine does not give another process's class icons, and only the small one
// shows on screen.
std::string ResourceDifference(const std::wstring& aExe, const std::wstring& bExe);

// Once the pixels hold still: the first paints may still be on their way.
WindowView ViewOf(HWND main);

// Empty when both show the same window; else the first difference, in words.
std::string Difference(const WindowView& a, const std::string& aName, const WindowView& b,
                       const std::string& bName);

}  // namespace torvane::e2e::bench
