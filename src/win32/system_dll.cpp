#include "win32/system_dll.h"

#include <string>

namespace torvane::win32 {

FARPROC SystemFunction(const wchar_t* dll, const char* name) noexcept {
  HMODULE module = ::GetModuleHandleW(dll);
  if (!module) {
    // A full path: a DLL of the same name beside a document the user opened
    // must not be loaded in its place.
    wchar_t folder[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    try {
      module = ::LoadLibraryW((std::wstring(folder, n) + L"\\" + dll).c_str());
    } catch (...) {  // no memory for the path
      ::SetLastError(ERROR_OUTOFMEMORY);
      return nullptr;
    }
    if (!module) return nullptr;
  }
  return ::GetProcAddress(module, name);
}

}  // namespace torvane::win32
