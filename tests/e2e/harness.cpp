#include "harness.h"

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

#include "main_window/tarvik.h"

namespace torvane::e2e {
namespace {

int IdOf(std::string_view name) {
  const auto& layout = Tarvik::Layout();
  if (auto id = platform::ControlId(layout, name)) return *id;
  if (auto id = platform::MenuId(layout, name)) return *id;
  throw std::invalid_argument("no control or menu item named " + std::string(name));
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64];
  return std::wstring(name, static_cast<std::size_t>(std::max(0, ::GetClassNameW(hwnd, name, 64))));
}

// The first visible top-level window of the process that `match` accepts.
HWND FindOf(DWORD pid, const std::function<bool(HWND)>& match) {
  struct Args {
    DWORD pid;
    const std::function<bool(HWND)>& match;
    HWND found;
  } args{pid, match, nullptr};
  ::EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* a = reinterpret_cast<Args*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner != a->pid || !::IsWindowVisible(h) || !a->match(h)) return TRUE;
        a->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&args));
  return args.found;
}

void Press(HWND dialog, int button) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

// Windows-1252 where it differs from Latin-1: codes 0x80 to 0x9F.
constexpr wchar_t k1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

HWND WaitWindow(const std::function<HWND()>& find, const char* what) {
  HWND found = nullptr;
  if (!WaitFor([&] { return (found = find()) != nullptr; })) {
    throw std::runtime_error(std::string("no ") + what + " came");
  }
  Send(found, WM_NULL);
  return found;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, 10000, &r)) {
    throw std::runtime_error("a window does not answer");
  }
  return static_cast<LRESULT>(r);
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring p(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return p.substr(0, p.find_last_of(L"\\/"));
}

HWND FindTopLevel(DWORD pid, const wchar_t* cls) { return FindOf(pid, [&](HWND h) { return ClassName(h) == cls; }); }

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(Send(hwnd, WM_GETTEXTLENGTH)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::wstring Shown(std::string_view bytes) {
  std::wstring out;
  for (unsigned char c : bytes) {
    out += c == 0 ? L'\x2400' : (c >= 0x80 && c < 0xA0) ? k1252[c - 0x80] : wchar_t{c};
  }
  return out;
}

std::string Bytes(std::wstring_view shown) {
  std::string out;
  for (wchar_t w : shown) {
    int code = 0;
    while (code < 256 && Shown(std::string(1, static_cast<char>(code)))[0] != w) ++code;
    if (code == 256) throw std::runtime_error("the box holds a character with no Windows-1252 code");
    out.push_back(static_cast<char>(code));
  }
  return out;
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
  main_ = WaitWindow([&] { return FindTopLevel(pi_.dwProcessId, L"TorvaneMain"); }, "main window");
}

App::~App() {
  // Ends it hard: the tests check what a close does themselves.
  ::TerminateProcess(pi_.hProcess, 1);
  ::WaitForSingleObject(pi_.hProcess, 5000);
  ::CloseHandle(pi_.hThread);
  ::CloseHandle(pi_.hProcess);
}

HWND App::Control(std::string_view name) const {
  HWND h = ::GetDlgItem(main_, IdOf(name));
  if (!h) throw std::runtime_error("no control " + std::string(name));
  return h;
}

void App::SetText(std::string_view control, const std::wstring& text) {
  if (!Send(Control(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) throw std::runtime_error("WM_SETTEXT");
}

// Buttons are clicked as a button reports its click; menu items come with no
// control.
std::pair<WPARAM, LPARAM> App::CommandOf(std::string_view name) const {
  HWND control = ::GetDlgItem(main_, IdOf(name));
  return {MAKEWPARAM(IdOf(name), control ? BN_CLICKED : 0), reinterpret_cast<LPARAM>(control)};
}

void App::Post(std::string_view name) {
  ::PostMessageW(main_, WM_COMMAND, CommandOf(name).first, CommandOf(name).second);
}

void App::Click(std::string_view name) {
  Send(main_, WM_COMMAND, CommandOf(name).first, CommandOf(name).second);
  if (FindMessageBox()) throw std::runtime_error("a message box came");
}

MessageBoxSeen ReadBox(HWND dlg) {
  MessageBoxSeen box{dlg, ::GetWindow(dlg, GW_OWNER), WindowText(dlg), L""};
  for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (ClassName(c) != L"Static") continue;
    if ((::GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      // Wine keeps an empty icon control in a box without an icon.
      box.hasIcon = box.hasIcon || (::IsWindowVisible(c) && Send(c, STM_GETICON) != 0);
    } else if (auto t = WindowText(c); !t.empty()) {
      box.text = t;
    }
  }
  return box;
}

// A message box has no file-name box; a file dialog has one.
std::optional<MessageBoxSeen> App::FindMessageBox() const {
  HWND dlg = FindOf(pi_.dwProcessId,
                    [](HWND h) { return ClassName(h) == L"#32770" && !FileNameBox(h); });
  if (!dlg) return std::nullopt;
  return ReadBox(dlg);
}

MessageBoxSeen App::WaitMessageBox() const {
  return ReadBox(WaitWindow([&] { return FindMessageBox() ? FindMessageBox()->hwnd : nullptr; }, "message box"));
}

void App::Dismiss(const MessageBoxSeen& box, int button) const {
  Press(box.hwnd, button);
  WaitClosed(box.hwnd);
  Sync();
}

HWND App::FindFileDialog(std::wstring_view title) const {
  return FindOf(pi_.dwProcessId, [&](HWND h) {
    return ClassName(h) == L"#32770" && WindowText(h) == title && FileNameBox(h);
  });
}

void App::EnterFile(HWND dialog, const std::wstring& path) const {
  Send(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  Press(dialog, IDOK);
}

void WaitClosed(HWND window) {
  if (!WaitFor([&] { return !::IsWindow(window); })) throw std::runtime_error("a window stayed open");
}

HWND FileNameBox(HWND dialog) {
  // Explorer style: an edit inside the combo box cmb13; older: the edit edt1.
  for (HWND h = ::GetDlgItem(dialog, 0x47C); h; h = ::GetWindow(h, GW_CHILD)) {
    if (ClassName(h) == L"Edit") return h;
  }
  return ::GetDlgItem(dialog, 0x480);
}

}  // namespace torvane::e2e
