#pragma once

#include <windows.h>

#include <shellapi.h>

#include <type_traits>
#include <utility>

#include "win32/base/system_dll.h"

namespace torvane::win32 {

// The value that means "no handle": null, unless the kind's Close says
// otherwise (CreateFileW's INVALID_HANDLE_VALUE).
template <typename T, typename Close>
T NoHandle() noexcept {
  if constexpr (requires { Close::None(); }) {
    return Close::None();
  } else {
    return T{};
  }
}

// One move-only owner for every kind of handle; each kind is a one-line alias.
template <typename T, typename Close>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T h) noexcept : h_(h) {}
  Unique(Unique&& o) noexcept : h_(o.release()) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }

  T get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != NoHandle<T, Close>(); }
  T release() noexcept { return std::exchange(h_, NoHandle<T, Close>()); }
  void reset(T h = NoHandle<T, Close>()) noexcept {
    if (*this) Close{}(h_);
    h_ = h;
  }

 private:
  T h_ = NoHandle<T, Close>();
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
struct FileClose : HandleClose {
  static HANDLE None() noexcept { return INVALID_HANDLE_VALUE; }
};
struct SearchClose {
  void operator()(HANDLE h) const noexcept { ::FindClose(h); }
  static HANDLE None() noexcept { return INVALID_HANDLE_VALUE; }
};
struct LocalRelease {
  void operator()(HLOCAL h) const noexcept { ::LocalFree(h); }
};
struct GlobalRelease {
  void operator()(HGLOBAL h) const noexcept { ::GlobalFree(h); }
};
struct DropFinish {
  void operator()(HDROP h) const noexcept {
    if (const auto finish =
            SystemFunctionOf<decltype(::DragFinish)>(L"shell32.dll", "DragFinish")) {
      finish(h);
    }
  }
};
struct HookRemove {
  void operator()(HHOOK h) const noexcept { ::UnhookWindowsHookEx(h); }
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
using UniqueHook = Unique<HHOOK, HookRemove>;
// Kernel handles that are null when absent: processes, threads, events.
using UniqueHandle = Unique<HANDLE, HandleClose>;
// What CreateFileW gives: INVALID_HANDLE_VALUE when absent.
using UniqueFile = Unique<HANDLE, FileClose>;
using UniqueGlobal = Unique<HGLOBAL, GlobalRelease>;
// What FindFirstFileExW gives: INVALID_HANDLE_VALUE when absent.
using UniqueFind = Unique<HANDLE, SearchClose>;
// What the system allocates for the caller to free with LocalFree.
using UniqueLocal = Unique<HLOCAL, LocalRelease>;

static_assert(!std::is_copy_constructible_v<UniqueFont>);
static_assert(!std::is_copy_assignable_v<UniqueWindow>);
static_assert(!std::is_copy_constructible_v<UniqueFile>);

}  // namespace torvane::win32
