#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "harness.h"

// Test files, written and read by the test itself with plain Win32 calls.
namespace torvane::e2e {

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  ::CloseHandle(h);
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  std::string out(1 << 16, '\0');
  DWORD n = 0;
  ::ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &n, nullptr);
  ::CloseHandle(h);
  return out.substr(0, n);
}

// The system's own sentence for an error code.
inline std::string SystemSentence(DWORD code) {
  char buf[512];
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == ' ')) --n;
  return std::string(buf, n);
}

// A fresh folder under the temporary folder.
inline std::filesystem::path FreshFolder() {
  const auto folder = std::filesystem::temp_directory_path() / L"torvane e2e";
  std::error_code ignored;  // a program still running there keeps the folder itself
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace torvane::e2e
