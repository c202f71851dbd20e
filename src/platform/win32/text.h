#pragma once

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace torvane::win32 {

// wchar_t is 16 bits on Windows: UTF-16 either way, only the type differs.
inline std::wstring Wide(std::u16string_view s) {
  return std::wstring(s.begin(), s.end());
}
inline std::u16string U16(std::wstring_view s) {
  return std::u16string(s.begin(), s.end());
}
inline std::wstring WideFromUtf8(std::string_view s) {
  return Wide(platform::Utf8ToUtf16(s));
}

}  // namespace torvane::win32
