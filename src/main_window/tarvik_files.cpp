// The main window's Load and Save commands.
#include <string>
#include <string_view>

#include "cipher/cipher.h"
#include "main_window/tarvik.h"
#include "placement/tarvik32.h"
#include "text/codepage.h"

namespace torvane {
namespace {

// The line end Save puts after the text.
constexpr std::string_view kLineEnd = "\r\n";

constexpr std::string_view kPasswordWarning =
    "It is very important to remember or write down the password you used to encrypt the text. "
    "This program will not save the password you used to encrypt the text.";

// Load's bytes for the box from the file's first bytes, up to the box's one
// limit (the cipher's) and the line end Save adds: that line end comes off,
// then the box takes at most the limit. So whatever the box held when it was
// saved loads whole and without a message. (When the file goes on, what is
// cut is the same with or without the drop.)
struct Loaded {
  std::string bytes;
  bool cut = false;
};
Loaded FromFile(platform::FirstBytes file) {
  Loaded out{std::move(file.bytes), file.more};
  if (out.bytes.ends_with(kLineEnd)) out.bytes.resize(out.bytes.size() - kLineEnd.size());
  if (out.bytes.size() > kMaxCipherText) {
    out.bytes.resize(kMaxCipherText);
    out.cut = true;
  }
  return out;
}

}  // namespace

// A dialog that cannot be shown (its library missing, say) is told as plainly
// as a file that cannot be read, with the call and its code.
bool Tarvik::ShowDialog(std::int16_t action) {
  try {
    s_.CMDialog1.SetAction(action);
    return true;
  } catch (const platform::SystemError& e) {
    Error("Error: " + std::string(e.what()) + " (" + e.call() + ", error " +
          std::to_string(e.code()) + ")");
    return false;
  }
}

void Tarvik::load_Click() {
  platform::CommonDialog& dialog = s_.CMDialog1;
  dialog.SetDialogTitle("Load");
  dialog.SetFilter("(*.txt)|*.txt|(*.*)|*.*|");
  dialog.SetFilename({});
  dialog.SetFlags(platform::kOfnFileMustExist);
  if (!ShowDialog(platform::kActionOpen) || dialog.FileTitle().empty()) return;
  LoadFile(dialog.Filename());
}

// Load, a file dropped on the window and one named on the command line all
// come here, so they follow the same rules.
void Tarvik::LoadFile(const platform::Path& file) {
  // The file is read whole before the box changes, so a failure keeps the box.
  Loaded loaded;
  try {
    loaded = FromFile(s_.files.ReadFirstBytes(file, kMaxCipherText + kLineEnd.size()));
  } catch (const platform::FileError& e) {
    Error("Error: The file could not be loaded. " + std::string(e.what()));
    return;
  }
  c_.Text1.SetText(text::BytesToBox(loaded.bytes));
  if (loaded.cut) {
    s_.messages.Show("The file is longer than " + std::to_string(kMaxCipherText) +
                         " bytes. Only its first " + std::to_string(kMaxCipherText) +
                         " bytes were loaded.",
                     platform::kMbInformation);
  }
}

void Tarvik::Form_OLEDragDrop(const std::vector<platform::Path>& files) {
  MakeTopmost(c_.form, s_.desktop);
  if (!files.empty()) LoadFile(files.front());
}

void Tarvik::save_Click() {
  s_.messages.Show(kPasswordWarning, platform::kMbCritical, "Important");

  // The dialog is modal, so the box cannot change while it is open.
  const text::BoxBytes text = text::BoxToBytes(c_.Text1.Text());
  if (!text.ok()) {
    Error("Error: The text contains the character " + text::DescribeChar(*text.unmapped) +
          ", which this program cannot save. Nothing was saved.");
    return;
  }
  // Only another program can put a longer text into the box; it would not
  // load back whole.
  if (text.bytes.size() > kMaxCipherText) {
    Error("Error: The text is too long to save. It can have at most " +
          std::to_string(kMaxCipherText) + " characters. Nothing was saved.");
    return;
  }

  platform::CommonDialog& dialog = s_.CMDialog1;
  dialog.SetDialogTitle("Save Encrypted Text");
  dialog.SetFilter("Text Files|*.txt|All Files|*.*|");
  dialog.SetFilterIndex(2);
  if (!ShowDialog(platform::kActionSaveAs) || dialog.FileTitle().empty()) return;

  try {
    s_.files.Replace(dialog.Filename(), text.bytes + std::string(kLineEnd));
  } catch (const platform::FileError& e) {
    Error("Error: The file could not be saved. " + std::string(e.what()));
  }
}

}  // namespace torvane
