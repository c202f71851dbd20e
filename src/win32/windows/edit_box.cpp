#include "win32/windows/edit_box.h"

#include <commctrl.h>
#include <imm.h>

#include <optional>

#include "win32/base/error.h"
#include "win32/base/system_dll.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

// A multi-line edit control takes Tab as a character and, in a window with
// the dialog manager, turns Esc into a close of its parent, which would end
// the program and lose the text. Both keys go to the dialog manager instead,
// as in the other controls: Tab moves on, Esc presses the cancel button if
// the window has one. Enter still makes a new line.
LRESULT CALLBACK DialogKeys(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                            DWORD_PTR) noexcept {
  if ((msg == WM_KEYDOWN || msg == WM_CHAR) && wp == VK_ESCAPE) return 0;
  LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
  if (msg == WM_GETDLGCODE) {
    const auto* m = reinterpret_cast<const MSG*>(lp);
    if (m && m->message == WM_KEYDOWN && (m->wParam == VK_TAB || m->wParam == VK_ESCAPE))
      r &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
  }
  return r;
}

// The clipboard command a message asks of an edit control: WM_COPY, WM_CUT
// and WM_PASTE (its context menu, another program, and the control itself
// for Ctrl+C, Ctrl+X and Ctrl+V), and Ctrl+Insert, Shift+Delete and
// Shift+Insert, which the control acts on as keys without those messages.
std::optional<platform::BoxRequest> ClipboardCommand(UINT msg, WPARAM wp) {
  using enum platform::BoxRequest;
  switch (msg) {
    case WM_COPY:
      return kCopy;
    case WM_CUT:
      return kCut;
    case WM_PASTE:
      return kPaste;
    case WM_KEYDOWN: {
      if (wp != VK_INSERT && wp != VK_DELETE) return std::nullopt;
      const bool ctrl = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
      if (wp == VK_INSERT && ctrl && !shift) return kCopy;
      if (wp == VK_INSERT && shift && !ctrl) return kPaste;
      if (wp == VK_DELETE && shift && !ctrl) return kCut;
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

// The password never leaves through the clipboard, whichever way it is
// asked for.
LRESULT CALLBACK KeepPasswordIn(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                DWORD_PTR) noexcept {
  const auto command = ClipboardCommand(msg, wp);
  if (command == platform::BoxRequest::kCopy || command == platform::BoxRequest::kCut) return 0;
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

bool EditBox::Request(platform::BoxRequest request, std::u16string_view text) const {
  return requests_ && requests_(request, text);
}

// An input method's finished text, which the control would insert cut to
// its limit: the logic takes it instead. imm32 is loaded in every process
// that has windows, so asking for it here costs nothing at start.
bool EditBox::ImeResult(HWND hwnd) const {
  const auto context = SystemFunctionOf<decltype(::ImmGetContext)>(L"imm32.dll", "ImmGetContext");
  const auto result = SystemFunctionOf<decltype(::ImmGetCompositionStringW)>(
      L"imm32.dll", "ImmGetCompositionStringW");
  const auto release =
      SystemFunctionOf<decltype(::ImmReleaseContext)>(L"imm32.dll", "ImmReleaseContext");
  if (!context || !result || !release) return false;
  const HIMC imc = context(hwnd);
  if (!imc) return false;
  const LONG bytes = result(imc, GCS_RESULTSTR, nullptr, 0);
  std::wstring text(bytes > 0 ? static_cast<std::size_t>(bytes) / sizeof(wchar_t) : 0, L'\0');
  if (!text.empty()) result(imc, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
  release(hwnd, imc);
  return !text.empty() && Request(platform::BoxRequest::kInsert, U16(text));
}

LRESULT CALLBACK EditBox::Keys(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                               DWORD_PTR self) noexcept {
  const auto* box = reinterpret_cast<const EditBox*>(self);
  if (const auto command = ClipboardCommand(msg, wp)) {
    if (box->Request(*command)) return 0;
  } else if (msg == WM_CHAR && wp == 0x01) {
    // Ctrl+A, as every Windows text box is expected to do it.
    ::SendMessageW(hwnd, EM_SETSEL, 0, -1);
    return 0;
  } else if (msg == EM_REPLACESEL && !box->ownEdit_ && lp) {
    const auto* text = reinterpret_cast<const wchar_t*>(lp);
    if (box->Request(platform::BoxRequest::kInsert, U16(text))) return 0;
  } else if (msg == WM_IME_COMPOSITION && (lp & GCS_RESULTSTR)) {
    if (box->ImeResult(hwnd)) return 0;
  }
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

EditBox::EditBox(HWND edit, std::size_t maxLength) : edit_(edit) {
  // Without its guard the password box would give its text to Ctrl+C: a
  // failure here stops the window from being shown.
  const auto subclass = [edit](SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    if (!::SetWindowSubclass(edit, proc, id, data)) {
      Fail("SetWindowSubclass", ::GetLastError(), "cannot set up the text box");
    }
  };
  const LONG style = ::GetWindowLongW(edit, GWL_STYLE);
  if (style & ES_MULTILINE) subclass(DialogKeys, 1, 0);
  if (style & ES_PASSWORD) subclass(KeepPasswordIn, 2, 0);
  subclass(Keys, 3, reinterpret_cast<DWORD_PTR>(this));
  // Typing past the limit is refused by the control; 0 lifts the default cap
  // of 32767 characters on typing and EM_REPLACESEL.
  ::SendMessageW(edit, EM_SETLIMITTEXT, maxLength, 0);
}

std::u16string EditBox::Text() const {
  const int n = ::GetWindowTextLengthW(edit_);
  std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = ::GetWindowTextW(edit_, w.data(), n + 1);
  w.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return U16(w);
}

platform::SecretText EditBox::ReadSecret() const {
  // Straight into the wiping string: no other copy of the password is made.
  platform::SecretText out;
  const int n = ::GetWindowTextLengthW(edit_);
  out.str().resize(static_cast<std::size_t>(n) + 1);
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  const int got = ::GetWindowTextW(edit_, reinterpret_cast<wchar_t*>(out.str().data()), n + 1);
  out.str().resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return out;
}

void EditBox::SetText(std::u16string_view text) {
  if (!::SetWindowTextW(edit_, Wide(text).c_str())) {
    Fail("SetWindowTextW", ::GetLastError(), "the text box refused the text");
  }
}

std::u16string EditBox::SelText() const {
  DWORD start = 0, end = 0;
  ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  const std::u16string all = Text();
  if (start > all.size()) return {};
  if (end > all.size()) end = static_cast<DWORD>(all.size());
  return end > start ? all.substr(start, end - start) : std::u16string();
}

void EditBox::SetSelText(std::u16string_view text) {
  const std::wstring w = Wide(text);
  ownEdit_ = true;
  ::SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(w.c_str()));
  ownEdit_ = false;
}

void EditBox::ReplaceAllUndoable(std::u16string_view text) {
  // Replacing the selected whole text, rather than setting it, keeps the
  // step on the box's undo record: Ctrl+Z brings back the text before it.
  ::SendMessageW(edit_, EM_SETSEL, 0, -1);
  SetSelText(text);
}

}  // namespace torvane::win32
