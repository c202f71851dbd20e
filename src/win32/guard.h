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

}  // namespace torvane::win32
