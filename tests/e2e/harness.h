#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

// Drives a running torvane.exe from outside, by window messages, as a user
// would: set and read the boxes, click, pick menu items, read and answer
// message boxes and file dialogs.
namespace torvane::e2e {

using namespace std::chrono_literals;

struct MessageBoxSeen {
  HWND hwnd, owner;
  std::wstring title, text;
  bool hasIcon;
};

std::wstring ProgramFolder();
std::wstring WindowText(HWND hwnd);
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);
// The clipboard as another program on the desktop sees it; each open waits
// 5 s at most while another program holds it.
void PutText(const std::wstring& text);
// The bytes of a format on the clipboard, "(none)" when it is not there.
std::string Data(UINT format);
std::wstring ClipboardText();
// Waits for a window; returns it once its thread pumps messages again.
HWND WaitWindow(const std::function<HWND()>& find);
// The first visible top-level window of the process that `match` accepts.
HWND FindOf(DWORD pid, const std::function<bool(HWND)>& match);
HWND FindTopLevel(DWORD pid, const wchar_t* className);
HWND FileNameBox(HWND dialog);
MessageBoxSeen ReadBox(HWND box);
// "title: text (icon), over <the owner's caption>"
std::wstring Describe(const MessageBoxSeen& box);
// Presses the button (IDOK, IDYES, IDNO...) and waits until the window is gone.
void Press(HWND window, int button);
// A key pressed in that control, through the program's message loop.
inline void PostKey(HWND control, WPARAM key) {
  ::PostMessageW(control, WM_KEYDOWN, key, 1);
  ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

class App {
 public:
  // Starts torvane.exe (beside this program, or `exe`) with these arguments.
  explicit App(const std::wstring& arguments = L"", std::wstring exe = L"");
  ~App();

  HWND Main() const { return main_; }
  DWORD ProcessId() const { return pi_.dwProcessId; }
  bool WaitForExit(DWORD ms) const { return ::WaitForSingleObject(pi_.hProcess, ms) == 0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    ::GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }
  HWND Control(std::string_view name) const;
  void SetText(std::string_view control, const std::wstring& text) {
    Send(Control(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  std::wstring Text(std::string_view control) const { return WindowText(Control(control)); }
  // A button or menu item that must finish without a message box.
  void Click(std::string_view name);
  // One that opens a window (message box, dialog): posted, not waited for.
  void Post(std::string_view name);
  std::optional<MessageBoxSeen> FindMessageBox() const;
  HWND WaitMessageBox() const {
    return WaitWindow([&] { return FindMessageBox() ? FindMessageBox()->hwnd : nullptr; });
  }
  // Waits for a message box, presses its OK and describes it.
  std::wstring Answer() const;
  void Dismiss(const MessageBoxSeen& box, int button = IDOK) const {
    Press(box.hwnd, button);
    Sync();
  }
  // The message box (a question, a refusal) that a dialog of the program
  // shows; not the dialog's own passing windows, such as a list that drops down.
  HWND WaitOwnedBy(HWND owner) const {
    return WaitWindow([&] {
      return FindOf(pi_.dwProcessId, [&](HWND h) {
        wchar_t cls[8] = {};
        return ::GetWindow(h, GW_OWNER) == owner && ::GetClassNameW(h, cls, 8) &&
               std::wstring_view(cls) == L"#32770";
      });
    });
  }
  HWND WaitFileDialog(std::wstring_view title) const;
  // Types the path into the dialog and presses its OK button; does not wait.
  void EnterFile(HWND dialog, const std::wstring& path) const {
    Send(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }
  // Real keys, as the system delivers them to the control in focus: the
  // window comes to the front, the control is focused, the keys are pressed
  // in order and released in reverse.
  void Keys(std::string_view control, std::initializer_list<WORD> keys) const;
  // Files dropped on the main window, as the shell drops them.
  void Drop(std::initializer_list<std::wstring> files) const;
  // Waits until the program has handled everything sent to it so far.
  void Sync() const { Send(main_, WM_NULL); }

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

}  // namespace torvane::e2e
