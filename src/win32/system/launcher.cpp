#include "win32/system/launcher.h"

#include <windows.h>

#include <string>

#include "win32/base/error.h"
#include "win32/base/handles.h"
#include "win32/base/text.h"
#include "win32/files/files.h"

namespace torvane::win32 {
namespace {

// These paths come from the registry's single-byte calls, so they are in the
// system's ANSI code page; the same code page turns them back exactly.
std::wstring WideFromAnsi(std::string_view s) {
  std::optional<std::wstring> w = WideFrom(s, CP_ACP, MB_ERR_INVALID_CHARS);
  if (!w) {
    Fail<platform::StartError>("MultiByteToWideChar", ::GetLastError(),
                               "the path is not text of this system's code page");
  }
  return *std::move(w);
}

}  // namespace

bool Win32FileSearch::IsNormalFile(std::string_view fullName) {
  return win32::IsNormalFile(WideFromAnsi(fullName));
}

void Win32ProcessStarter::Start(std::string_view program, int windowStyle) {
  const std::wstring path = WideFromAnsi(program);
  if (path.empty()) throw platform::StartError("no program to start");
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
    Fail<platform::StartError>("CreateProcessW", ::GetLastError(), "cannot start the program");
  }
  // Not waited for, not watched: it runs on its own.
  const UniqueHandle thread(pi.hThread), process(pi.hProcess);
}

}  // namespace torvane::win32
