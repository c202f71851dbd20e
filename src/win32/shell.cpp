#include "win32/shell.h"

#include <objbase.h>
#include <shellapi.h>

namespace torvane::win32 {

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

}  // namespace torvane::win32
