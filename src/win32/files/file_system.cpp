#include "win32/files/file_system.h"

#include <windows.h>

#include <shlobj.h>

#include "win32/base/error.h"
#include "win32/base/system_dll.h"
#include "win32/base/text.h"

namespace torvane::win32 {

void Win32FileSystem::Copy(const platform::Path& source, const platform::Path& destination) {
  if (!::CopyFileW(Wide(source).c_str(), Wide(destination).c_str(), FALSE)) Fail("CopyFileW");
}

bool Win32FileSystem::IsFile(const platform::Path& path) const {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32FileSystem::MakeFolder(const platform::Path& path) {
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

std::optional<platform::Path> Win32FileSystem::LocalAppData() const {
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
