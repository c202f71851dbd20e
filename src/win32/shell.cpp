#include "win32/shell.h"

#include <shellapi.h>
#include <shlobj.h>

#include <system_error>

namespace torvane::win32 {
namespace {

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

}  // namespace

void EnsureComForTheShell() noexcept {
  static const bool done = [] {
    using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
    if (HMODULE ole32 = ::LoadLibraryW(L"ole32.dll")) {
      if (auto init = reinterpret_cast<CoInitializeExFn>(
              reinterpret_cast<void*>(::GetProcAddress(ole32, "CoInitializeEx")))) {
        init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
      }
    }
    return true;
  }();
  (void)done;
}

std::intptr_t Win32Shell::OpenDocument(platform::WindowHandle owner,
                                       const std::filesystem::path& document,
                                       const std::filesystem::path& directory, int show) {
  EnsureComForTheShell();
  // No verb: the type's default action. No parameters.
  const HINSTANCE result = ::ShellExecuteW(reinterpret_cast<HWND>(owner), nullptr, document.c_str(),
                                           nullptr, directory.c_str(), show);
  return reinterpret_cast<std::intptr_t>(result);
}

void Win32FileSystem::Copy(const std::filesystem::path& source,
                           const std::filesystem::path& destination) {
  if (!::CopyFileW(source.c_str(), destination.c_str(), FALSE)) ThrowLastError("cannot copy");
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
  ::SetLastError(error);
  ThrowLastError("cannot make the folder");
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
