#pragma once

#include <windows.h>

#include "platform/shell.h"

namespace torvane::win32 {

// ShellExecute and the file dialogs may run shell extensions that need COM on
// this thread. Done once, on first use rather than at start-up; ole32 is found
// at run time, so it is no import of the program. Throws SystemError when COM
// cannot be started.
void EnsureComForTheShell();

class Win32Shell final : public platform::Shell {
 public:
  std::intptr_t OpenDocument(platform::WindowHandle owner, const platform::Path& document,
                             const platform::Path& directory, int show) override;
};

}  // namespace torvane::win32
