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

// A fresh folder under the temporary folder for each test, removed after it.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, tmp);
    ASSERT_GT(n, 0u);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    folder = std::filesystem::path(std::wstring(tmp, n)) /
             (L"torvane-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
              std::wstring(name.begin(), name.end()));
    RemoveTree(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { RemoveTree(folder); }

  // By Win32 calls: std::filesystem's remove_all stops at MAX_PATH here, and
  // the tests make longer paths. Read-only and hidden files go too.
  static void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(child);
        } else {
          ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
          ::DeleteFileW(child.c_str());
        }
      } while (::FindNextFileW(h, &found));
      ::FindClose(h);
    }
    ::RemoveDirectoryW(path.c_str());
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

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("test: cannot create a file");
  DWORD n = 0;
  const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  ::CloseHandle(h);
  if (!ok || n != bytes.size()) throw std::runtime_error("test: cannot write a file");
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("test: cannot open a file");
  std::string out;
  char buf[65536];
  DWORD n = 0;
  while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  ::CloseHandle(h);
  return out;
}

// Holds a file open without sharing, as another program locking it would.
class LockedFile {
 public:
  explicit LockedFile(const std::filesystem::path& file)
      : h_(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (h_ == INVALID_HANDLE_VALUE) throw std::runtime_error("test: cannot lock a file");
  }
  ~LockedFile() { ::CloseHandle(h_); }
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

 private:
  HANDLE h_;
};

// Text with a line break every few dozen characters (Wine's edit control wraps
// a long paragraph in quadratic time).
inline std::string Lines(std::size_t length) {
  std::string s;
  while (s.size() < length) s += std::string(26, 'x') + "\r\n";
  s.resize(length);
  return s;
}

// Wine's edit control wraps a long paragraph in quadratic time, so the long
// texts here break a line every few dozen characters, in the plain text and
// (through codes chosen for the key "pw") in its cipher text alike.
inline std::string LongText(std::size_t length) {
  std::string s;
  while (s.size() < length) {
    s += std::string(26, 'x');
    s += "\r\n";
    s += "\xB6\xBA";  // encrypts to CR LF at an odd position with the key "pw"
  }
  s.resize(length);
  return s;
}

inline std::string AllCodes() {
  std::string s;
  for (int c = 0; c < 256; ++c) s.push_back(static_cast<char>(c));
  return s;
}

}  // namespace torvane::e2e
