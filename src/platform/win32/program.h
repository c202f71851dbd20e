#pragma once

#include <windows.h>

#include "platform/program.h"

namespace torvane::win32 {

// Ending the message loop ends the program: the entry point then destroys
// every window on its way out.
class Win32Program final : public platform::Program {
 public:
  void End() override { ::PostQuitMessage(0); }
};

}  // namespace torvane::win32
