#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

#include "platform/text_box.h"
#include "platform/window_logic.h"

namespace torvane::win32 {

// A Unicode edit control seen through the TextBox interface. It is a view:
// the parent window destroys the control.
class EditBox final : public platform::TextBox {
 public:
  // maxLength: the most characters the user can put in; 0, as many as the
  // control takes.
  EditBox(HWND edit, std::size_t maxLength);

  // Takes over the control's own copy, cut and paste (keys, context menu,
  // messages) and any other insertion, whenever it returns true.
  using Requests = std::function<bool(platform::BoxRequest, std::u16string_view)>;
  void OnRequest(Requests requests) { requests_ = std::move(requests); }

  std::u16string Text() const override;
  platform::SecretText ReadSecret() const override;
  void SetText(std::u16string_view text) override;
  std::u16string SelText() const override;
  void SetSelText(std::u16string_view text) override;
  void ReplaceAllUndoable(std::u16string_view text) override;

 private:
  // The requests through the logic, and Ctrl+A.
  static LRESULT CALLBACK Keys(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                               DWORD_PTR self) noexcept;

  bool Request(platform::BoxRequest request, std::u16string_view text = {}) const;
  bool ImeResult(HWND hwnd) const;

  HWND edit_;
  Requests requests_;
  bool ownEdit_ = false;  // our own EM_REPLACESEL is not a request
};

}  // namespace torvane::win32
