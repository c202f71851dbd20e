#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Drives a running torvane.exe from outside, by window messages, as a user
// would: set and read the boxes, click buttons, pick menu items, read and
// answer message boxes.
namespace torvane::e2e {

using namespace std::chrono_literals;

struct MessageBoxSeen {
  HWND hwnd = nullptr;
  std::wstring title;
  std::wstring text;
  bool hasIcon = false;
};

class App {
 public:
  App();  // starts torvane.exe from this program's folder and waits for its window
  explicit App(const std::wstring& exe);  // starts that copy of the program instead
  // Starts it with this command line after its name, e.g. L"\"notes.txt\"".
  App(const std::wstring& exe, const std::wstring& arguments);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND Main() const { return main_; }
  HWND Control(std::string_view name) const;
  DWORD ProcessId() const { return pi_.dwProcessId; }
  bool Running() const;
  // True when the process has ended within the timeout.
  bool WaitForExit(std::chrono::milliseconds timeout) const;

  void SetText(std::string_view control, std::wstring_view text);
  std::wstring Text(std::string_view control) const;
  void Type(std::string_view control, std::wstring_view text);  // one WM_CHAR a key
  void Undo(std::string_view control);
  // Drops these files on the main window, as Explorer does.
  void DropFiles(const std::vector<std::wstring>& files);

  // A click or menu item that must finish without any window of its own.
  void Click(std::string_view button);
  void Menu(std::string_view item);
  // One that must show a message box: returns it, still open.
  MessageBoxSeen ClickForMessage(std::string_view button);
  MessageBoxSeen MenuForMessage(std::string_view item);

  std::optional<MessageBoxSeen> FindMessageBox() const;
  MessageBoxSeen WaitMessageBox(std::chrono::milliseconds timeout = 10s) const;
  // A message box that a file dialog shows over itself (owned by it).
  MessageBoxSeen WaitMessageBoxOver(HWND dialog, std::chrono::milliseconds timeout = 10s) const;
  // Presses the button (OK, or IDYES, IDNO, ...) and waits until the box is gone.
  void Dismiss(const MessageBoxSeen& box, int button = IDOK) const;

  // Waits until the program has handled everything sent so far.
  void Sync() const;
  // A menu item that ends the program: sent, and not waited for.
  void PostMenu(std::string_view item);

  // File dialogs (class "#32770" like message boxes, so found by title).
  // A menu item that must open one: returns it, still open.
  HWND MenuForFileDialog(std::string_view item, std::wstring_view title);
  HWND FindFileDialog(std::wstring_view title) const;
  HWND WaitFileDialog(std::wstring_view title, std::chrono::milliseconds timeout = 10s) const;
  // Puts the path into the dialog's file-name box and presses its OK button;
  // returns once the dialog has closed.
  void ChooseFile(HWND dialog, std::wstring_view path) const;
  // The same, returning at once: the dialog may answer with a message first.
  void EnterFile(HWND dialog, std::wstring_view path) const;
  void CancelFileDialog(HWND dialog) const;

 private:
  void SendCommandSync(WPARAM wp, LPARAM lp);
  void PostCommand(WPARAM wp, LPARAM lp);

  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

std::wstring ProgramFolder();
// The process's top-level window of that class, or null.
HWND FindTopLevel(DWORD pid, const wchar_t* className);
// A file dialog's file-name box, and the pattern pair it has selected (from 0).
HWND FileNameBox(HWND dialog);
// Waits until the window is gone.
void WaitClosed(HWND window, std::chrono::milliseconds timeout = 10s);
int FileTypeIndex(HWND dialog);
std::wstring ClassName(HWND hwnd);
std::wstring WindowText(HWND hwnd);

// The box's characters for a byte string, as the program shows them.
std::wstring Shown(std::string_view bytes);
// The bytes a box's characters stand for (the test's own check: exact or fail).
std::string Bytes(std::wstring_view shown);

}  // namespace torvane::e2e
