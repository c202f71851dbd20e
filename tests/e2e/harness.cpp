#include "harness.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "main_window/tarvik.h"
#include "text/codepage.h"

namespace torvane::e2e {
namespace {

constexpr auto kStartTimeout = 30s;
constexpr UINT kSyncTimeoutMs = 10000;

int IdOf(std::string_view name) {
  const auto& layout = Tarvik::Layout();
  if (auto id = platform::ControlId(layout, name)) return *id;
  if (auto id = platform::MenuId(layout, name)) return *id;
  throw std::invalid_argument("no control or menu item named " + std::string(name));
}

struct FindArgs {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp) {
  auto* a = reinterpret_cast<FindArgs*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == a->pid && ClassName(hwnd) == a->cls) {
    a->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOf(DWORD pid, const wchar_t* cls) {
  FindArgs a{pid, cls, nullptr};
  ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&a));
  return a.found;
}

}  // namespace

HWND FindTopLevel(DWORD pid, const wchar_t* className) {
  return FindWindowOf(pid, className);
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/"));
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256];
  const int n = ::GetClassNameW(hwnd, name, 256);
  return std::wstring(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::wstring WindowText(HWND hwnd) {
  DWORD_PTR len = 0;
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &len)) {
    throw std::runtime_error("the window did not answer WM_GETTEXTLENGTH");
  }
  std::wstring text(len + 1, L'\0');
  DWORD_PTR got = 0;
  ::SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, kSyncTimeoutMs, &got);
  text.resize(got);
  return text;
}

std::wstring Shown(std::string_view bytes) {
  const std::u16string s = text::BytesToBox(bytes);
  return std::wstring(s.begin(), s.end());
}

std::string Bytes(std::wstring_view shown) {
  const auto r = text::BoxToBytes(std::u16string(shown.begin(), shown.end()));
  if (!r.ok()) throw std::runtime_error("the box holds a character with no single-byte code");
  return r.bytes;
}

App::App() : App(ProgramFolder() + L"\\torvane.exe") {}

App::App(const std::wstring& exe) : App(exe, L"") {}

App::App(const std::wstring& exe, const std::wstring& arguments) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!arguments.empty()) cmd += L" " + arguments;
  if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        ProgramFolder().c_str(), &si, &pi_)) {
    throw std::runtime_error("cannot start torvane.exe");
  }
  ::WaitForInputIdle(pi_.hProcess, 20000);
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (!(main_ = FindWindowOf(pi_.dwProcessId, L"TorvaneMain")) || !::IsWindowVisible(main_)) {
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("no main window");
    std::this_thread::sleep_for(20ms);
  }
  Sync();
}

App::~App() {
  if (Running()) {
    // Close any message box first, then the window; end it hard if it hangs.
    while (auto box = FindMessageBox()) {
      ::PostMessageW(box->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      if (::WaitForSingleObject(pi_.hProcess, 200) == WAIT_OBJECT_0) break;
      if (FindMessageBox() && FindMessageBox()->hwnd == box->hwnd) break;
    }
    ::PostMessageW(main_, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) {
      ::TerminateProcess(pi_.hProcess, 1);
      ::WaitForSingleObject(pi_.hProcess, 5000);
    }
  }
  ::CloseHandle(pi_.hThread);
  ::CloseHandle(pi_.hProcess);
}

bool App::Running() const {
  return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool App::WaitForExit(std::chrono::milliseconds timeout) const {
  return ::WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

HWND App::Control(std::string_view name) const {
  HWND h = ::GetDlgItem(main_, IdOf(name));
  if (!h) throw std::runtime_error("no control " + std::string(name));
  return h;
}

void App::Sync() const {
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &r)) {
    throw std::runtime_error("the program does not answer");
  }
}

void App::SetText(std::string_view control, std::wstring_view text) {
  const std::wstring t(text);
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(Control(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()),
                             SMTO_NORMAL, kSyncTimeoutMs, &r) ||
      !r) {
    throw std::runtime_error("WM_SETTEXT failed");
  }
}

std::wstring App::Text(std::string_view control) const {
  return WindowText(Control(control));
}

void App::Type(std::string_view control, std::wstring_view text) {
  HWND h = Control(control);
  for (wchar_t c : text) {
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(h, WM_CHAR, c, 1, SMTO_NORMAL, kSyncTimeoutMs, &r);
  }
}

void App::DropFiles(const std::vector<std::wstring>& files) {
  // A DROPFILES block with wide names, each NUL-ended, then one more NUL,
  // written into the program's own memory: a handle of this process would
  // mean nothing there. Wine takes a plain pointer as a fixed memory block.
  std::vector<char> block(sizeof(DROPFILES));
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  for (const auto& f : files) {
    const auto* p = reinterpret_cast<const char*>(f.c_str());
    block.insert(block.end(), p, p + (f.size() + 1) * sizeof(wchar_t));
  }
  block.insert(block.end(), sizeof(wchar_t), '\0');
  void* remote = ::VirtualAllocEx(pi_.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
  if (!remote || !::WriteProcessMemory(pi_.hProcess, remote, block.data(), block.size(), nullptr)) {
    throw std::runtime_error("cannot write the dropped names into the program");
  }
  ::PostMessageW(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

void App::Undo(std::string_view control) {
  DWORD_PTR r = 0;
  ::SendMessageTimeoutW(Control(control), EM_UNDO, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &r);
}

void App::SendCommandSync(WPARAM wp, LPARAM lp) {
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(main_, WM_COMMAND, wp, lp, SMTO_NORMAL, kSyncTimeoutMs, &r)) {
    if (auto box = FindMessageBox()) {
      throw std::runtime_error(
          "unexpected message box: " +
          text::Utf16ToUtf8(std::u16string(box->text.begin(), box->text.end())));
    }
    throw std::runtime_error("the command did not finish");
  }
  ASSERT_FALSE(FindMessageBox().has_value()) << "a message box stayed open";
}

void App::PostCommand(WPARAM wp, LPARAM lp) {
  ::PostMessageW(main_, WM_COMMAND, wp, lp);
}

// Buttons are clicked as the button itself reports a click to its window.
void App::Click(std::string_view button) {
  SendCommandSync(MAKEWPARAM(IdOf(button), BN_CLICKED), reinterpret_cast<LPARAM>(Control(button)));
}
void App::Menu(std::string_view item) {
  SendCommandSync(MAKEWPARAM(IdOf(item), 0), 0);
}

void App::PostMenu(std::string_view item) {
  PostCommand(MAKEWPARAM(IdOf(item), 0), 0);
}

MessageBoxSeen App::ClickForMessage(std::string_view button) {
  PostCommand(MAKEWPARAM(IdOf(button), BN_CLICKED), reinterpret_cast<LPARAM>(Control(button)));
  return WaitMessageBox();
}

MessageBoxSeen App::MenuForMessage(std::string_view item) {
  PostCommand(MAKEWPARAM(IdOf(item), 0), 0);
  return WaitMessageBox();
}

namespace {

MessageBoxSeen ReadBox(HWND dlg) {
  MessageBoxSeen box;
  box.hwnd = dlg;
  wchar_t title[512];
  const int n = ::GetWindowTextW(dlg, title, 512);
  box.title.assign(title, n > 0 ? static_cast<std::size_t>(n) : 0);
  for (HWND child = ::GetWindow(dlg, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassName(child) != L"Static") continue;
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
      // Wine keeps the icon control visible, empty, in a box without an icon.
      DWORD_PTR icon = 0;
      ::SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &icon);
      box.hasIcon = box.hasIcon || (::IsWindowVisible(child) && icon != 0);
    } else {
      const std::wstring t = WindowText(child);
      if (!t.empty()) box.text = t;
    }
  }
  return box;
}

void Press(HWND dialog, int button) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

}  // namespace

std::optional<MessageBoxSeen> App::FindMessageBox() const {
  HWND dlg = FindWindowOf(pi_.dwProcessId, L"#32770");
  if (!dlg) return std::nullopt;
  return ReadBox(dlg);
}

MessageBoxSeen App::WaitMessageBoxOver(HWND dialog, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    for (HWND box = nullptr; (box = ::FindWindowExW(nullptr, box, L"#32770", nullptr));) {
      if (::GetWindow(box, GW_OWNER) != dialog) continue;
      DWORD_PTR r = 0;
      ::SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &r);
      if (::IsWindowVisible(box)) return ReadBox(box);
    }
    if (std::chrono::steady_clock::now() > deadline || !Running())
      throw std::runtime_error("no message box came over the dialog");
    std::this_thread::sleep_for(20ms);
  }
}

HWND App::MenuForFileDialog(std::string_view item, std::wstring_view title) {
  PostCommand(MAKEWPARAM(IdOf(item), 0), 0);
  return WaitFileDialog(title);
}

namespace {

struct FindDialogArgs {
  DWORD pid;
  std::wstring_view title;
  HWND found;
};

BOOL CALLBACK FindDialogTitled(HWND hwnd, LPARAM lp) {
  auto* a = reinterpret_cast<FindDialogArgs*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid != a->pid || ClassName(hwnd) != L"#32770" || !::IsWindowVisible(hwnd)) return TRUE;
  wchar_t title[512];
  const int n = ::GetWindowTextW(hwnd, title, 512);
  if (std::wstring_view(title, n > 0 ? static_cast<std::size_t>(n) : 0) != a->title) return TRUE;
  a->found = hwnd;
  return FALSE;
}

}  // namespace

HWND App::FindFileDialog(std::wstring_view title) const {
  FindDialogArgs a{pi_.dwProcessId, title, nullptr};
  ::EnumWindows(FindDialogTitled, reinterpret_cast<LPARAM>(&a));
  return a.found;
}

HWND App::WaitFileDialog(std::wstring_view title, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (HWND dlg = FindFileDialog(title)) {
      // Ready once its thread pumps messages again and the name box exists.
      DWORD_PTR r = 0;
      ::SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &r);
      if (FileNameBox(dlg)) return dlg;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("no file dialog titled " +
                               text::Utf16ToUtf8(std::u16string(title.begin(), title.end())));
    }
    std::this_thread::sleep_for(20ms);
  }
}

void WaitClosed(HWND window, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (::IsWindow(window)) {
    if (std::chrono::steady_clock::now() > deadline)
      throw std::runtime_error("the window stayed open");
    std::this_thread::sleep_for(10ms);
  }
}

void App::EnterFile(HWND dialog, std::wstring_view path) const {
  const std::wstring p(path);
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(FileNameBox(dialog), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(p.c_str()), SMTO_NORMAL, kSyncTimeoutMs,
                             &r)) {
    throw std::runtime_error("cannot put the file name into the dialog");
  }
  Press(dialog, IDOK);
}

void App::ChooseFile(HWND dialog, std::wstring_view path) const {
  EnterFile(dialog, path);
  WaitClosed(dialog);
}

void App::CancelFileDialog(HWND dialog) const {
  Press(dialog, IDCANCEL);
  WaitClosed(dialog);
}

HWND FileNameBox(HWND dialog) {
  // The Explorer-style dialog: an edit inside the combo box cmb13 (0x47C);
  // the older layout: the edit edt1 (0x480).
  if (HWND combo = ::GetDlgItem(dialog, 0x47C)) {
    std::vector<HWND> todo{combo};
    while (!todo.empty()) {
      HWND h = todo.back();
      todo.pop_back();
      if (ClassName(h) == L"Edit") return h;
      for (HWND c = ::GetWindow(h, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) todo.push_back(c);
    }
  }
  return ::GetDlgItem(dialog, 0x480);
}

int FileTypeIndex(HWND dialog) {
  DWORD_PTR index = 0;
  ::SendMessageTimeoutW(::GetDlgItem(dialog, 0x470), CB_GETCURSEL, 0, 0, SMTO_NORMAL,
                        kSyncTimeoutMs, &index);
  return static_cast<int>(static_cast<LRESULT>(index));
}

MessageBoxSeen App::WaitMessageBox(std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (HWND dlg = FindWindowOf(pi_.dwProcessId, L"#32770")) {
      // Read it once its thread pumps messages again: the box is then built.
      DWORD_PTR r = 0;
      ::SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &r);
      if (auto box = FindMessageBox(); box && ::IsWindowVisible(box->hwnd)) return *box;
    }
    if (std::chrono::steady_clock::now() > deadline)
      throw std::runtime_error("no message box came");
    std::this_thread::sleep_for(20ms);
  }
}

void App::Dismiss(const MessageBoxSeen& box, int button) const {
  Press(box.hwnd, button);
  WaitClosed(box.hwnd);
  Sync();
}

}  // namespace torvane::e2e
