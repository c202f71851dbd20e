#include "main_window/tarvik.h"

#include <array>
#include <utility>

#include "cipher/cipher.h"
#include "placement/tarvik32.h"
#include "platform/codepage.h"

namespace torvane {
namespace {

using platform::ControlKind;
using platform::ControlSpec;
using platform::MenuSpec;

constexpr platform::Font kArial9{"Arial", 9};
constexpr platform::Font kArial825{"Arial", 8.25f};
constexpr platform::Rgb kRed{255, 0, 0};
constexpr platform::Rgb kPageGrey{192, 192, 192};

constexpr std::array kControls = {
    ControlSpec{ControlKind::kTabPanel, "SSTab1", "", 0, 0, 4335, 3975, 0, kArial9,
                platform::kNoTabStop, std::nullopt, kPageGrey},
    ControlSpec{ControlKind::kLabel, "Label3", "Select File To Encrypt:", 120, 120, 2775, 255, 1,
                kArial9, 0, kRed},
    ControlSpec{ControlKind::kTextBox, "Text1", "", 120, 360, 4095, 2355, 2, kArial9,
                platform::kMultiLine | platform::kVScroll, std::nullopt, std::nullopt,
                kMaxCipherText},
    ControlSpec{ControlKind::kLabel, "Label4", "Password:", 120, 2760, 1455, 255, 3, kArial9, 0,
                kRed},
    ControlSpec{ControlKind::kTextBox, "Text2", "", 120, 3000, 4095, 315, 4, kArial9,
                platform::kPassword},
    ControlSpec{ControlKind::kButton, "Command1", "Encrypt", 480, 3480, 1215, 375, 5, kArial825},
    ControlSpec{ControlKind::kButton, "Command2", "Decrypt", 2520, 3480, 1215, 375, 6, kArial825},
};

constexpr std::array kMenus = {
    MenuSpec{"file", "&File", 0},
    MenuSpec{"mini", "&Minimize", 1},
    MenuSpec{"a", "-", 1},
    MenuSpec{"exit", "&Exit", 1},
    MenuSpec{"options", "&Options", 0},
    MenuSpec{"save", "Save", 1},
    MenuSpec{"load", "Load", 1},
    MenuSpec{"d", "-", 1},
    MenuSpec{"cut", "Cut", 1},
    MenuSpec{"copy", "Copy", 1},
    MenuSpec{"paste", "Paste", 1},
    MenuSpec{"clear", "Clear", 1},
    MenuSpec{"help", "&Help", 0},
    MenuSpec{"about", "&About", 1},
    MenuSpec{"help1", "&Help", 1},
};

constexpr platform::WindowSpec kLayout{"TorvaneMain", "Torvane", 4320, 3945, kControls, kMenus};

struct Handler {
  std::string_view name;
  void (Tarvik::*click)();
};
constexpr std::array kHandlers = {
    Handler{"Command1", &Tarvik::Command1_Click}, Handler{"Command2", &Tarvik::Command2_Click},
    Handler{"about", &Tarvik::about_Click},       Handler{"save", &Tarvik::save_Click},
    Handler{"load", &Tarvik::load_Click},         Handler{"mini", &Tarvik::mini_Click},
    Handler{"exit", &Tarvik::exit_Click},         Handler{"cut", &Tarvik::cut_Click},
    Handler{"copy", &Tarvik::copy_Click},         Handler{"paste", &Tarvik::paste_Click},
    Handler{"clear", &Tarvik::clear_Click},       Handler{"help1", &Tarvik::help1_Click},
};

constexpr std::string_view kErrorTitle = "Error";

// Wipes a copy of the password when it goes out of scope, whichever way.
template <typename String>
struct WipeOnExit {
  String& s;
  ~WipeOnExit() { SecureWipe(s.data(), s.capacity() * sizeof(typename String::value_type)); }
};

}  // namespace

const platform::WindowSpec& Tarvik::Layout() {
  return kLayout;
}

void Tarvik::Command(std::string_view name) {
  for (const auto& h : kHandlers) {
    if (h.name == name) {
      (this->*h.click)();
      return;
    }
  }
}

void Tarvik::Form_Load() {
  MakeTopmost(c_.form, s_.desktop);
  CenterForm(c_.form, s_.desktop);
  CopyHelp();
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
  MakeTopmost(c_.form, s_.desktop);
  const bool encrypt = direction == Direction::kEncrypt;
  const std::string verb = encrypt ? "encrypt" : "decrypt";

  const std::u16string before = c_.Text1.Text();
  if (before.empty()) {
    Error("Error: You have to enter text to " + verb + ".");
    return;
  }
  std::u16string shownPassword = c_.Text2.Text();
  WipeOnExit<std::u16string> wipeShown{shownPassword};
  if (shownPassword.empty()) {
    Error("Error: You have to enter a password.");
    return;
  }

  const platform::BoxBytes text = platform::BoxToBytes(before);
  if (!text.ok()) {
    Error("Error: The text contains the character " + platform::DescribeChar(*text.unmapped) +
          ", which this program cannot " + verb + ". Nothing was changed.");
    return;
  }
  platform::BoxBytes password = platform::BoxToBytes(shownPassword);
  WipeOnExit<std::string> wipePassword{password.bytes};
  if (!password.ok()) {
    Error("Error: The password contains the character " +
          platform::DescribeChar(*password.unmapped) +
          ", which this program cannot use in a password. Nothing was changed.");
    return;
  }
  if (text.bytes.size() > kMaxCipherText) {
    Error("Error: The text is too long to " + verb + ". It can have at most " +
          std::to_string(kMaxCipherText) + " characters. Nothing was changed.");
    return;
  }

  // The cipher wipes the copy it is given; WipeOnExit clears ours.
  const std::string result = encrypt ? EncryptText(text.bytes, std::string(password.bytes))
                                     : DecryptText(text.bytes, std::string(password.bytes));
  const std::u16string after = platform::BytesToBox(result);
  c_.Text1.ReplaceAllUndoable(after);
  if (c_.Text1.Text() != after) {
    c_.Text1.SetText(before);
    Error("Error: The text box could not hold the " + verb +
          "ed text, so the text was put back as it was.");
  }
}

}  // namespace torvane
