#pragma once

#include "platform/form.h"

namespace torvane::platform {

// A window built on first use. The first Load creates it and runs its
// Form_Load before it is ever shown; later calls give the same window as it
// was left. Throws when the window cannot be created.
class WindowLoader {
 public:
  virtual ~WindowLoader() = default;
  virtual Form& Load() = 0;
};

}  // namespace torvane::platform
