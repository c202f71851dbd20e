#pragma once

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

struct ControlSpec {
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

struct MenuSpec {
  std::string_view name;
  std::string_view caption;  // "-" is a separator
  int level;                 // 0: a menu on the bar; 1: an item of the last menu
};

struct WindowSpec {
  std::string_view className;
  std::string_view caption;
  float clientWidth, clientHeight;  // twips
  std::span<const ControlSpec> controls;
  std::span<const MenuSpec> menus;
  bool acceptsFiles = false;  // files dropped on it reach Form_OLEDragDrop
};

// Command identifiers the runtime gives controls and menu items: the table
// position plus a base clear of IDOK/IDCANCEL and the other dialog ids.
inline constexpr int kFirstControlId = 100;
inline constexpr int kFirstMenuId = 1000;
std::optional<int> ControlId(const WindowSpec& layout, std::string_view name);
std::optional<int> MenuId(const WindowSpec& layout, std::string_view name);
std::string_view NameOfId(const WindowSpec& layout, int id);

// twips <-> pixels at a DPI, rounded half away from zero.
int TwipsToPixels(float twips, int dpi);
float PixelsToTwips(int pixels, int dpi);
// Font height in pixels (negative: the character height, as LOGFONT wants).
int PointsToLogicalHeight(float points, int dpi);

}  // namespace torvane::platform
