#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Text at the Win32 boundary: the platform speaks UTF-8 and UTF-16, Windows'
// W calls speak wchar_t.
namespace torvane::win32 {

// wchar_t is 16 bits on Windows: UTF-16 either way, only the type differs.
inline std::wstring Wide(std::u16string_view s) {
  return std::wstring(s.begin(), s.end());
}
inline std::u16string U16(std::wstring_view s) {
  return std::u16string(s.begin(), s.end());
}

// Text of a code page as UTF-16; nullopt when `flags` ask for invalid input
// to fail (MB_ERR_INVALID_CHARS) and it does.
inline std::optional<std::wstring> WideFrom(std::string_view s, UINT codePage, DWORD flags) {
  if (s.empty()) return std::wstring();
  const int size = static_cast<int>(s.size());
  const int n = ::MultiByteToWideChar(codePage, flags, s.data(), size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, flags, s.data(), size, w.data(), n);
  return w;
}

// Invalid input becomes U+FFFD in both directions, never an error: these
// are captions, messages and file names on their way to the screen.
inline std::wstring WideFromUtf8(std::string_view s) {
  return WideFrom(s, CP_UTF8, 0).value_or(std::wstring());
}
inline std::string Utf8FromWide(std::wstring_view w) {
  if (w.empty()) return {};
  const int size = static_cast<int>(w.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), size, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), size, s.data(), n, nullptr, nullptr);
  return s;
}

}  // namespace torvane::win32
