#pragma once

#include <windows.h>

#include <string>

#include "platform/system_error.h"

// Every Win32 failure in the runtime leaves through Fail: one shape, the
// platform's SystemError (or the kind of it an interface promises), with the
// name of the call that failed and the code it left.
namespace torvane::win32 {

// The system's text for a Win32 error code, as a sentence (UTF-8).
std::string SystemErrorText(DWORD code);

template <typename Error = platform::SystemError>
[[noreturn]] void Fail(const char* call, DWORD code, const std::string& sentence) {
  throw Error(sentence, code, call);
}

// With the system's own sentence for the code.
template <typename Error = platform::SystemError>
[[noreturn]] void Fail(const char* call, DWORD code = ::GetLastError()) {
  Fail<Error>(call, code, SystemErrorText(code));
}

}  // namespace torvane::win32
