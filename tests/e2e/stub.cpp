// Stands in for the programs that torvane.exe starts (the system-information
// tool, the word processor of the help document): writes beside itself
// "<its own path>.ran", its show flag and its command line, and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH];
  const std::wstring marker = std::wstring(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
  STARTUPINFOW si{};
  ::GetStartupInfoW(&si);
  const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
  const std::wstring report = L"show=" + std::to_wstring(show) + L"\n" + ::GetCommandLineW();
  // Not shared while written: a reader sees all of it or nothing.
  HANDLE f = ::CreateFileW((marker + L".ran").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
  DWORD written = 0;
  ::WriteFile(f, report.data(), static_cast<DWORD>(report.size() * 2), &written, nullptr);
  return ::CloseHandle(f) ? 0 : 1;
}
