#include "win32/base/guard.h"

#include <string>

#include "platform/system_error.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

bool running = false;  // the one user-interface thread's

}  // namespace

bool HandlerRunning() noexcept {
  return running;
}

HandlerScope::HandlerScope() noexcept {
  running = true;
}

HandlerScope::~HandlerScope() {
  running = false;
}

void ReportUnexpected(HWND owner, std::exception_ptr error) noexcept {
  std::string what = "unknown error";
  try {
    std::rethrow_exception(error);
  } catch (const platform::SystemError& e) {
    // The call and its code, for whoever the user reads the message to.
    what = e.what();
    if (!e.call().empty()) what += " (" + e.call() + ", error " + std::to_string(e.code()) + ")";
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  try {
    const std::wstring text = L"An unexpected error stopped this command:\n" + WideFromUtf8(what);
    ::MessageBoxW(owner, text.c_str(), L"Torvane", MB_OK | MB_ICONERROR);
  } catch (...) {
    ::MessageBoxW(owner, L"An unexpected error stopped this command.", L"Torvane",
                  MB_OK | MB_ICONERROR);
  }
}

}  // namespace torvane::win32
