#include "main_window/tarvik.h"

#include <array>
#include <utility>

#include "cipher/cipher.h"
#include "dispatch/handler_table.h"
#include "placement/tarvik32.h"
#include "text/codepage.h"

namespace torvane {
namespace {

using platform::ControlKind;
using platform::ControlRow;
using platform::MenuRow;

constexpr platform::Font kArial9{"Arial", 9};
constexpr platform::Font kArial825{"Arial", 8.25f};
constexpr platform::Rgb kRed{255, 0, 0};
constexpr platform::Rgb kPageGrey{192, 192, 192};

// clang-format off
constexpr std::array kControls = {
    ControlRow{.kind = ControlKind::kTabPanel, .name = "SSTab1", .caption = "",
               .left = 0, .top = 0, .width = 4335, .height = 3975, .tabIndex = 0,
               .font = kArial9, .flags = platform::kNoTabStop, .backColor = kPageGrey},
    ControlRow{.kind = ControlKind::kLabel, .name = "Label3",
               .caption = "Select File To Encrypt:",
               .left = 120, .top = 120, .width = 2775, .height = 255, .tabIndex = 1,
               .font = kArial9, .foreColor = kRed},
    ControlRow{.kind = ControlKind::kTextBox, .name = "Text1", .caption = "",
               .left = 120, .top = 360, .width = 4095, .height = 2355, .tabIndex = 2,
               .font = kArial9, .flags = platform::kMultiLine | platform::kVScroll,
               .maxLength = kMaxCipherText},
    ControlRow{.kind = ControlKind::kLabel, .name = "Label4", .caption = "Password:",
               .left = 120, .top = 2760, .width = 1455, .height = 255, .tabIndex = 3,
               .font = kArial9, .foreColor = kRed},
    ControlRow{.kind = ControlKind::kTextBox, .name = "Text2", .caption = "",
               .left = 120, .top = 3000, .width = 4095, .height = 315, .tabIndex = 4,
               .font = kArial9, .flags = platform::kPassword},
    ControlRow{.kind = ControlKind::kButton, .name = "Command1", .caption = "Encrypt",
               .left = 480, .top = 3480, .width = 1215, .height = 375, .tabIndex = 5,
               .font = kArial825},
    ControlRow{.kind = ControlKind::kButton, .name = "Command2", .caption = "Decrypt",
               .left = 2520, .top = 3480, .width = 1215, .height = 375, .tabIndex = 6,
               .font = kArial825},
};

constexpr std::array kMenus = {
    MenuRow{.name = "file", .caption = "&File", .level = 0},
    MenuRow{.name = "mini", .caption = "&Minimize", .level = 1},
    MenuRow{.name = "a", .caption = "-", .level = 1},
    MenuRow{.name = "exit", .caption = "&Exit", .level = 1},
    MenuRow{.name = "options", .caption = "&Options", .level = 0},
    MenuRow{.name = "save", .caption = "Save", .level = 1},
    MenuRow{.name = "load", .caption = "Load", .level = 1},
    MenuRow{.name = "d", .caption = "-", .level = 1},
    MenuRow{.name = "cut", .caption = "Cut", .level = 1},
    MenuRow{.name = "copy", .caption = "Copy", .level = 1},
    MenuRow{.name = "paste", .caption = "Paste", .level = 1},
    MenuRow{.name = "clear", .caption = "Clear", .level = 1},
    MenuRow{.name = "help", .caption = "&Help", .level = 0},
    MenuRow{.name = "about", .caption = "&About", .level = 1},
    MenuRow{.name = "help1", .caption = "&Help", .level = 1},
};

constexpr platform::WindowLayout kLayout{.className = "TorvaneMain",
                                       .caption = "Torvane",
                                       .clientWidth = 4320,
                                       .clientHeight = 3945,
                                       .controls = kControls,
                                       .menus = kMenus,
                                       .acceptsFiles = true};
// clang-format on

using Handler = dispatch::Handler<Tarvik>;
constexpr std::array kHandlers = {
    Handler{"Command1", &Tarvik::Command1_Click}, Handler{"Command2", &Tarvik::Command2_Click},
    Handler{"about", &Tarvik::about_Click},       Handler{"save", &Tarvik::save_Click},
    Handler{"load", &Tarvik::load_Click},         Handler{"mini", &Tarvik::mini_Click},
    Handler{"exit", &Tarvik::exit_Click},         Handler{"cut", &Tarvik::cut_Click},
    Handler{"copy", &Tarvik::copy_Click},         Handler{"paste", &Tarvik::paste_Click},
    Handler{"clear", &Tarvik::clear_Click},       Handler{"help1", &Tarvik::help1_Click},
};

constexpr std::string_view kErrorTitle = "Error";

}  // namespace

const platform::WindowLayout& Tarvik::Layout() {
  return kLayout;
}

std::span<const dispatch::Handler<Tarvik>> Tarvik::Handlers() {
  return kHandlers;
}

// Every command first puts the window on top again: here, once, so that no
// handler can forget it.
void Tarvik::Command(std::string_view name) {
  MakeTopmost(c_.form, s_.desktop);
  dispatch::RunHandler(*this, Handlers(), name);
}

void Tarvik::Form_Load() {
  MakeTopmost(c_.form, s_.desktop);
  CenterForm(c_.form, s_.desktop);
  CopyHelp();
  // "Open with", or a file dropped on the program's icon. The window is shown
  // first, so that a message about the file stands over it.
  if (const auto files = s_.program.Arguments(); !files.empty()) {
    c_.form.Show();
    LoadFile(files.front());
  }
}

void Tarvik::Command1_Click() {
  Transform(Direction::kEncrypt);
}
void Tarvik::Command2_Click() {
  Transform(Direction::kDecrypt);
}

void Tarvik::Error(const std::string& text) {
  s_.messages.Show(text, platform::kMbInformation, kErrorTitle);
}

void Tarvik::Transform(Direction direction) {
  const bool encrypt = direction == Direction::kEncrypt;
  const std::string verb = encrypt ? "encrypt" : "decrypt";

  const std::u16string before = c_.Text1.Text();
  if (before.empty()) {
    Error("Error: You have to enter text to " + verb + ".");
    return;
  }
  // Every copy of the password is a string that wipes itself.
  const platform::SecretText shownPassword = c_.Text2.ReadSecret();
  if (shownPassword.empty()) {
    Error("Error: You have to enter a password.");
    return;
  }

  const text::BoxBytes text = text::BoxToBytes(before);
  if (!text.ok()) {
    Error("Error: The text contains the character " + text::DescribeChar(*text.unmapped) +
          ", which this program cannot " + verb + ". Nothing was changed.");
    return;
  }
  platform::SecretBytes password;
  if (const auto unmapped = text::BoxToBytes(shownPassword.view(), password)) {
    Error("Error: The password contains the character " + text::DescribeChar(*unmapped) +
          ", which this program cannot use in a password. Nothing was changed.");
    return;
  }
  // Code 0 shifts by nothing: the characters it keys would stay plain while
  // the user believes them encrypted. No keyboard types it, so no stored
  // cipher text can come from such a password.
  if (password.view().find('\0') != std::string_view::npos) {
    Error("Error: The password contains the character " + text::DescribeChar(text::kBoxNul) +
          ", code 0, which this program cannot use in a password. Nothing was changed.");
    return;
  }
  if (text.bytes.size() > kMaxCipherText) {
    Error("Error: The text is too long to " + verb + ". It can have at most " +
          std::to_string(kMaxCipherText) + " characters. Nothing was changed.");
    return;
  }

  const std::string result =
      encrypt ? EncryptText(text.bytes, password.view()) : DecryptText(text.bytes, password.view());
  const std::u16string after = text::BytesToBox(result);
  c_.Text1.ReplaceAllUndoable(after);
  if (c_.Text1.Text() != after) {
    c_.Text1.SetText(before);
    Error("Error: The text box could not hold the " + verb +
          "ed text, so the text was put back as it was.");
  }
}

}  // namespace torvane
