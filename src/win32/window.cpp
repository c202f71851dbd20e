#include "win32/window.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

#include "win32/edit_box.h"
#include "win32/text.h"

namespace torvane::win32 {
namespace {

using platform::ControlKind;
using platform::ControlSpec;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

COLORREF ToColorRef(platform::Rgb c) {
  return RGB(c.r, c.g, c.b);
}

int SystemDpi() {
  ScreenDc dc(::GetDC(nullptr));
  const int dpi = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

void RegisterClassOnce(HINSTANCE instance, const std::wstring& name, WNDPROC proc) {
  WNDCLASSEXW wc{};
  if (::GetClassInfoExW(instance, name.c_str(), &wc)) return;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name.c_str();
  if (!::RegisterClassExW(&wc)) throw std::runtime_error("cannot register the window class");
}

const ControlSpec* FindSpec(const platform::WindowSpec& layout, int id) {
  const int index = id - platform::kFirstControlId;
  if (index < 0 || index >= static_cast<int>(layout.controls.size())) return nullptr;
  return &layout.controls[static_cast<std::size_t>(index)];
}

// The colour a label stands on: its own, else the tab page it sits on.
std::optional<platform::Rgb> PageColor(const platform::WindowSpec& layout) {
  for (const auto& c : layout.controls) {
    if (c.kind == ControlKind::kTabPanel && c.backColor) return c.backColor;
  }
  return std::nullopt;
}

}  // namespace

void ReportUnexpected(HWND owner, std::exception_ptr error) noexcept {
  std::string what = "unknown error";
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  try {
    const std::wstring text = L"An unexpected error stopped this command:\n" + WideFromUtf8(what);
    ::MessageBoxW(owner, text.c_str(), L"Torvane", MB_OK | MB_ICONERROR);
  } catch (...) {
    ::MessageBoxW(owner, L"An unexpected error stopped this command.", L"Torvane",
                  MB_OK | MB_ICONERROR);
  }
}

Window::Window(const platform::WindowSpec& layout, HINSTANCE instance, Options options)
    : layout_(layout), options_(std::move(options)), dpi_(SystemDpi()) {
  const std::wstring cls = WideFromUtf8(layout.className);
  RegisterClassOnce(instance, cls, &Window::Proc);

  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    defaultFont_.reset(::CreateFontIndirectW(&ncm.lfMessageFont));
  }
  if (auto page = PageColor(layout)) pageBrush_.reset(::CreateSolidBrush(ToColorRef(*page)));

  RECT rc{0, 0, platform::TwipsToPixels(layout.clientWidth, dpi_),
          platform::TwipsToPixels(layout.clientHeight, dpi_)};
  // The style, not DragAcceptFiles: shell32 is not needed to show the window.
  const DWORD exStyle = kExStyle | (layout.acceptsFiles ? WS_EX_ACCEPTFILES : 0);
  ::AdjustWindowRectEx(&rc, kStyle, layout.menus.empty() ? FALSE : TRUE, exStyle);
  HWND hwnd = ::CreateWindowExW(exStyle, cls.c_str(), WideFromUtf8(layout.caption).c_str(), kStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left,
                                rc.bottom - rc.top, nullptr, nullptr, instance, this);
  if (!hwnd) throw std::runtime_error("cannot create the window");
  UniqueWindow guard(hwnd);  // destroyed again if the rest fails

  if (options_.bigIcon)
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(options_.bigIcon));
  if (options_.smallIcon) {
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(options_.smallIcon));
  }
  BuildMenu();
  CreateControls();

  // With the menu bar in place, make the client area exactly the layout's:
  // a menu bar that wraps would otherwise take from it.
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  const int dx = platform::TwipsToPixels(layout.clientWidth, dpi_) - client.right;
  const int dy = platform::TwipsToPixels(layout.clientHeight, dpi_) - client.bottom;
  if (dx != 0 || dy != 0) {
    const RECT w = WindowRect();
    ::SetWindowPos(hwnd_, nullptr, 0, 0, w.right - w.left + dx, w.bottom - w.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  guard.release();
}

Window::~Window() {
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

void Window::BuildMenu() {
  if (layout_.menus.empty()) return;
  UniqueMenu bar(::CreateMenu());
  HMENU popup = nullptr;
  for (std::size_t i = 0; i < layout_.menus.size(); ++i) {
    const auto& m = layout_.menus[i];
    const std::wstring caption = WideFromUtf8(m.caption);
    if (m.level == 0) {
      popup = ::CreatePopupMenu();
      // The bar owns the popup from here on.
      ::AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                    caption.c_str());
    } else if (popup) {
      if (m.caption == "-") {
        ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      } else {
        ::AppendMenuW(popup, MF_STRING,
                      static_cast<UINT_PTR>(platform::kFirstMenuId + static_cast<int>(i)),
                      caption.c_str());
      }
    }
  }
  if (::SetMenu(hwnd_, bar.get())) bar.release();  // the window owns it now
}

HFONT Window::FontFor(const platform::Font& font) {
  if (font.face.empty()) return defaultFont_.get();
  for (const auto& f : fonts_) {
    if (f.want.face == font.face && f.want.points == font.points && f.want.bold == font.bold) {
      return f.font.get();
    }
  }
  LOGFONTW lf{};
  lf.lfHeight = platform::PointsToLogicalHeight(font.points, dpi_);
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = WideFromUtf8(font.face);
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  fonts_.push_back({font, UniqueFont(::CreateFontIndirectW(&lf))});
  return fonts_.back().font.get() ? fonts_.back().font.get() : defaultFont_.get();
}

RECT Window::PixelRect(const ControlSpec& c) const {
  const int x = platform::TwipsToPixels(c.left, dpi_);
  const int y = platform::TwipsToPixels(c.top, dpi_);
  return RECT{x, y, x + platform::TwipsToPixels(c.width, dpi_),
              y + platform::TwipsToPixels(c.height, dpi_)};
}

void Window::CreateControls() {
  // Creation order is the tab order: the dialog manager walks siblings in
  // z-order, which follows creation.
  std::vector<std::size_t> order(layout_.controls.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return layout_.controls[a].tabIndex < layout_.controls[b].tabIndex;
  });

  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  for (std::size_t i : order) {
    const ControlSpec& c = layout_.controls[i];
    const wchar_t* cls = nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD ex = 0;
    switch (c.kind) {
      case ControlKind::kTabPanel:
      case ControlKind::kLine:
        continue;  // painted by the window itself
      case ControlKind::kLabel:
        cls = L"STATIC";
        style |= SS_LEFT;
        break;
      case ControlKind::kPicture:
        cls = L"STATIC";
        style |= SS_ICON;
        break;
      case ControlKind::kTextBox:
        cls = L"EDIT";
        style |= WS_TABSTOP | ES_LEFT;
        ex = WS_EX_CLIENTEDGE;
        if (c.flags & platform::kMultiLine) {
          // No ES_AUTOHSCROLL: long lines wrap.
          style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_NOHIDESEL;
        } else {
          style |= ES_AUTOHSCROLL;
        }
        if (c.flags & platform::kVScroll) style |= WS_VSCROLL;
        if (c.flags & platform::kPassword) style |= ES_PASSWORD;
        break;
      case ControlKind::kButton:
        cls = L"BUTTON";
        style |=
            WS_TABSTOP | ((c.flags & platform::kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    }
    if (c.flags & platform::kNoTabStop) style &= ~static_cast<DWORD>(WS_TABSTOP);
    const RECT r = PixelRect(c);
    const int id = platform::kFirstControlId + static_cast<int>(i);
    HWND h =
        ::CreateWindowExW(ex, cls, WideFromUtf8(c.caption).c_str(), style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!h) throw std::runtime_error("cannot create a control");
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.font)), FALSE);
    if (c.kind == ControlKind::kPicture && options_.bigIcon) {
      ::SendMessageW(h, STM_SETICON, reinterpret_cast<WPARAM>(options_.bigIcon), 0);
    }
    if (c.kind == ControlKind::kTextBox) {
      // Visual styles show a dot by default; the box shows "*".
      if (c.flags & platform::kPassword) ::SendMessageW(h, EM_SETPASSWORDCHAR, L'*', 0);
      auto box = std::make_unique<EditBox>(h, c.maxLength);
      box->OnPaste([this, name = c.name] {
        bool handled = true;  // a handler that failed has been reported: no paste after it
        Guarded(hwnd_, [&] { handled = logic_ && logic_->Paste(name); });
        return handled;
      });
      boxes_.emplace_back(c.name, std::move(box));
    }
    if (!lastFocus_ && (style & WS_TABSTOP)) lastFocus_ = h;
  }
}

platform::TextBox& Window::Box(std::string_view name) {
  for (auto& [n, box] : boxes_) {
    if (n == name) return *box;
  }
  throw std::logic_error("no text box of that name");
}

void Window::Load() {
  Guarded(hwnd_, [this] {
    if (logic_) logic_->Form_Load();
  });
}

const ControlSpec* Window::SpecOfControl(HWND control) const {
  return FindSpec(layout_, ::GetDlgCtrlID(control));
}

void Window::Dispatch(std::string_view name) {
  if (!logic_ || name.empty()) return;
  Guarded(hwnd_, [this, name] { logic_->Command(name); });
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
  const ControlSpec* c = FindSpec(layout_, id);
  if (c && c->kind == ControlKind::kButton && code == BN_CLICKED) Dispatch(c->name);
}

void Window::OnDropFiles(HDROP drop) {
  std::vector<std::filesystem::path> files;
  {
    const UniqueDrop owner(drop);  // released before the handler runs
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
      if (!name.empty()) files.emplace_back(std::move(name));
    }
  }
  if (!logic_ || files.empty()) return;
  Guarded(hwnd_, [&] { logic_->Form_OLEDragDrop(files); });
}

void Window::PaintBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  for (const auto& c : layout_.controls) {
    if (c.kind != ControlKind::kTabPanel) continue;
    RECT r = PixelRect(c);
    if (pageBrush_) ::FillRect(dc, &r, pageBrush_.get());
    ::DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  }
}

void Window::PaintLines(HDC dc) {
  // A line made earlier lies over one made later, so the table's first line
  // is painted last. An etched rule relies on it: a grey line over a white
  // one twice as wide.
  for (auto it = layout_.controls.rbegin(); it != layout_.controls.rend(); ++it) {
    const ControlSpec& c = *it;
    if (c.kind != ControlKind::kLine) continue;
    UniquePen pen(::CreatePen(PS_SOLID, 1, c.foreColor ? ToColorRef(*c.foreColor) : RGB(0, 0, 0)));
    const HGDIOBJ old = ::SelectObject(dc, pen.get());
    const int x1 = platform::TwipsToPixels(c.left, dpi_), y1 = platform::TwipsToPixels(c.top, dpi_);
    const int x2 = platform::TwipsToPixels(c.width, dpi_),
              y2 = platform::TwipsToPixels(c.height, dpi_);
    // A wide line is one-pixel lines side by side, below (or right of) the
    // first: a wide pen would centre itself differently on each system.
    const bool flat = std::abs(x2 - x1) >= std::abs(y2 - y1);
    const int width = (c.flags & platform::kWideLine) ? 2 : 1;
    for (int i = 0; i < width; ++i) {
      const int dx = flat ? 0 : i, dy = flat ? i : 0;
      ::MoveToEx(dc, x1 + dx, y1 + dy, nullptr);
      ::LineTo(dc, x2 + dx, y2 + dy);
    }
    ::SelectObject(dc, old);
  }
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
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
      HDC dc = ::BeginPaint(hwnd_, &ps);
      PaintLines(dc);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      const ControlSpec* c = SpecOfControl(reinterpret_cast<HWND>(lp));
      if (!c || c->kind == ControlKind::kTextBox) break;
      const HDC dc = reinterpret_cast<HDC>(wp);
      ::SetTextColor(dc,
                     c->foreColor ? ToColorRef(*c->foreColor) : ::GetSysColor(COLOR_WINDOWTEXT));
      ::SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(pageBrush_ ? pageBrush_.get()
                                                  : ::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      // Keep the focus where the user left it when the window comes back.
      if (LOWORD(wp) == WA_INACTIVE) {
        if (HWND f = ::GetFocus(); f && ::IsChild(hwnd_, f)) lastFocus_ = f;
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
        options_.onClose();
        return 0;
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

RECT Window::WindowRect() const {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  return r;
}

platform::WindowHandle Window::Handle() const {
  return reinterpret_cast<platform::WindowHandle>(hwnd_);
}
float Window::Left() const {
  return platform::PixelsToTwips(WindowRect().left, dpi_);
}
float Window::Top() const {
  return platform::PixelsToTwips(WindowRect().top, dpi_);
}
float Window::Width() const {
  const RECT r = WindowRect();
  return platform::PixelsToTwips(r.right - r.left, dpi_);
}
float Window::Height() const {
  const RECT r = WindowRect();
  return platform::PixelsToTwips(r.bottom - r.top, dpi_);
}

void Window::SetLeft(float twips) {
  ::SetWindowPos(hwnd_, nullptr, platform::TwipsToPixels(twips, dpi_), WindowRect().top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetTop(float twips) {
  ::SetWindowPos(hwnd_, nullptr, WindowRect().left, platform::TwipsToPixels(twips, dpi_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Window::Caption() const {
  const int n = ::GetWindowTextLengthW(hwnd_);
  std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
  w.resize(static_cast<std::size_t>(std::max(0, ::GetWindowTextW(hwnd_, w.data(), n + 1))));
  return Utf8FromWide(w);
}

bool Window::Visible() const {
  return ::IsWindowVisible(hwnd_) != FALSE;
}
void Window::Show() {
  ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
}
void Window::Hide() {
  ::ShowWindow(hwnd_, SW_HIDE);
}

platform::WindowState Window::State() const {
  if (::IsIconic(hwnd_)) return platform::WindowState::kMinimized;
  if (::IsZoomed(hwnd_)) return platform::WindowState::kMaximized;
  return platform::WindowState::kNormal;
}

void Window::SetState(platform::WindowState state) {
  switch (state) {
    case platform::WindowState::kMinimized:
      ::ShowWindow(hwnd_, SW_MINIMIZE);
      break;
    case platform::WindowState::kMaximized:
      ::ShowWindow(hwnd_, SW_MAXIMIZE);
      break;
    case platform::WindowState::kNormal:
      ::ShowWindow(hwnd_, SW_RESTORE);
      break;
  }
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
