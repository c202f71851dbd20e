#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

// Windows as data: a table of controls and one of menu items, as a form
// designer would store them. The Win32 layer builds the window from these.
namespace torvane::platform {

enum class ControlKind { kTabPanel, kLabel, kTextBox, kButton, kPicture, kLine };

struct Font {
  std::string_view face;  // empty: the window's default font
  float points = 0;
  bool bold = false;
};

struct Rgb {
  unsigned char r, g, b;
};

// Control flags.
inline constexpr unsigned kMultiLine = 1u << 0;
inline constexpr unsigned kVScroll = 1u << 1;
inline constexpr unsigned kPassword = 1u << 2;
inline constexpr unsigned kDefaultButton = 1u << 3;
inline constexpr unsigned kCancelButton = 1u << 4;
inline constexpr unsigned kNoTabStop = 1u << 5;
inline constexpr unsigned kWideLine = 1u << 6;  // a line two pixels wide

struct ControlRow {
  ControlKind kind;
  std::string_view name;
  std::string_view caption;  // UTF-8
  // Twips. A line runs from (left, top) to (width, height).
  float left = 0, top = 0, width = 0, height = 0;
  int tabIndex = 0;
  Font font{};
  unsigned flags = 0;
  std::optional<Rgb> foreColor = std::nullopt;
  std::optional<Rgb> backColor = std::nullopt;
  std::size_t maxLength = 0;  // a text box's most characters; 0: as many as the control takes
};

struct MenuRow {
  std::string_view name;
  std::string_view caption;  // "-" is a separator
  int level;                 // 0: a menu on the bar; 1: an item of the last menu
};

struct WindowLayout {
  std::string_view className;
  std::string_view caption;
  float clientWidth, clientHeight;  // twips
  std::span<const ControlRow> controls;
  std::span<const MenuRow> menus;
  bool acceptsFiles = false;  // files dropped on it reach Form_OLEDragDrop
};

// Command identifiers the runtime gives controls and menu items: the table
// position plus a base clear of IDOK/IDCANCEL and the other dialog ids.
inline constexpr int kFirstControlId = 100;
inline constexpr int kFirstMenuId = 1000;
inline std::optional<int> ControlId(const WindowLayout& layout, std::string_view name) {
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    if (layout.controls[i].name == name) return kFirstControlId + static_cast<int>(i);
  }
  return std::nullopt;
}
inline std::optional<int> MenuId(const WindowLayout& layout, std::string_view name) {
  for (std::size_t i = 0; i < layout.menus.size(); ++i) {
    if (layout.menus[i].name == name) return kFirstMenuId + static_cast<int>(i);
  }
  return std::nullopt;
}
// The control row of an id; null for an id that is no control's.
inline const ControlRow* ControlOfId(const WindowLayout& layout, int id) {
  const auto row = static_cast<std::size_t>(id - kFirstControlId);
  return id >= kFirstControlId && row < layout.controls.size() ? &layout.controls[row] : nullptr;
}
// The name of a control or menu item; empty for an id of neither.
inline std::string_view NameOfId(const WindowLayout& layout, int id) {
  const auto menu = static_cast<std::size_t>(id - kFirstMenuId);
  if (id >= kFirstMenuId && menu < layout.menus.size()) return layout.menus[menu].name;
  const ControlRow* control = ControlOfId(layout, id);
  return control ? control->name : std::string_view();
}

// What a table's units mean at a DPI: twips <-> pixels, rounded half away
// from zero. They sit with the types because the runtime, which sees only
// this folder, is what turns a table into a window.
inline int TwipsToPixels(float twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}
inline float PixelsToTwips(int pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * 1440.0 / dpi);
}
// Font height in pixels (negative: the character height, as LOGFONT wants).
inline int PointsToLogicalHeight(float points, int dpi) {
  return -static_cast<int>(std::lround(static_cast<double>(points) * dpi / 72.0));
}

}  // namespace torvane::platform
