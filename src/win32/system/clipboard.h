#pragma once

#include <windows.h>

#include "platform/clipboard.h"

namespace torvane::win32 {

// The clipboard as CF_UNICODETEXT; the system offers the ANSI and OEM forms
// to programs that want them.
class Win32Clipboard final : public platform::Clipboard {
 public:
  // The owner is the window that owns what PutText puts: EmptyClipboard with
  // no window would make SetClipboardData fail.
  explicit Win32Clipboard(HWND owner) : owner_(owner) {}
  void PutText(std::u16string_view text) override;
  std::u16string GetText() override;

 private:
  HWND owner_;
};

// Holds the clipboard open for one operation and closes it on every path.
// Another program may hold it for a moment, so opening retries briefly.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner);
  ~ClipboardSession() { ::CloseClipboard(); }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
};

}  // namespace torvane::win32
