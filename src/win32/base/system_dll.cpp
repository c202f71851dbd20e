#include "win32/base/system_dll.h"

#include <cwchar>

namespace torvane::win32 {

FARPROC SystemFunction(const wchar_t* dll, const char* name) noexcept {
  HMODULE module = ::GetModuleHandleW(dll);
  if (!module) {
    // A full path: a DLL of the same name beside a document the user opened
    // must not be loaded in its place.
    wchar_t path[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(path, MAX_PATH);
    const std::size_t length = std::wcslen(dll);
    if (n == 0) return nullptr;
    if (n + 1 + length >= MAX_PATH) {
      ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return nullptr;
    }
    path[n] = L'\\';
    std::wmemcpy(path + n + 1, dll, length + 1);
    module = ::LoadLibraryW(path);
    if (!module) return nullptr;
  }
  return ::GetProcAddress(module, name);
}

}  // namespace torvane::win32
