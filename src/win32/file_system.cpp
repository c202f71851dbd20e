#include "win32/file_system.h"

#include <windows.h>

#include <shlobj.h>

#include "win32/error.h"

namespace torvane::win32 {

void Win32FileSystem::Copy(const std::filesystem::path& source,
                           const std::filesystem::path& destination) {
  if (!::CopyFileW(source.c_str(), destination.c_str(), FALSE)) Fail("CopyFileW");
}

bool Win32FileSystem::IsFile(const std::filesystem::path& path) const {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32FileSystem::MakeFolder(const std::filesystem::path& path) {
  if (::CreateDirectoryW(path.c_str(), nullptr)) return;
  const DWORD error = ::GetLastError();
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return;
  }
  Fail("CreateDirectoryW", error);
}

std::optional<std::filesystem::path> Win32FileSystem::LocalAppData() const {
  // SHGetFolderPathW, not SHGetKnownFolderPath: that one's result must be
  // freed through ole32, which the program does not otherwise need.
  wchar_t path[MAX_PATH];
  if (::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return std::nullopt;
  }
  return std::filesystem::path(path);
}

}  // namespace torvane::win32
