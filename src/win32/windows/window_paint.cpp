// What the window paints itself: the tab page, the lines of the layout, and
// the colours of the labels that stand on them; under a high-contrast scheme
// the system's colours stand in for the layout's.
#include <cstdlib>

#include "win32/windows/window.h"

namespace torvane::win32 {
namespace {

using platform::ControlKind;
using platform::ControlRow;

COLORREF ToColorRef(platform::Rgb c) {
  return RGB(c.r, c.g, c.b);
}

// The tab page's colour: the labels on it stand on it.
std::optional<platform::Rgb> PageColor(const platform::WindowLayout& layout) {
  for (const auto& c : layout.controls) {
    if (c.kind == ControlKind::kTabPanel && c.backColor) return c.backColor;
  }
  return std::nullopt;
}

// The user's scheme wins over the colours a layout fixes.
bool HighContrast() {
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof hc;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
         (hc.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

void Window::CreatePageBrush() {
  if (auto page = PageColor(layout_)) pageBrush_.reset(::CreateSolidBrush(ToColorRef(*page)));
}

// A label's rows may reach a pixel or two into the control below it, once
// rounded at a DPI, and a label fills all of its rectangle. The DC is the one
// the label paints with next: clipped, it leaves the other control's edge be.
void Window::KeepLabelOffControls(HDC dc, const ControlRow& label) const {
  const RECT r = PixelRect(label);
  for (const auto& other : layout_.controls) {
    if (other.kind == ControlKind::kLabel || other.kind == ControlKind::kTabPanel ||
        other.kind == ControlKind::kLine) {
      continue;
    }
    const RECT o = PixelRect(other);
    RECT overlap{};
    if (::IntersectRect(&overlap, &o, &r)) {
      ::ExcludeClipRect(dc, overlap.left - r.left, overlap.top - r.top, overlap.right - r.left,
                        overlap.bottom - r.top);
    }
  }
}

HBRUSH Window::ColorStatic(HDC dc, HWND control) const {
  const ControlRow* c = RowOfControl(control);
  if (!c || c->kind == ControlKind::kTextBox) return nullptr;
  if (c->kind == ControlKind::kLabel) KeepLabelOffControls(dc, *c);
  const bool fixed = !HighContrast();
  COLORREF text = ::GetSysColor(fixed ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
  if (fixed && c->foreColor) text = ToColorRef(*c->foreColor);
  ::SetTextColor(dc, text);
  ::SetBkMode(dc, TRANSPARENT);
  return pageBrush_ && fixed ? pageBrush_.get() : ::GetSysColorBrush(COLOR_BTNFACE);
}

// Sent to top-level windows when the scheme changes (high contrast on or
// off): the common controls learn it only from their parent.
void Window::ColorsChanged(WPARAM wp, LPARAM lp) {
  for (HWND c = ::GetWindow(hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    ::SendMessageW(c, WM_SYSCOLORCHANGE, wp, lp);
  }
  ::RedrawWindow(hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Window::PaintBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  for (const auto& c : layout_.controls) {
    if (c.kind != ControlKind::kTabPanel) continue;
    RECT r = PixelRect(c);
    if (pageBrush_ && !HighContrast()) ::FillRect(dc, &r, pageBrush_.get());
    ::DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  }
}

void Window::PaintLines(HDC dc) {
  // A line made earlier lies over one made later, so the table's first line
  // is painted last. An etched rule relies on it: a grey line over a white
  // one twice as wide.
  for (auto it = layout_.controls.rbegin(); it != layout_.controls.rend(); ++it) {
    const ControlRow& c = *it;
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

}  // namespace torvane::win32
