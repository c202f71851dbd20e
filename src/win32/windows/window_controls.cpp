// Controls and menus from a window's layout rows: class, style bits, pixel
// rectangle at the window's DPI, font, and the creation order that is the
// tab order.
#include <algorithm>
#include <memory>
#include <string>

#include "win32/windows/edit_box.h"
#include "win32/base/error.h"
#include "win32/base/text.h"
#include "win32/windows/window.h"

namespace torvane::win32 {

using platform::ControlKind;
using platform::ControlRow;

void Window::CreateDefaultFont() {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    defaultFont_.reset(::CreateFontIndirectW(&ncm.lfMessageFont));
  }
}

void Window::BuildMenu() {
  if (layout_.menus.empty()) return;
  // A window without its menu would have no Load, Save or Exit: a failure
  // here stops the window from being shown.
  const auto append = [](HMENU menu, UINT flags, UINT_PTR item, const wchar_t* caption) {
    if (!::AppendMenuW(menu, flags, item, caption))
      Fail("AppendMenuW", ::GetLastError(), "cannot build the menu");
  };
  UniqueMenu bar(::CreateMenu());
  if (!bar) Fail("CreateMenu", ::GetLastError(), "cannot build the menu");
  HMENU popup = nullptr;
  for (std::size_t i = 0; i < layout_.menus.size(); ++i) {
    const auto& m = layout_.menus[i];
    const std::wstring caption = WideFromUtf8(m.caption);
    if (m.level == 0) {
      UniqueMenu owned(::CreatePopupMenu());
      if (!owned) Fail("CreatePopupMenu", ::GetLastError(), "cannot build the menu");
      append(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(owned.get()),
             caption.c_str());
      popup = owned.release();  // the bar owns it now
    } else if (popup) {
      if (m.caption == "-") {
        append(popup, MF_SEPARATOR, 0, nullptr);
      } else {
        append(popup, MF_STRING,
               static_cast<UINT_PTR>(platform::kFirstMenuId + static_cast<int>(i)),
               caption.c_str());
      }
    }
  }
  if (!::SetMenu(hwnd(), bar.get())) Fail("SetMenu", ::GetLastError(), "cannot build the menu");
  bar.release();  // the window owns it now
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

RECT Window::PixelRect(const ControlRow& c) const {
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

  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hwnd(), GWLP_HINSTANCE));
  for (std::size_t i : order) {
    const ControlRow& c = layout_.controls[i];
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
                          r.right - r.left, r.bottom - r.top, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!h) Fail("CreateWindowExW", ::GetLastError(), "cannot create a control");
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.font)), FALSE);
    if (c.kind == ControlKind::kPicture && options_.bigIcon) {
      ::SendMessageW(h, STM_SETICON, reinterpret_cast<WPARAM>(options_.bigIcon), 0);
    }
    if (c.kind == ControlKind::kTextBox) {
      // Visual styles show a dot by default; the box shows "*".
      if (c.flags & platform::kPassword) ::SendMessageW(h, EM_SETPASSWORDCHAR, L'*', 0);
      auto box = std::make_unique<EditBox>(h, c.maxLength);
      box->OnRequest([this, name = c.name](platform::BoxRequest request, std::u16string_view text) {
        // Taken as handled when it did not run (another handler is running)
        // or failed (and has been reported): the box does nothing after it.
        bool handled = true;
        RunHandler(hwnd(), [&] { handled = logic_ && logic_->FromBox(name, request, text); });
        return handled;
      });
      boxes_.emplace_back(c.name, std::move(box));
    }
    if (!lastFocus_ && (style & WS_TABSTOP)) lastFocus_ = h;
  }
}

}  // namespace torvane::win32
