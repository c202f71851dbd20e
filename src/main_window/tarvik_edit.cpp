// The Options menu's editing commands and the File menu's window commands.
#include <string>

#include "cipher/cipher.h"
#include "main_window/tarvik.h"
#include "placement/tarvik32.h"

namespace torvane {

void Tarvik::mini_Click() {
  MakeTopmost(c_.form, s_.desktop);
  c_.form.SetState(platform::WindowState::kMinimized);
}

void Tarvik::exit_Click() {
  MakeTopmost(c_.form, s_.desktop);
  s_.program.End();
}

// Cut empties the whole box, not only the selection; as one edit, so that
// the box's Undo can bring back what was not selected.
void Tarvik::cut_Click() {
  MakeTopmost(c_.form, s_.desktop);
  s_.clipboard.PutText(c_.Text1.SelText());
  c_.Text1.ReplaceAllUndoable(u"");
}

void Tarvik::copy_Click() {
  MakeTopmost(c_.form, s_.desktop);
  s_.clipboard.PutText(c_.Text1.SelText());
}

// A paste that would take the box past its limit is refused whole: the box
// would otherwise keep only the part that fits, without a word.
void Tarvik::paste_Click() {
  MakeTopmost(c_.form, s_.desktop);
  const std::u16string text = s_.clipboard.GetText();
  const std::size_t after = c_.Text1.Text().size() - c_.Text1.SelText().size() + text.size();
  if (after > kMaxCipherText) {
    Error("Error: The text box holds at most " + std::to_string(kMaxCipherText) +
          " characters, and the pasted text would make it " + std::to_string(after) +
          ". Nothing was pasted.");
    return;
  }
  c_.Text1.SetSelText(text);
}

bool Tarvik::Paste(std::string_view box) {
  if (box != "Text1") return false;
  paste_Click();
  return true;
}

void Tarvik::clear_Click() {
  MakeTopmost(c_.form, s_.desktop);
  c_.Text1.ReplaceAllUndoable(u"");
}

}  // namespace torvane
