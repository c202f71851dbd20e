// The Options menu's editing commands and the File menu's window commands.
#include <string>

#include "cipher/cipher.h"
#include "main_window/tarvik.h"
#include "placement/tarvik32.h"

namespace torvane {

void Tarvik::mini_Click() {
  c_.form.SetState(platform::WindowState::kMinimized);
}

void Tarvik::exit_Click() {
  s_.program.End();
}

// The selection goes on the clipboard; with none, the clipboard keeps what
// the user had there. False when nothing was selected.
bool Tarvik::PutSelection() {
  const std::u16string selected = c_.Text1.SelText();
  if (selected.empty()) return false;
  s_.clipboard.PutText(selected);
  return true;
}

// Cut empties the whole box, not only the selection; as one edit, so that
// the box's Undo can bring back what was not selected.
void Tarvik::cut_Click() {
  PutSelection();
  c_.Text1.ReplaceAllUndoable(u"");
}

void Tarvik::copy_Click() {
  PutSelection();
}

// Text that would take the box past its limit is refused whole: the box
// would otherwise keep only the part that fits, without a word.
void Tarvik::Insert(std::u16string_view text, std::string_view how) {
  const std::size_t after = c_.Text1.Text().size() - c_.Text1.SelText().size() + text.size();
  if (after > kMaxCipherText) {
    Error("Error: The text box holds at most " + std::to_string(kMaxCipherText) +
          " characters, and the " + std::string(how) + " text would make it " +
          std::to_string(after) + ". Nothing was " + std::string(how) + ".");
    return;
  }
  c_.Text1.SetSelText(text);
}

void Tarvik::paste_Click() {
  Insert(s_.clipboard.GetText(), "pasted");
}

bool Tarvik::FromBox(std::string_view box, platform::BoxRequest request, std::u16string_view text) {
  if (box != "Text1") return false;
  MakeTopmost(c_.form, s_.desktop);
  switch (request) {
    // With nothing selected the box does as it always does: it copies
    // nothing, and Shift+Delete deletes a character.
    case platform::BoxRequest::kCopy:
      return PutSelection();
    case platform::BoxRequest::kCut:
      // The box's own cut takes only the selection.
      if (!PutSelection()) return false;
      c_.Text1.SetSelText(u"");
      break;
    case platform::BoxRequest::kPaste:
      paste_Click();
      break;
    case platform::BoxRequest::kInsert:
      Insert(text, "inserted");
      break;
  }
  return true;
}

void Tarvik::clear_Click() {
  c_.Text1.ReplaceAllUndoable(u"");
}

}  // namespace torvane
