#include "win32/system/shell.h"

#include <objbase.h>
#include <shellapi.h>

#include "win32/base/error.h"
#include "win32/base/system_dll.h"
#include "win32/base/text.h"

namespace torvane::win32 {

void EnsureComForTheShell() {
  static bool done = false;
  if (done) return;
  constexpr const char* kCannot = "cannot start COM for the shell";
  const auto init = SystemFunctionOf<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  if (!init) Fail("CoInitializeEx", ::GetLastError(), kCannot);
  const HRESULT result = init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // Started already on this thread in the other mode serves the shell too.
  if (FAILED(result) && result != RPC_E_CHANGED_MODE) {
    Fail("CoInitializeEx", static_cast<DWORD>(result), kCannot);
  }
  done = true;
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
