#pragma once

#include <windows.h>

#include <cstdlib>

#include "platform/program.h"
#include "win32/base/text.h"

namespace torvane::win32 {

// Ending the message loop ends the program: the entry point then destroys
// every window on its way out.
class Win32Program final : public platform::Program {
 public:
  void End() override { ::PostQuitMessage(0); }
  // The C runtime splits the command line by Windows' own rules (quotes and
  // backslashes), without shell32.
  std::vector<platform::Path> Arguments() const override {
    std::vector<platform::Path> out;
    for (int i = 1; i < __argc; ++i) out.push_back(U16(__wargv[i]));
    return out;
  }
};

}  // namespace torvane::win32
