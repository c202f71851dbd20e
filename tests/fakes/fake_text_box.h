#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "fakes/call_log.h"
#include "platform/ui.h"

namespace torvane::fakes {

// An edit control as plain state, with the behaviour handlers rely on:
// - SetText replaces everything, puts the caret at 0 and empties the undo
//   buffer, and ignores the length limit (as WM_SETTEXT does);
// - SetSelText and ReplaceAllUndoable are edits: they obey the length limit
//   (as EM_REPLACESEL does, dropping what does not fit), leave the caret after
//   the inserted text, and can be undone;
// - Undo swaps the text with the undo buffer, like the single-level undo of a
//   Win32 edit control.
// Setting `limit` is how a test makes the box fail to hold what it is given.
class FakeTextBox final : public platform::TextBox, public Logged {
 public:
  explicit FakeTextBox(CallLog& log, std::string name) : Logged(log, std::move(name)) {}

  std::u16string text;
  std::size_t selStart = 0;
  std::size_t selLength = 0;
  std::optional<std::size_t> limit;
  std::optional<std::u16string> undo;

  std::u16string Text() const override {
    Note("Text");
    return text;
  }
  platform::SecretText ReadSecret() const override {
    Note("ReadSecret");
    return platform::SecretText(text);
  }
  void SetText(std::u16string_view t) override {
    Note("SetText");
    text = t;
    selStart = selLength = 0;
    undo.reset();
  }
  std::u16string SelText() const override {
    Note("SelText");
    const std::size_t start = std::min(selStart, text.size());
    return text.substr(start, selLength);
  }
  void SetSelText(std::u16string_view t) override {
    Note("SetSelText");
    Edit(t);
  }
  void ReplaceAllUndoable(std::u16string_view t) override {
    Note("ReplaceAllUndoable");
    selStart = 0;
    selLength = text.size();
    Edit(t);
  }

  // Not part of the interface: what the user's Ctrl+Z would do.
  void Undo() {
    if (!undo) return;
    std::swap(text, *undo);
    selStart = selLength = 0;
  }

 private:
  void Edit(std::u16string_view t) {
    const std::size_t start = std::min(selStart, text.size());
    const std::size_t removed = std::min(selLength, text.size() - start);
    const std::size_t kept = text.size() - removed;
    std::size_t room = t.size();
    if (limit) room = *limit > kept ? std::min(room, *limit - kept) : 0;
    undo = text;
    text.replace(start, removed, t.substr(0, room));
    selStart = start + room;
    selLength = 0;
  }
};

}  // namespace torvane::fakes
