#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

#include "platform/ui.h"

namespace torvane::win32 {

// A Unicode edit control seen through the TextBox interface. It is a view:
// the parent window destroys the control.
class EditBox final : public platform::TextBox {
 public:
  // maxLength: the most characters the user can put in; 0, as many as the
  // control takes.
  EditBox(HWND edit, std::size_t maxLength);

  // Replaces the control's own paste (Ctrl+V, Shift+Insert, its context
  // menu) whenever it returns true.
  void OnPaste(std::function<bool()> paste) { paste_ = std::move(paste); }

  std::u16string Text() const override;
  platform::SecretText ReadSecret() const override;
  void SetText(std::u16string_view text) override;
  std::u16string SelText() const override;
  void SetSelText(std::u16string_view text) override;
  void ReplaceAllUndoable(std::u16string_view text) override;

 private:
  // Paste through the logic, and Ctrl+A.
  static LRESULT CALLBACK Keys(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                               DWORD_PTR self) noexcept;

  HWND edit_;
  std::function<bool()> paste_;
};

}  // namespace torvane::win32
