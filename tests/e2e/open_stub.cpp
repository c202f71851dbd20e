// Stands in for a word processor in the Help tests: the association the
// tests register runs it as  open_stub.exe "<record file>" "%1". It writes
// its working folder and its whole command line to the record file, UTF-8,
// one per line, and ends.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
  return s;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  wchar_t cwd[MAX_PATH];
  const DWORD n = ::GetCurrentDirectoryW(MAX_PATH, cwd);
  const std::string record = Utf8(std::wstring(cwd, n)) + "\n" + Utf8(::GetCommandLineW()) + "\n";
  // Written under another name and then renamed, so a reader never sees half.
  const std::wstring target = argv[1], partial = target + L".part";
  HANDLE f = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(f, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  ::CloseHandle(f);
  ::LocalFree(argv);
  if (!ok || !::MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return 4;
  return 0;
}
