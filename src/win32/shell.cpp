#include "win32/shell.h"

#include <objbase.h>
#include <shellapi.h>

#include "win32/system_dll.h"
#include "win32/text.h"

namespace torvane::win32 {

void EnsureComForTheShell() noexcept {
  static const bool done = [] {
    if (const auto init =
            SystemFunctionOf<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx")) {
      init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    }
    return true;
  }();
  (void)done;
}

std::intptr_t Win32Shell::OpenDocument(platform::WindowHandle owner, const platform::Path& document,
                                       const platform::Path& directory, int show) {
  // Without shell32 the answer is ShellExecute's own for a missing DLL, and
  // the caller reports it as it reports any other failure to open.
  const auto execute = SystemFunctionOf<decltype(::ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (!execute) return SE_ERR_DLLNOTFOUND;
  EnsureComForTheShell();
  // No verb: the type's default action. No parameters.
  const HINSTANCE result = execute(reinterpret_cast<HWND>(owner), nullptr, Wide(document).c_str(),
                                   nullptr, Wide(directory).c_str(), show);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace torvane::win32
