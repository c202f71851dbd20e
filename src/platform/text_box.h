#pragma once

#include <string>
#include <string_view>

#include "platform/secret.h"

namespace torvane::platform {

// A text box's characters as it shows them (UTF-16). Handlers map them to and
// from bytes through BoxToBytes / BytesToBox.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::u16string Text() const = 0;
  // The text, read into a string that wipes itself: for a password.
  virtual SecretText ReadSecret() const = 0;
  virtual void SetText(std::u16string_view text) = 0;
  virtual std::u16string SelText() const = 0;
  // Replaces the selection (or inserts at the caret) as one edit.
  virtual void SetSelText(std::u16string_view text) = 0;
  // Replaces the whole text as one edit the box's own Undo can take back.
  virtual void ReplaceAllUndoable(std::u16string_view text) = 0;
};

}  // namespace torvane::platform
