// The folders and whole-file copies of the help document.
#include <windows.h>

#include <shlobj.h>

#include "win32/base/error.h"
#include "win32/base/system_dll.h"
#include "win32/base/text.h"
#include "win32/files/files.h"

namespace torvane::win32 {

void Win32Files::Copy(const platform::Path& source, const platform::Path& destination) {
  if (!::CopyFileW(Wide(source).c_str(), Wide(destination).c_str(), FALSE)) Fail("CopyFileW");
}

bool IsNormalFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
  return (attributes & kNotNormal) == 0;
}

bool Win32Files::SameFile(const platform::Path& a, const platform::Path& b) const {
  WIN32_FILE_ATTRIBUTE_DATA one{}, other{};
  if (!::GetFileAttributesExW(Wide(a).c_str(), GetFileExInfoStandard, &one) ||
      !::GetFileAttributesExW(Wide(b).c_str(), GetFileExInfoStandard, &other)) {
    return false;
  }
  return one.nFileSizeHigh == other.nFileSizeHigh && one.nFileSizeLow == other.nFileSizeLow &&
         ::CompareFileTime(&one.ftLastWriteTime, &other.ftLastWriteTime) == 0;
}

bool Win32Files::IsFile(const platform::Path& path) const {
  return IsNormalFile(Wide(path));
}

void Win32Files::MakeFolder(const platform::Path& path) {
  const std::wstring folder = Wide(path);
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return;
  const DWORD error = ::GetLastError();
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return;
  }
  Fail("CreateDirectoryW", error);
}

std::optional<platform::Path> Win32Files::LocalAppData() const {
  // The environment first: asking the shell loads shell32 and the libraries
  // under it, which the start does not otherwise need.
  wchar_t value[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", value, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return U16(std::wstring_view(value, n));
  // SHGetFolderPathW, not SHGetKnownFolderPath: that one's result must be
  // freed through ole32, which the program does not otherwise need.
  const auto folderPath =
      SystemFunctionOf<decltype(::SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
  wchar_t path[MAX_PATH];
  if (!folderPath ||
      folderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return std::nullopt;
  }
  return U16(path);
}

}  // namespace torvane::win32
