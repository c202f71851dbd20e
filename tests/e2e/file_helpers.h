#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "harness.h"
#include "win32/base/system_dll.h"

// Test files, written and read by the test itself.
namespace torvane::e2e {

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The literal form of a full path: it reaches a file named like a device
// (aux.txt), not the device.
inline std::filesystem::path Literal(const std::filesystem::path& file) {
  return L"\\\\?\\" + file.wstring();
}

// Runs a shell command in the folder on Wine's Unix side, for what Windows'
// calls cannot make there: links, pipes, modes. Wine starts a Unix program
// as a feigned success: what it gives back are no handles, never to be waited
// on or closed, so the command leaves a mark when it is done.
inline void Unix(const std::filesystem::path& folder, const std::wstring& command) {
  const std::string name = win32::SystemFunctionOf<char*(const wchar_t*)>(
      L"kernel32.dll", "wine_get_unix_file_name")(folder.c_str());  // ASCII: the temporary folder
  std::wstring line = L"/bin/sh -c \"cd '" + std::wstring(name.begin(), name.end()) + L"' && " +
                      command + L"; touch 'unix done'\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION ignored{};
  EXPECT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &ignored));
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(folder / L"unix done"); })) << command;
  std::filesystem::remove(folder / L"unix done");
}

// A fresh folder under the temporary folder.
inline std::filesystem::path FreshFolder() {
  const auto folder = std::filesystem::temp_directory_path() / L"torvane e2e";
  std::error_code ignored;  // a program still running there keeps the folder itself
  // A read-only file would stay, and fail the next test that writes there.
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ignored)) {
    ::SetFileAttributesW(Literal(e.path()).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(Literal(folder), ignored);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace torvane::e2e
