#pragma once

#include <cstdint>

namespace torvane::platform {

using WindowHandle = std::uintptr_t;

enum class WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// A top-level window. Positions and sizes are in twips (1/1440 inch), single
// precision; Width and Height are the outer size, frame included.
class Form {
 public:
  virtual ~Form() = default;
  virtual WindowHandle Handle() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual void SetLeft(float twips) = 0;
  virtual void SetTop(float twips) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetState(WindowState state) = 0;
};

}  // namespace torvane::platform
