#include "win32/guard.h"

#include <string>

#include "win32/text.h"

namespace torvane::win32 {

void ReportUnexpected(HWND owner, std::exception_ptr error) noexcept {
  std::string what = "unknown error";
  try {
    std::rethrow_exception(error);
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
