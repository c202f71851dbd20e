// The Options menu's editing commands and the File menu's window commands.
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

void Tarvik::paste_Click() {
  MakeTopmost(c_.form, s_.desktop);
  const std::u16string text = s_.clipboard.GetText();
  c_.Text1.SetSelText(text);
}

void Tarvik::clear_Click() {
  MakeTopmost(c_.form, s_.desktop);
  c_.Text1.ReplaceAllUndoable(u"");
}

}  // namespace torvane
