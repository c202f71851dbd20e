#include "win32/base/error.h"

#include "win32/base/text.h"

namespace torvane::win32 {

std::string SystemErrorText(DWORD code) {
  wchar_t buf[512];
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, 512, nullptr);
  while (n > 0 && (buf[n - 1] == L'\r' || buf[n - 1] == L'\n' || buf[n - 1] == L' ')) --n;
  if (n == 0) return "Windows error " + std::to_string(code) + ".";
  return Utf8FromWide(std::wstring_view(buf, n));
}

}  // namespace torvane::win32
