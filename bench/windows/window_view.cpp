#include "window_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

#include "harness.h"

namespace torvane::e2e::bench {
namespace {

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '?';
  return s;
}

std::string ClassOf(HWND h) {
  wchar_t name[64];
  return Narrow(std::wstring(name, static_cast<std::size_t>(::GetClassNameW(h, name, 64))));
}

std::string Format(const char* format, auto... values) {
  char buf[256];
  std::snprintf(buf, sizeof buf, format, values...);
  return buf;
}

std::string Styles(HWND h) {
  return Format("style %08lx ex %08lx", static_cast<unsigned long>(::GetWindowLongW(h, GWL_STYLE)),
                static_cast<unsigned long>(::GetWindowLongW(h, GWL_EXSTYLE)));
}

std::string Rect(const RECT& r) {
  return Format("(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
}

std::vector<std::string> Facts(HWND main) {
  RECT window{}, client{};
  ::GetWindowRect(main, &window);
  ::GetClientRect(main, &client);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &gui);
  std::vector<std::string> facts{
      "class " + ClassOf(main) + ", caption \"" + Narrow(WindowText(main)) + "\"",
      Styles(main) + ", at " + Rect(window) + ", client " + Rect(client),
      std::string("menu bar ") + (::GetMenu(main) ? "yes" : "none"),
      Format("focus on id %d", gui.hwndFocus ? ::GetDlgCtrlID(gui.hwndFocus) : 0)};
  for (HWND c = ::GetWindow(main, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    facts.push_back(Format("child id %d: ", ::GetDlgCtrlID(c)) + ClassOf(c) + ", " + Styles(c) +
                    ", at " + Rect(r) + ", text \"" + Narrow(WindowText(c)) + "\"");
  }
  return facts;
}

void ReadPixels(HWND main, WindowView& view) {
  RECT r{};
  ::GetWindowRect(main, &r);
  view.width = r.right - r.left;
  view.height = r.bottom - r.top;
  view.pixels.assign(static_cast<std::size_t>(view.width) * view.height, 0);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, view.width, -view.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  const bool read =
      bits && ::BitBlt(memory, 0, 0, view.width, view.height, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  if (read) std::memcpy(view.pixels.data(), bits, view.pixels.size() * 4);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  if (!read) throw std::runtime_error("cannot read the screen");
  for (auto& p : view.pixels) p &= 0xFFFFFF;

  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &gui) && gui.hwndCaret) {
    RECT caret = gui.rcCaret;
    ::MapWindowPoints(gui.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
    for (LONG y = std::max(caret.top, r.top); y < std::min(caret.bottom, r.bottom); ++y) {
      for (LONG x = std::max(caret.left, r.left); x < std::min(caret.right, r.right); ++x) {
        view.pixels[static_cast<std::size_t>(y - r.top) * view.width + (x - r.left)] = 0;
      }
    }
  }
}

using Resources = std::map<std::pair<std::uintptr_t, std::wstring>, std::string>;

BOOL CALLBACK AddResource(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR to) {
  HRSRC found = ::FindResourceW(module, name, type);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  if (!bytes) return FALSE;
  const std::wstring key = IS_INTRESOURCE(name)
                               ? L"#" + std::to_wstring(reinterpret_cast<std::uintptr_t>(name))
                               : std::wstring(name);
  (*reinterpret_cast<Resources*>(to))[{reinterpret_cast<std::uintptr_t>(type), key}] =
      std::string(bytes, ::SizeofResource(module, found));
  return TRUE;
}

// The icons and the manifest an exe carries.
Resources ResourcesOf(const std::wstring& exe) {
  HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) throw std::runtime_error("cannot read the resources of " + Narrow(exe));
  Resources all;
  for (LPCWSTR type : {RT_GROUP_ICON, RT_ICON, RT_MANIFEST}) {
    ::EnumResourceNamesW(module, type, &AddResource, reinterpret_cast<LONG_PTR>(&all));
  }
  ::FreeLibrary(module);
  return all;
}

}  // namespace

std::string ResourceDifference(const std::wstring& a, const std::wstring& b) {
  const Resources x = ResourcesOf(a), y = ResourcesOf(b);
  if (x.empty()) return Narrow(a) + " has no icon and no manifest";
  return x == y ? "" : "their icons or manifests differ";
}

WindowView ViewOf(HWND main) {
  WindowView view;
  view.facts = Facts(main);
  ReadPixels(main, view);
  for (int i = 0; i < 30; ++i) {
    ::Sleep(100);
    WindowView again;
    ReadPixels(main, again);
    if (again.pixels == view.pixels) return view;
    view = std::move(again);
    view.facts = Facts(main);
  }
  throw std::runtime_error("the window's pixels do not hold still");
}

std::string Difference(const WindowView& a, const std::string& aName, const WindowView& b,
                       const std::string& bName) {
  for (std::size_t i = 0; i < std::max(a.facts.size(), b.facts.size()); ++i) {
    const std::string x = i < a.facts.size() ? a.facts[i] : "nothing";
    const std::string y = i < b.facts.size() ? b.facts[i] : "nothing";
    if (x != y) return aName + ": " + x + "; " + bName + ": " + y;
  }
  if (a.width != b.width || a.height != b.height) return "the windows differ in size";
  std::size_t differ = 0, first = 0;
  for (std::size_t i = a.pixels.size(); i-- > 0;) {
    if (a.pixels[i] != b.pixels[i]) ++differ, first = i;
  }
  if (differ == 0) return "";
  const auto x = static_cast<int>(first % a.width), y = static_cast<int>(first / a.width);
  return Format("%zu pixels differ, the first at (%d,%d) of the window: %06x against %06x", differ,
                x, y, a.pixels[first], b.pixels[first]);
}

}  // namespace torvane::e2e::bench
