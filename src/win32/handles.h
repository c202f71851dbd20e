#pragma once

#include <windows.h>

#include <shellapi.h>

#include <type_traits>
#include <utility>

namespace torvane::win32 {

// One move-only owner for every kind of handle; each kind is a one-line alias.
template <typename T, typename Close>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T h) noexcept : h_(h) {}
  Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, T{})) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, T{}));
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }

  T get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != T{}; }
  T release() noexcept { return std::exchange(h_, T{}); }
  void reset(T h = T{}) noexcept {
    if (h_ != T{}) Close{}(h_);
    h_ = h;
  }

 private:
  T h_{};
};

struct GdiClose {
  void operator()(HGDIOBJ h) const noexcept { ::DeleteObject(h); }
};
struct MenuClose {
  void operator()(HMENU h) const noexcept { ::DestroyMenu(h); }
};
struct IconClose {
  void operator()(HICON h) const noexcept { ::DestroyIcon(h); }
};
struct WindowClose {
  void operator()(HWND h) const noexcept { ::DestroyWindow(h); }
};
struct HandleClose {
  void operator()(HANDLE h) const noexcept { ::CloseHandle(h); }
};
struct DropFinish {
  void operator()(HDROP h) const noexcept { ::DragFinish(h); }
};
struct DcRelease {
  void operator()(HDC h) const noexcept { ::ReleaseDC(nullptr, h); }
};

using UniqueFont = Unique<HFONT, GdiClose>;
using UniqueBrush = Unique<HBRUSH, GdiClose>;
using UniquePen = Unique<HPEN, GdiClose>;
using UniqueMenu = Unique<HMENU, MenuClose>;
using UniqueIcon = Unique<HICON, IconClose>;
using UniqueWindow = Unique<HWND, WindowClose>;
using ScreenDc = Unique<HDC, DcRelease>;
using UniqueDrop = Unique<HDROP, DropFinish>;
// Kernel handles; CreateFileW's INVALID_HANDLE_VALUE must be turned into null first.
using UniqueHandle = Unique<HANDLE, HandleClose>;

static_assert(!std::is_copy_constructible_v<UniqueFont>);
static_assert(!std::is_copy_assignable_v<UniqueWindow>);

}  // namespace torvane::win32
