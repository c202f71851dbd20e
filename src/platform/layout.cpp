#include "platform/layout.h"

#include <cmath>

namespace torvane::platform {

std::optional<int> ControlId(const WindowSpec& layout, std::string_view name) {
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    if (layout.controls[i].name == name) return kFirstControlId + static_cast<int>(i);
  }
  return std::nullopt;
}

std::optional<int> MenuId(const WindowSpec& layout, std::string_view name) {
  for (std::size_t i = 0; i < layout.menus.size(); ++i) {
    if (layout.menus[i].name == name) return kFirstMenuId + static_cast<int>(i);
  }
  return std::nullopt;
}

std::string_view NameOfId(const WindowSpec& layout, int id) {
  if (id >= kFirstMenuId && id - kFirstMenuId < static_cast<int>(layout.menus.size())) {
    return layout.menus[static_cast<std::size_t>(id - kFirstMenuId)].name;
  }
  if (id >= kFirstControlId && id - kFirstControlId < static_cast<int>(layout.controls.size())) {
    return layout.controls[static_cast<std::size_t>(id - kFirstControlId)].name;
  }
  return {};
}

int TwipsToPixels(float twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

float PixelsToTwips(int pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * 1440.0 / dpi);
}

int PointsToLogicalHeight(float points, int dpi) {
  return -static_cast<int>(std::lround(static_cast<double>(points) * dpi / 72.0));
}

}  // namespace torvane::platform
