#include "harness.h"

#include <shlobj.h>

#include <cwchar>
#include <thread>
#include <vector>

#include "main_window/tarvik.h"

namespace torvane::e2e {
namespace {

int IdOf(std::string_view name) {
  const auto id = platform::ControlId(Tarvik::Layout(), name);
  return id ? *id : platform::MenuId(Tarvik::Layout(), name).value();
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64];
  return std::wstring(name, static_cast<std::size_t>(::GetClassNameW(hwnd, name, 64)));
}

}  // namespace

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring p(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return p.substr(0, p.find_last_of(L"\\/"));
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(Send(hwnd, WM_GETTEXTLENGTH)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR r = 0;
  // Under the 32-bit Wine a send to a live window now and then fails at once,
  // long before its time is up: tried again. A window that stays silent for
  // 10 s, or is gone, does not answer.
  for (int attempt = 0; attempt < 3; ++attempt) {
    ::SetLastError(ERROR_SUCCESS);
    if (::SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, 10000, &r)) {
      return static_cast<LRESULT>(r);
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_TIMEOUT || !::IsWindow(hwnd)) {
      throw std::runtime_error("a window does not answer message " + std::to_string(msg) +
                               " (error " + std::to_string(error) + ")");
    }
    std::this_thread::sleep_for(50ms);
  }
  throw std::runtime_error("a send of message " + std::to_string(msg) + " fails");
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (; !done(); std::this_thread::sleep_for(10ms)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
  }
  return true;
}

namespace {

void OpenClipboardWaiting() {
  if (!WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }, 5s)) {
    throw std::runtime_error("the clipboard stays held by another program");
  }
}

}  // namespace

void PutText(const std::wstring& text) {
  HGLOBAL h = ::GlobalAlloc(GMEM_FIXED, (text.size() + 1) * sizeof(wchar_t));
  std::wmemcpy(static_cast<wchar_t*>(h), text.c_str(), text.size() + 1);
  OpenClipboardWaiting();
  ::EmptyClipboard();
  ::SetClipboardData(CF_UNICODETEXT, h);
  ::CloseClipboard();
}

std::string Data(UINT format) {
  OpenClipboardWaiting();
  HANDLE h = ::GetClipboardData(format);
  const auto* p = h ? static_cast<const char*>(::GlobalLock(h)) : nullptr;
  const std::string data = p ? std::string(p, ::GlobalSize(h)) : "(none)";
  if (p) ::GlobalUnlock(h);
  ::CloseClipboard();
  return data;
}

std::wstring ClipboardText() {
  return reinterpret_cast<const wchar_t*>(Data(CF_UNICODETEXT).append(2, '\0').c_str());
}

HWND WaitWindow(const std::function<HWND()>& find) {
  HWND found = nullptr;
  // One that is gone again before it answers (error 1400 under the 32-bit
  // Wine) was a passing window: the search goes on.
  const auto answers = [&] {
    if (!(found = find())) return false;
    try {
      Send(found, WM_NULL);
    } catch (const std::runtime_error&) {
      if (::IsWindow(found)) throw;
      return false;
    }
    return true;
  };
  if (!WaitFor(answers)) throw std::runtime_error("an awaited window did not come");
  return found;
}

HWND FindOf(DWORD pid, const std::function<bool(HWND)>& match) {
  for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, nullptr, nullptr));) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if (owner == pid && ::IsWindowVisible(h) && match(h)) return h;
  }
  return nullptr;
}

HWND FindTopLevel(DWORD pid, const wchar_t* cls) {
  return FindOf(pid, [&](HWND h) { return ClassName(h) == cls; });
}

HWND FileNameBox(HWND dialog) {
  // Explorer style: an edit inside the combo box cmb13; older: the edit edt1.
  for (HWND h = ::GetDlgItem(dialog, 0x47C); h; h = ::GetWindow(h, GW_CHILD)) {
    if (ClassName(h) == L"Edit") return h;
  }
  return ::GetDlgItem(dialog, 0x480);
}

std::wstring Describe(const MessageBoxSeen& box) {
  return box.title + L": " + box.text + (box.hasIcon ? L" (icon)" : L"") + L", over " +
         WindowText(box.owner);
}

MessageBoxSeen ReadBox(HWND dlg) {
  MessageBoxSeen box{dlg, ::GetWindow(dlg, GW_OWNER), WindowText(dlg), L"", false};
  for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (ClassName(c) != L"Static") continue;
    // Wine keeps an empty icon control in a box without an icon.
    box.hasIcon = box.hasIcon || (::IsWindowVisible(c) && Send(c, STM_GETICON) != 0);
    if (auto t = WindowText(c); !t.empty()) box.text = t;
  }
  return box;
}

void Press(HWND window, int button) {
  ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(button), 0);
  if (!WaitFor([&] { return !::IsWindow(window); })) throw std::runtime_error("a window stayed");
}

App::App(const std::wstring& arguments, std::wstring exe) {
  if (exe.empty()) exe = ProgramFolder() + L"\\torvane.exe";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + exe + L"\" " + arguments;
  if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        ProgramFolder().c_str(), &si, &pi_)) {
    throw std::runtime_error("cannot start torvane.exe");
  }
  main_ = WaitWindow([&] { return FindTopLevel(pi_.dwProcessId, L"TorvaneMain"); });
}

App::~App() {
  // Ended hard: the tests that care check what a close does themselves.
  ::TerminateProcess(pi_.hProcess, 1);
  ::WaitForSingleObject(pi_.hProcess, 5000);
  ::CloseHandle(pi_.hThread);
  ::CloseHandle(pi_.hProcess);
}

HWND App::Control(std::string_view name) const {
  return ::GetDlgItem(main_, IdOf(name));
}

// A button's click comes as the button reports it, a menu item's with no
// control; both with code 0.
void App::Post(std::string_view name) {
  ::PostMessageW(main_, WM_COMMAND, IdOf(name), reinterpret_cast<LPARAM>(Control(name)));
}

void App::Click(std::string_view name) {
  Send(main_, WM_COMMAND, IdOf(name), reinterpret_cast<LPARAM>(Control(name)));
  if (FindMessageBox()) throw std::runtime_error("a message box came");
}

void App::Keys(std::string_view control, std::initializer_list<WORD> keys) const {
  const HWND target = Control(control);
  ::SetForegroundWindow(main_);
  Send(main_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
  GUITHREADINFO info{sizeof info, 0, {}, {}, {}, {}, {}, {}, {}};
  const DWORD thread = ::GetWindowThreadProcessId(main_, nullptr);
  if (!WaitFor([&] {
        return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == target &&
               ::GetForegroundWindow() == main_;
      })) {
    throw std::runtime_error("the control did not get the focus");
  }
  std::vector<INPUT> input;
  for (int up = 0; up < 2; ++up) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const WORD key = keys.begin()[up ? keys.size() - 1 - i : i];
      INPUT in{INPUT_KEYBOARD, {}};
      in.ki.wVk = key;
      in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) |
                      (key == VK_INSERT || key == VK_DELETE ? KEYEVENTF_EXTENDEDKEY : 0);
      input.push_back(in);
    }
  }
  if (::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)) != input.size()) {
    throw std::runtime_error("SendInput failed");
  }
}

void App::Drop(std::initializer_list<std::wstring> files) const {
  // A DROPFILES block of wide names, each ended by a zero and the list by
  // another, written into the program's memory (Wine takes a plain pointer
  // there as a fixed memory block).
  std::wstring names;
  for (const auto& file : files) names += file + L'\0';
  std::string block(sizeof(DROPFILES), '\0');
  *reinterpret_cast<DROPFILES*>(block.data()) = {sizeof(DROPFILES), {}, FALSE, TRUE};
  block.append(reinterpret_cast<const char*>(names.c_str()), (names.size() + 1) * 2);
  HANDLE process = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, pi_.dwProcessId);
  void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  const bool written = ::WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  ::CloseHandle(process);
  if (!written) throw std::runtime_error("cannot write the drop into the program");
  ::PostMessageW(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

// A message box has no file-name box; a file dialog has one.
std::optional<MessageBoxSeen> App::FindMessageBox() const {
  HWND dlg =
      FindOf(pi_.dwProcessId, [](HWND h) { return ClassName(h) == L"#32770" && !FileNameBox(h); });
  if (!dlg) return std::nullopt;
  return ReadBox(dlg);
}

std::wstring App::Answer() const {
  const MessageBoxSeen box = ReadBox(WaitMessageBox());
  Dismiss(box);
  return Describe(box);
}

HWND App::WaitFileDialog(std::wstring_view title) const {
  return WaitWindow([&] {
    return FindOf(pi_.dwProcessId, [&](HWND h) {
      return ClassName(h) == L"#32770" && WindowText(h) == title && FileNameBox(h);
    });
  });
}

}  // namespace torvane::e2e
