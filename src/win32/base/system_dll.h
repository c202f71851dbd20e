#pragma once

#include <windows.h>

// Functions of Windows' own DLLs that the program needs late or never: the
// file dialogs and the shell bring many further DLLs with them, so they are
// loaded when the user first asks for them, not at start.
namespace torvane::win32 {

// The function `name` of `dll`, loaded from the system folder (never from the
// program's or the current folder) and kept loaded to the end. nullptr when
// the DLL or the function is missing, with GetLastError() saying why.
FARPROC SystemFunction(const wchar_t* dll, const char* name) noexcept;

// Typed by the function's own declaration: SystemFunctionOf<decltype(::Call)>.
template <typename Function>
Function* SystemFunctionOf(const wchar_t* dll, const char* name) noexcept {
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(SystemFunction(dll, name)));
}

}  // namespace torvane::win32
