#pragma once

#include <windows.h>

#include "win32/base/handles.h"

namespace torvane::win32 {

// Wine's Open and Save As dialogs join their folder and the typed name into
// buffers of MAX_PATH characters without a check (COMDLG32_GetCanonicalPath,
// FILEDLG95_OnOpen in comdlg32): a longer path overwrites the stack and ends
// the process, taking the typed text with it. While a guard lives, the file
// dialog that this thread opens for the owner refuses such a path at OK with
// a message, and keeps it in its box. Under Windows it does nothing. Throws
// when the guard cannot be set up.
class LongPathGuard {
 public:
  explicit LongPathGuard(HWND owner);
  ~LongPathGuard();
  LongPathGuard(const LongPathGuard&) = delete;
  LongPathGuard& operator=(const LongPathGuard&) = delete;

 private:
  UniqueHook hook_;
};

}  // namespace torvane::win32
