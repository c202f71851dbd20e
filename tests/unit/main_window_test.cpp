#include "main_window/tarvik.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "tarvik_fixture.h"

namespace torvane {
namespace {

using fakes::CallLog;
using fakes::FakeDesktop;
using fakes::FakeForm;
using fakes::FakeMessageBox;
using fakes::FakeTextBox;

class MainWindowTest : public TarvikTest {
 protected:
  // What the user typed, set straight into the fakes (not logged).
  void Enter(std::u16string text, std::u16string password) {
    text1.text = std::move(text);
    text2.text = std::move(password);
  }

  // One "Error" message with the information icon, and Text1 untouched.
  void ExpectRefused(const std::u16string& text1Before) {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Error");
    EXPECT_EQ(messages.shown[0].flags, 64);
    EXPECT_EQ(messages.shown[0].text.rfind("Error: ", 0), 0u) << messages.shown[0].text;
    EXPECT_EQ(text1.text, text1Before);
    EXPECT_FALSE(log.Contains("Text1.ReplaceAllUndoable"));
    EXPECT_FALSE(log.Contains("Text1.SetText"));
    EXPECT_FALSE(text1.undo.has_value());
  }

  void ExpectPasswordUntouched(const std::u16string& password) {
    EXPECT_EQ(text2.text, password);
    EXPECT_FALSE(log.Contains("Text2.SetText"));
    EXPECT_FALSE(log.Contains("Text2.SetSelText"));
    EXPECT_FALSE(log.Contains("Text2.ReplaceAllUndoable"));
  }
};

// --- Encrypt and Decrypt -----------------------------------------------------

TEST_F(MainWindowTest, EncryptWorkedExample) {
  Enter(u"Hi!", u"ab");
  window.Command1_Click();
  // Codes 138, 170, 99 are Š, ª and c in Windows-1252.
  EXPECT_EQ(text1.text, u"Šªc");
  EXPECT_TRUE(messages.shown.empty());
  ExpectTopmostFirst();
  ExpectPasswordUntouched(u"ab");
}

TEST_F(MainWindowTest, DecryptWorkedExampleWithAnyPasswordCase) {
  for (const char16_t* password : {u"ab", u"AB", u"aB"}) {
    Enter(u"Šªc", password);
    window.Command2_Click();
    EXPECT_EQ(text1.text, u"Hi!");
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, ReplacementIsOneUndoableEditOfTheWholeText) {
  Enter(u"Hi!", u"ab");
  text1.selStart = 1;  // a selection must not limit what is replaced
  text1.selLength = 1;
  window.Command1_Click();
  EXPECT_EQ(text1.text, u"Šªc");
  EXPECT_EQ(log.Count("Text1.ReplaceAllUndoable"), 1u);
  EXPECT_FALSE(log.Contains("Text1.SetText"));
  text1.Undo();
  EXPECT_EQ(text1.text, u"Hi!");
}

TEST_F(MainWindowTest, HighCodesAndCodeZeroThroughTheBox) {
  // é is 233; position 1 uses B (66): 299 mod 256 = 43, '+'.
  Enter(u"é", u"ab");
  window.Command1_Click();
  EXPECT_EQ(text1.text, u"+");
  text2.text = u"AB";
  window.Command2_Click();
  EXPECT_EQ(text1.text, u"é");

  // ÿ (255) + 1 wraps to code 0, which the box shows as U+2400, and back.
  Enter(u"ÿ", u"\u0001");
  window.Command1_Click();
  EXPECT_EQ(text1.text, u"\u2400");
  window.Command2_Click();
  EXPECT_EQ(text1.text, u"ÿ");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, BlankTextAndPasswordAreAccepted) {
  Enter(u" ", u" ");
  window.Command1_Click();
  EXPECT_EQ(text1.text, u"@");  // 32 + 32
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, EncryptTwiceThenDecryptTwiceRestores) {
  const std::u16string plain = u"Line 1\r\n\tCafé €5 — “quoted” ½ Œuvre";
  Enter(plain, u"key");
  window.Command1_Click();
  const std::u16string once = text1.text;
  EXPECT_NE(once, plain);
  window.Command1_Click();
  EXPECT_NE(text1.text, once);
  window.Command2_Click();
  EXPECT_EQ(text1.text, once);
  window.Command2_Click();
  EXPECT_EQ(text1.text, plain);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, DecryptWithUpperCasePasswordRestores) {
  const std::u16string plain = u"Meet me at the usual place.\r\n";
  Enter(plain, u"key");
  window.Command1_Click();
  EXPECT_NE(text1.text, plain);
  text2.text = u"KEY";
  window.Command2_Click();
  EXPECT_EQ(text1.text, plain);

  // é/É and ÿ/Ÿ (0xFF/0x9F) are the same key too.
  Enter(plain, u"éÿ");
  window.Command1_Click();
  text2.text = u"ÉŸ";
  window.Command2_Click();
  EXPECT_EQ(text1.text, plain);
}

TEST_F(MainWindowTest, CommandDispatchesByName) {
  Enter(u"Hi!", u"ab");
  window.Command("Command1");
  EXPECT_EQ(text1.text, u"Šªc");
  window.Command("Command2");
  EXPECT_EQ(text1.text, u"Hi!");

  log.Clear();
  window.Command("NoSuchControl");
  EXPECT_TRUE(log.Empty());
  EXPECT_TRUE(messages.shown.empty());
}

// --- Refusals ----------------------------------------------------------------

TEST_F(MainWindowTest, EmptyTextMessages) {
  Enter(u"", u"pw");
  window.Command1_Click();
  ExpectTopmostFirst();
  ExpectRefused(u"");
  EXPECT_EQ(messages.shown[0].text, "Error: You have to enter text to encrypt.");

  messages.shown.clear();
  window.Command2_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Error: You have to enter text to decrypt.");
  EXPECT_EQ(messages.shown[0].title, "Error");
  EXPECT_EQ(messages.shown[0].flags, 64);
}

TEST_F(MainWindowTest, EmptyPasswordMessageIsTheSameForBoth) {
  Enter(u"Hi!", u"");
  window.Command1_Click();
  ExpectTopmostFirst();
  ExpectRefused(u"Hi!");
  EXPECT_EQ(messages.shown[0].text, "Error: You have to enter a password.");

  messages.shown.clear();
  window.Command2_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Error: You have to enter a password.");
  EXPECT_EQ(text1.text, u"Hi!");
}

TEST_F(MainWindowTest, TextIsCheckedBeforePassword) {
  Enter(u"", u"");
  window.Command1_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Error: You have to enter text to encrypt.");
  // Emptiness comes before the character check of either box.
  messages.shown.clear();
  Enter(u"", u"Ω");
  window.Command2_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Error: You have to enter text to decrypt.");
  messages.shown.clear();
  Enter(u"Ω", u"");
  window.Command1_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Error: You have to enter a password.");
}

TEST_F(MainWindowTest, CharacterWithNoCodeInTextIsNamed) {
  Enter(u"abΩc", u"pw");
  window.Command1_Click();
  ExpectTopmostFirst();
  ExpectRefused(u"abΩc");
  const std::string& text = messages.shown[0].text;
  EXPECT_NE(text.find("\"Ω\" (U+03A9)"), std::string::npos) << text;
  EXPECT_NE(text.find("text"), std::string::npos) << text;
}

TEST_F(MainWindowTest, CharacterWithNoCodeInPasswordIsNamedWhole) {
  Enter(u"Hi!", u"p\U0001F600w");
  window.Command2_Click();
  ExpectTopmostFirst();
  ExpectRefused(u"Hi!");
  const std::string& text = messages.shown[0].text;
  EXPECT_NE(text.find("U+1F600"), std::string::npos) << text;
  EXPECT_NE(text.find("password"), std::string::npos) << text;
  ExpectPasswordUntouched(u"p\U0001F600w");
}

TEST_F(MainWindowTest, LongestTextIsTransformed) {
  // 'a' (97) + '!' (33) = 130, which is ‚ (U+201A).
  Enter(std::u16string(32766, u'a'), u"!");
  window.Command1_Click();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(text1.text, std::u16string(32766, u'‚'));
}

TEST_F(MainWindowTest, TooLongTextIsRefused) {
  const std::u16string tooLong(32767, u'a');
  Enter(tooLong, u"!");
  window.Command1_Click();
  ExpectTopmostFirst();
  ExpectRefused(tooLong);
  EXPECT_NE(messages.shown[0].text.find("32766"), std::string::npos) << messages.shown[0].text;

  messages.shown.clear();
  window.Command2_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Error");
  EXPECT_EQ(text1.text, tooLong);
}

TEST_F(MainWindowTest, BoxThatCannotHoldTheResultIsPutBack) {
  Enter(u"Hi!", u"ab");
  text1.limit = 2;  // the replacement keeps only "Šª"
  window.Command1_Click();
  EXPECT_EQ(text1.text, u"Hi!");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Error");
  EXPECT_EQ(messages.shown[0].flags, 64);
  const auto replaced = log.IndexOf("Text1.ReplaceAllUndoable");
  const auto restored = log.IndexOf("Text1.SetText");
  const auto shown = log.IndexOf("MessageBox.Show");
  ASSERT_TRUE(replaced && restored && shown);
  EXPECT_LT(*replaced, *restored);
  EXPECT_LT(*restored, *shown);
  ExpectPasswordUntouched(u"ab");
}

TEST_F(MainWindowTest, BoxThatJustHoldsTheResultIsKept) {
  Enter(u"Hi!", u"ab");
  text1.limit = 3;
  window.Command1_Click();
  EXPECT_EQ(text1.text, u"Šªc");
  EXPECT_TRUE(messages.shown.empty());
}

// --- Start-up ----------------------------------------------------------------

TEST_F(MainWindowTest, FormLoadMakesTopmostThenCentres) {
  desktop.screenWidth = 19200;
  desktop.screenHeight = 14400;
  form.width = 4410;
  form.height = 4650;
  window.Form_Load();
  ASSERT_GE(log.Entries().size(), 3u);
  EXPECT_EQ(log.Entries()[0], "Desktop.SetWindowPos");
  EXPECT_EQ(log.Entries()[1], "Form.SetLeft");
  EXPECT_EQ(log.Entries()[2], "Form.SetTop");
  EXPECT_EQ(form.left, 7395);
  EXPECT_EQ(form.top, 4875);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(text1.text, u"");
  EXPECT_EQ(text2.text, u"");
}

// --- Layout table ------------------------------------------------------------

struct ExpectedControl {
  platform::ControlKind kind;
  std::string_view name;
  std::string_view caption;
  float left, top, width, height;
  int tabIndex;
  float points;
  unsigned flags;  // multi-line, scroll bar and password bits only
};

TEST(MainWindowLayoutTest, WindowAndControls) {
  using platform::ControlKind;
  const auto& layout = Tarvik::Layout();
  EXPECT_EQ(layout.caption, "Torvane");
  EXPECT_EQ(layout.clientWidth, 4320);
  EXPECT_EQ(layout.clientHeight, 3945);

  constexpr unsigned kBox = platform::kMultiLine | platform::kVScroll;
  const ExpectedControl expected[] = {
      {ControlKind::kTabPanel, "SSTab1", "", 0, 0, 4335, 3975, 0, 9, 0},
      {ControlKind::kLabel, "Label3", "Select File To Encrypt:", 120, 120, 2775, 255, 1, 9, 0},
      {ControlKind::kTextBox, "Text1", "", 120, 360, 4095, 2355, 2, 9, kBox},
      {ControlKind::kLabel, "Label4", "Password:", 120, 2760, 1455, 255, 3, 9, 0},
      {ControlKind::kTextBox, "Text2", "", 120, 3000, 4095, 315, 4, 9, platform::kPassword},
      {ControlKind::kButton, "Command1", "Encrypt", 480, 3480, 1215, 375, 5, 8.25f, 0},
      {ControlKind::kButton, "Command2", "Decrypt", 2520, 3480, 1215, 375, 6, 8.25f, 0},
  };
  ASSERT_EQ(layout.controls.size(), std::size(expected));
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const platform::ControlSpec* c = nullptr;
    for (const auto& candidate : layout.controls) {
      if (candidate.name == e.name) c = &candidate;
    }
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, e.kind);
    EXPECT_EQ(c->caption, e.caption);
    EXPECT_EQ(c->left, e.left);
    EXPECT_EQ(c->top, e.top);
    EXPECT_EQ(c->width, e.width);
    EXPECT_EQ(c->height, e.height);
    EXPECT_EQ(c->tabIndex, e.tabIndex);
    EXPECT_EQ(c->font.face, "Arial");
    EXPECT_EQ(c->font.points, e.points);
    EXPECT_FALSE(c->font.bold);
    EXPECT_EQ(c->flags & (kBox | platform::kPassword), e.flags);
  }
}

TEST(MainWindowLayoutTest, Colours) {
  const auto& layout = Tarvik::Layout();
  for (const auto& c : layout.controls) {
    if (c.name == "Label3" || c.name == "Label4") {
      ASSERT_TRUE(c.foreColor.has_value()) << c.name;
      EXPECT_EQ(c.foreColor->r, 255);
      EXPECT_EQ(c.foreColor->g, 0);
      EXPECT_EQ(c.foreColor->b, 0);
    }
    if (c.name == "SSTab1") {
      ASSERT_TRUE(c.backColor.has_value());
      EXPECT_EQ(c.backColor->r, 192);
      EXPECT_EQ(c.backColor->g, 192);
      EXPECT_EQ(c.backColor->b, 192);
    }
  }
}

TEST(MainWindowLayoutTest, MenusInOrder) {
  struct Item {
    std::string_view name, caption;
    int level;
  };
  const Item expected[] = {
      {"file", "&File", 0},
      {"mini", "&Minimize", 1},
      {"a", "-", 1},
      {"exit", "&Exit", 1},
      {"options", "&Options", 0},
      {"save", "Save", 1},
      {"load", "Load", 1},
      {"d", "-", 1},
      {"cut", "Cut", 1},
      {"copy", "Copy", 1},
      {"paste", "Paste", 1},
      {"clear", "Clear", 1},
      {"help", "&Help", 0},
      {"about", "&About", 1},
      {"help1", "&Help", 1},
  };
  const auto& menus = Tarvik::Layout().menus;
  ASSERT_EQ(menus.size(), std::size(expected));
  for (std::size_t i = 0; i < menus.size(); ++i) {
    EXPECT_EQ(menus[i].name, expected[i].name) << i;
    EXPECT_EQ(menus[i].caption, expected[i].caption) << i;
    EXPECT_EQ(menus[i].level, expected[i].level) << i;
  }
}

}  // namespace
}  // namespace torvane
