#pragma once

#include <vector>

#include "platform/path.h"

namespace torvane::platform {

// The program as a whole.
class Program {
 public:
  virtual ~Program() = default;
  // Ends the program once the running handler returns: no prompt, every
  // window closed.
  virtual void End() = 0;
  // What the program was started with after its own name, one argument a
  // path: how "Open with" and a file dropped on the program's icon arrive.
  virtual std::vector<Path> Arguments() const = 0;
};

}  // namespace torvane::platform
