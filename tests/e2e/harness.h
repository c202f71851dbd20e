#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Drives a running torvane.exe from outside, by window messages, as a user
// would: set and read the boxes, click, pick menu items, read and answer
// message boxes and file dialogs.
namespace torvane::e2e {

using namespace std::chrono_literals;

struct MessageBoxSeen {
  HWND hwnd = nullptr;
  HWND owner = nullptr;
  std::wstring title, text;
  bool hasIcon = false;
};

std::wstring ProgramFolder();
std::wstring WindowText(HWND hwnd);
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
// True once `done` holds, false after the timeout.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);
// Waits for a window; returned once its thread pumps messages again.
HWND WaitWindow(const std::function<HWND()>& find, const char* what);
HWND FindTopLevel(DWORD pid, const wchar_t* className);
// A key pressed in that control, through the program's message loop.
inline void PostKey(HWND control, WPARAM key) {
  ::PostMessageW(control, WM_KEYDOWN, key, 1);
  ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}
HWND FileNameBox(HWND dialog);
void WaitClosed(HWND window);
MessageBoxSeen ReadBox(HWND box);


class App {
 public:
  // Starts torvane.exe (beside this program, or `exe`) with these arguments.
  explicit App(const std::wstring& arguments = L"", std::wstring exe = L"");
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND Main() const { return main_; }
  DWORD ProcessId() const { return pi_.dwProcessId; }
  HWND Control(std::string_view name) const;
  bool WaitForExit(DWORD ms) const { return ::WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
  void SetText(std::string_view control, const std::wstring& text);
  std::wstring Text(std::string_view control) const { return WindowText(Control(control)); }
  // A button or menu item that must finish without a window of its own.
  void Click(std::string_view name);
  // One that opens a window (message box, dialog): posted, not waited for.
  void Post(std::string_view name);

  std::optional<MessageBoxSeen> FindMessageBox() const;
  MessageBoxSeen WaitMessageBox() const;
  // Presses the button (IDOK, IDYES, IDNO...) and waits until the box is gone.
  void Dismiss(const MessageBoxSeen& box, int button = IDOK) const;

  // File dialogs are found by their title.
  HWND FindFileDialog(std::wstring_view title) const;
  HWND WaitFileDialog(std::wstring_view title) const {
    return WaitWindow([&] { return FindFileDialog(title); }, "file dialog");
  }
  // Types the path into the dialog and presses its OK button; does not wait.
  void EnterFile(HWND dialog, const std::wstring& path) const;

  // Waits until the program has handled everything sent to it so far.
  void Sync() const { Send(main_, WM_NULL); }

 private:
  std::pair<WPARAM, LPARAM> CommandOf(std::string_view name) const;
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// The box's characters for bytes by the Windows-1252 table, code 0 shown as
// U+2400; and back. The tests' own mapping, not the program's.
std::wstring Shown(std::string_view bytes);
std::string Bytes(std::wstring_view shown);

}  // namespace torvane::e2e
