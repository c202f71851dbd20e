#include "win32/system/clipboard.h"

#include <cstring>
#include <string>
#include <type_traits>

#include "win32/base/error.h"
#include "win32/base/handles.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

static_assert(!std::is_copy_constructible_v<ClipboardSession>);

// The bytes of a global memory block while it is locked.
class GlobalLockView {
 public:
  explicit GlobalLockView(HGLOBAL h) : h_(h), p_(::GlobalLock(h)) {}
  ~GlobalLockView() {
    if (p_) ::GlobalUnlock(h_);
  }
  GlobalLockView(const GlobalLockView&) = delete;
  GlobalLockView& operator=(const GlobalLockView&) = delete;
  void* get() const { return p_; }

 private:
  HGLOBAL h_;
  void* p_;
};

UniqueGlobal GlobalCopy(const void* data, std::size_t size) {
  UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) Fail("GlobalAlloc", ::GetLastError(), "out of memory for the clipboard");
  GlobalLockView view(block.get());
  if (!view.get()) Fail("GlobalLock", ::GetLastError(), "cannot lock memory for the clipboard");
  std::memcpy(view.get(), data, size);
  return block;
}

// On success the clipboard owns the block.
void Place(UINT format, UniqueGlobal block) {
  if (!::SetClipboardData(format, block.get())) {
    Fail("SetClipboardData", ::GetLastError(), "cannot put the text on the clipboard");
  }
  block.release();
}

// The formats Windows reads to keep text out of clipboard history, out of
// the cloud clipboard and away from clipboard monitors, as password tools
// mark what they copy. Any data does for the first; the other two want a
// DWORD 0.
constexpr const wchar_t* kPrivacyFormats[] = {
    L"ExcludeClipboardContentFromMonitorProcessing",
    L"CanIncludeInClipboardHistory",
    L"CanUploadToCloudClipboard",
};

}  // namespace

ClipboardSession::ClipboardSession(HWND owner) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (::OpenClipboard(owner)) return;
    ::Sleep(10);
  }
  Fail("OpenClipboard", ::GetLastError(), "the clipboard is in use by another program");
}

void Win32Clipboard::PutText(std::u16string_view text) {
  // Everything is allocated before the clipboard is opened, to hold it for
  // as short a time as possible.
  const std::wstring w = Wide(text);
  UniqueGlobal data = GlobalCopy(w.c_str(), (w.size() + 1) * sizeof(wchar_t));
  constexpr DWORD kNo = 0;
  UINT formats[std::size(kPrivacyFormats)];
  UniqueGlobal marks[std::size(kPrivacyFormats)];
  for (std::size_t i = 0; i < std::size(kPrivacyFormats); ++i) {
    formats[i] = ::RegisterClipboardFormatW(kPrivacyFormats[i]);
    if (!formats[i]) {
      Fail("RegisterClipboardFormatW", ::GetLastError(), "cannot register a clipboard format");
    }
    marks[i] = GlobalCopy(&kNo, sizeof kNo);
  }

  ClipboardSession session(owner_);
  if (!::EmptyClipboard()) Fail("EmptyClipboard", ::GetLastError(), "cannot empty the clipboard");
  // The marks go first: should one fail, no unmarked text is left behind.
  for (std::size_t i = 0; i < std::size(kPrivacyFormats); ++i) {
    Place(formats[i], std::move(marks[i]));
  }
  Place(CF_UNICODETEXT, std::move(data));
}

std::u16string Win32Clipboard::GetText() {
  ClipboardSession session(owner_);
  if (!::IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
  const HANDLE h = ::GetClipboardData(CF_UNICODETEXT);
  if (!h) Fail("GetClipboardData", ::GetLastError(), "cannot read the clipboard");
  GlobalLockView view(h);
  if (!view.get()) Fail("GlobalLock", ::GetLastError(), "cannot read the clipboard");
  // The text ends at its first NUL, or at the block's end if another program
  // left the NUL out.
  const auto* p = static_cast<const wchar_t*>(view.get());
  const std::size_t units = ::GlobalSize(h) / sizeof(wchar_t);
  std::size_t n = 0;
  while (n < units && p[n] != L'\0') ++n;
  return U16(std::wstring_view(p, n));
}

}  // namespace torvane::win32
