// The holders of the system's objects: each gives its object back at its
// end, at a reset and when another is moved into it, and never one it has
// let go of, as the system itself tells.
#include <shlobj.h>

#include "file_helpers.h"
#include "win32/base/handles.h"

namespace torvane::e2e {
namespace {

template <typename Holder, typename Make, typename Alive>
void GivesBack(const char* kind, Make make, Alive alive) {
  SCOPED_TRACE(kind);
  const auto a = make(), b = make(), c = make(), d = make();
  {
    const Holder held(a);
    EXPECT_TRUE(alive(a));
  }
  EXPECT_FALSE(alive(a)) << "at its end";
  Holder held(b), other(d);
  held.reset(c);
  EXPECT_FALSE(alive(b)) << "at a reset";
  held = std::move(other);
  EXPECT_FALSE(alive(c)) << "when another is moved in";
  Holder& same = held;
  held = std::move(same);
  EXPECT_TRUE(alive(d)) << "moved into itself";
  const Holder back(held.release());
  EXPECT_FALSE(held) << "let go of";
  EXPECT_TRUE(alive(d));
}

TEST(Holders, EachGivesItsObjectBackOnceAndNeverOneItLetGo) {
  const auto folder = FreshFolder();
  const std::wstring file = (folder / L"held.txt").wstring();
  WriteBytes(file, "held");
  const auto openHandle = [](HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
  };
  GivesBack<win32::UniqueFile>(
      "file",
      [&] {
        return ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
      },
      openHandle);
  GivesBack<win32::UniqueHandle>(
      "event", [] { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }, openHandle);
  GivesBack<win32::UniqueFind>(
      "search",
      [&] {
        WIN32_FIND_DATAW found{};
        return ::FindFirstFileW((folder / L"*").c_str(), &found);
      },
      [](HANDLE h) {
        WIN32_FIND_DATAW found{};
        return ::FindNextFileW(h, &found) || ::GetLastError() == ERROR_NO_MORE_FILES;
      });
  GivesBack<win32::UniqueMenu>("menu", &::CreateMenu, &::IsMenu);
  GivesBack<win32::UniqueBrush>(
      "brush", [] { return ::CreateSolidBrush(RGB(1, 2, 3)); },
      [](HBRUSH h) { return ::GetObjectType(h) == OBJ_BRUSH; });
  GivesBack<win32::UniqueIcon>(
      "icon", [] { return ::CopyIcon(::LoadIconW(nullptr, IDI_ERROR)); },
      [](HICON h) {
        ICONINFO info{};
        const bool alive = ::GetIconInfo(h, &info);
        ::DeleteObject(info.hbmMask), ::DeleteObject(info.hbmColor);
        return alive;
      });
  GivesBack<win32::UniqueWindow>(
      "window",
      [] {
        return ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                                 nullptr);
      },
      &::IsWindow);
  GivesBack<win32::UniqueGlobal>(
      "global", [] { return ::GlobalAlloc(GMEM_MOVEABLE, 16); },
      [](HGLOBAL h) { return ::GlobalSize(h) != 0; });
  GivesBack<win32::UniqueLocal>(
      "local", [] { return ::LocalAlloc(LMEM_MOVEABLE, 16); },
      [](HLOCAL h) { return ::LocalSize(h) != 0; });
  GivesBack<win32::UniqueDrop>(
      "drop",
      [] {
        const HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, 64);
        *static_cast<DROPFILES*>(::GlobalLock(h)) = {sizeof(DROPFILES), {}, FALSE, TRUE};
        ::GlobalUnlock(h);
        return static_cast<HDROP>(h);
      },
      [](HDROP h) { return ::GlobalSize(h) != 0; });
}

}  // namespace
}  // namespace torvane::e2e
