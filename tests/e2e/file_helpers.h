#pragma once

#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

// Test files, written and read by the test itself with plain Win32 calls.
namespace torvane::e2e {

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  const BOOL ok = h != INVALID_HANDLE_VALUE &&
                  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  ::CloseHandle(h);
  if (!ok || n != bytes.size()) throw std::runtime_error("test: cannot write a file");
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("test: cannot open a file");
  std::string out;
  char buf[65536];
  DWORD n = 0;
  while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  ::CloseHandle(h);
  return out;
}

// Holds a file open without sharing, as another program locking it would.
struct LockedFile {
  explicit LockedFile(const std::filesystem::path& file)
      : h(::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("test: cannot lock a file");
  }
  ~LockedFile() { ::CloseHandle(h); }
  HANDLE h;
};

// The system's own sentence for an error code, as FormatMessage gives it.
inline std::string SystemSentence(DWORD code) {
  char buf[512];
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == ' ')) --n;
  return std::string(buf, n);
}

// Text broken into short lines (Wine's edit control wraps a long paragraph
// in quadratic time).
inline std::string Lines(std::size_t length) {
  std::string s;
  while (s.size() < length) s += std::string(26, 'x') + "\r\n";
  s.resize(length);
  return s;
}

// A fresh folder under the temporary folder for each test.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH + 1];
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    folder = std::filesystem::path(std::wstring(tmp, ::GetTempPathW(MAX_PATH + 1, tmp))) /
             ("torvane " + name);
    Clear();
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { Clear(); }
  void Clear() {
    std::error_code ignored;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ignored)) {
      ::SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(folder, ignored);
  }
  // The names in the folder, to see that nothing was left behind.
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> out;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      out.push_back(e.path().filename().wstring());
    }
    return out;
  }
  std::filesystem::path folder;
};

}  // namespace torvane::e2e
