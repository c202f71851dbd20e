#pragma once

#include <windows.h>

#include <exception>

// No exception crosses a Win32 frame: it would hang the program or end it.
// Every handler runs inside Guarded, and what escapes is shown here.
namespace torvane::win32 {

// Shows an exception that reached the Win32 boundary; the program goes on.
void ReportUnexpected(HWND owner, std::exception_ptr error) noexcept;

// Runs a handler so that no exception crosses a Win32 frame. A template, not
// std::function: it wraps every window message.
template <typename Handler>
void Guarded(HWND owner, Handler&& handler) noexcept {
  try {
    handler();
  } catch (...) {
    ReportUnexpected(owner, std::current_exception());
  }
}

// One handler at a time, for the whole program. A handler's message boxes
// and dialogs pump messages; a click, a drop or a command that arrives then
// is ignored, neither run inside it nor queued for later.
bool HandlerRunning() noexcept;

class HandlerScope {
 public:
  HandlerScope() noexcept;
  ~HandlerScope();
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;
};

// Runs the handler in Guarded unless another is running; false when it did
// not run.
template <typename Handler>
bool RunHandler(HWND owner, Handler&& handler) noexcept {
  if (HandlerRunning()) return false;
  const HandlerScope scope;
  Guarded(owner, handler);
  return true;
}

}  // namespace torvane::win32
