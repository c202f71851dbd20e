// The window itself: its class, its creation and the message thunk, and the
// routing of commands, drops and keys to the window's logic by name.
#include "win32/windows/window.h"

#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

#include "win32/windows/edit_box.h"
#include "win32/base/error.h"
#include "win32/base/system_dll.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

using platform::ControlKind;
using platform::ControlRow;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

int SystemDpi() {
  ScreenDc dc(::GetDC(nullptr));
  const int dpi = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

// The icons go in the class: setting them on each window after it is made
// costs its start more.
void RegisterClassOnce(HINSTANCE instance, const std::wstring& name, WNDPROC proc, HICON big,
                       HICON small) {
  WNDCLASSEXW wc{};
  if (::GetClassInfoExW(instance, name.c_str(), &wc)) return;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = big;
  wc.hIconSm = small;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name.c_str();
  if (!::RegisterClassExW(&wc)) {
    Fail("RegisterClassExW", ::GetLastError(), "cannot register the window class");
  }
}

}  // namespace

Window::Window(const platform::WindowLayout& layout, HINSTANCE instance, Options options)
    : layout_(layout), options_(std::move(options)), dpi_(SystemDpi()) {
  const std::wstring cls = WideFromUtf8(layout.className);
  RegisterClassOnce(instance, cls, &Window::Proc, options_.bigIcon, options_.smallIcon);

  CreateDefaultFont();
  CreatePageBrush();

  RECT rc{0, 0, platform::TwipsToPixels(layout.clientWidth, dpi_),
          platform::TwipsToPixels(layout.clientHeight, dpi_)};
  // The style, not DragAcceptFiles: shell32 is not needed to show the window.
  const DWORD exStyle = kExStyle | (layout.acceptsFiles ? WS_EX_ACCEPTFILES : 0);
  ::AdjustWindowRectEx(&rc, kStyle, layout.menus.empty() ? FALSE : TRUE, exStyle);
  const HWND created = ::CreateWindowExW(exStyle, cls.c_str(), WideFromUtf8(layout.caption).c_str(),
                                         kStyle, CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left,
                                         rc.bottom - rc.top, nullptr, nullptr, instance, this);
  // Owned from WM_NCCREATE on: destroyed again if the rest fails.
  if (!created) Fail("CreateWindowExW", ::GetLastError(), "cannot create the window");

  BuildMenu();
  CreateControls();

  // With the menu bar in place, make the client area exactly the layout's:
  // a menu bar that wraps would otherwise take from it.
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int dx = platform::TwipsToPixels(layout.clientWidth, dpi_) - client.right;
  const int dy = platform::TwipsToPixels(layout.clientHeight, dpi_) - client.bottom;
  if (dx != 0 || dy != 0) {
    const RECT w = WindowRect();
    ::SetWindowPos(hwnd(), nullptr, 0, 0, w.right - w.left + dx, w.bottom - w.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

Window::~Window() = default;

platform::TextBox& Window::Box(std::string_view name) {
  for (auto& [n, box] : boxes_) {
    if (n == name) return *box;
  }
  throw std::logic_error("no text box of that name");
}

void Window::Load() {
  // A handler of its own at start, or part of the handler that asked for the
  // window.
  const auto load = [this] {
    if (logic_) logic_->Form_Load();
  };
  if (!RunHandler(hwnd(), load)) Guarded(hwnd(), load);
}

const ControlRow* Window::RowOfControl(HWND control) const {
  return platform::ControlOfId(layout_, ::GetDlgCtrlID(control));
}

void Window::Dispatch(std::string_view name) {
  if (!logic_ || name.empty()) return;
  RunHandler(hwnd(), [this, name] { logic_->Command(name); });
}

void Window::OnCommand(int id, int code, HWND control) {
  // Enter and Esc, from the dialog manager. These come with no control (there
  // is none of id IDOK or IDCANCEL), so they are told apart from menu items
  // by their id, which no menu item has.
  if (id == IDOK || id == IDCANCEL) {
    const unsigned want = id == IDOK ? platform::kDefaultButton : platform::kCancelButton;
    for (const auto& c : layout_.controls) {
      if (c.kind == ControlKind::kButton && (c.flags & want)) {
        Dispatch(c.name);
        return;
      }
    }
    return;
  }
  if (!control) {  // a menu item
    Dispatch(platform::NameOfId(layout_, id));
    return;
  }
  const ControlRow* c = platform::ControlOfId(layout_, id);
  if (c && c->kind == ControlKind::kButton && code == BN_CLICKED) Dispatch(c->name);
}

void Window::OnDropFiles(HDROP drop) {
  std::vector<platform::Path> files;
  {
    const UniqueDrop owner(drop);  // released before the handler runs
    // Only a drop from the shell comes here, so shell32 is there to read it.
    const auto query =
        SystemFunctionOf<decltype(::DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
    const UINT count = query ? query(drop, 0xFFFFFFFF, nullptr, 0) : 0;
    for (UINT i = 0; i < count; ++i) {
      std::wstring name(query(drop, i, nullptr, 0) + 1, L'\0');
      name.resize(query(drop, i, name.data(), static_cast<UINT>(name.size())));
      if (!name.empty()) files.push_back(U16(name));
    }
  }
  if (!logic_ || files.empty()) return;
  RunHandler(hwnd(), [&] { logic_->Form_OLEDragDrop(files); });
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->window_.reset(hwnd);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->window_.release();  // gone already
    if (self->options_.endsProgram) ::PostQuitMessage(0);
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
  LRESULT result = 0;
  Guarded(hwnd, [&] { result = self->OnMessage(msg, wp, lp); });
  return result;
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd(), &ps);
      PaintLines(dc);
      ::EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      ColorsChanged(wp, lp);
      break;
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = ColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_ACTIVATE:
      // Keep the focus where the user left it when the window comes back.
      if (LOWORD(wp) == WA_INACTIVE) {
        if (HWND f = ::GetFocus(); f && ::IsChild(hwnd(), f)) lastFocus_ = f;
      } else if (lastFocus_) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wp));
      return 0;
    case WM_CLOSE:
      if (options_.onClose) {
        RunHandler(hwnd(), options_.onClose);
        return 0;
      }
      // The close box ends the program at once, even in the middle of a
      // handler: destroying the window under the handler's dialog would
      // crash in the dialog's code, and the handler has changed nothing yet
      // that is not whole (a Save replaces its file in one step).
      if (options_.endsProgram && HandlerRunning()) ::ExitProcess(0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd(), msg, wp, lp);
}

int Window::RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // The dialog manager gives Tab, Enter and Esc their dialog meaning.
    HWND top = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && ::IsDialogMessageW(top, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace torvane::win32
