#pragma once

namespace torvane::platform {

// The program as a whole.
class Program {
 public:
  virtual ~Program() = default;
  // Ends the program once the running handler returns: no prompt, every
  // window closed.
  virtual void End() = 0;
};

}  // namespace torvane::platform
