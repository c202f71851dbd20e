#pragma once

#include <windows.h>

#include "platform/ui.h"

namespace torvane::win32 {

// A Unicode edit control seen through the TextBox interface. It is a view:
// the parent window destroys the control.
class EditBox final : public platform::TextBox {
 public:
  explicit EditBox(HWND edit);

  std::u16string Text() const override;
  void SetText(std::u16string_view text) override;
  std::u16string SelText() const override;
  void SetSelText(std::u16string_view text) override;
  void ReplaceAllUndoable(std::u16string_view text) override;

 private:
  HWND edit_;
};

}  // namespace torvane::win32
