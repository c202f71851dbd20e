// Cut, Copy, Paste, Clear, Minimize and Exit over fakes.
#include <stdexcept>
#include <string>

#include "tarvik_fixture.h"

namespace torvane {
namespace {

using EditCommandsTest = TarvikTest;

// --- Cut ---------------------------------------------------------------------

TEST_F(EditCommandsTest, CutPutsTheSelectionThenEmptiesTheWholeBox) {
  Enter(u"Hello, world", 7, 5);
  window.cut_Click();
  ExpectTopmostFirst();
  ASSERT_EQ(clipboard.puts.size(), 1u);
  EXPECT_EQ(clipboard.puts[0], u"world");
  EXPECT_EQ(text1.text, u"");
  const auto put = log.IndexOf("Clipboard.PutText");
  const auto emptied = log.IndexOf("Text1.ReplaceAllUndoable");
  ASSERT_TRUE(put && emptied);
  EXPECT_LT(*put, *emptied);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(Touched("Text2"));
  EXPECT_EQ(text2.text, u"secret");

  // The unselected part is gone from the box but not beyond the box's Undo.
  text1.Undo();
  EXPECT_EQ(text1.text, u"Hello, world");
}

TEST_F(EditCommandsTest, CutWithNothingSelectedPutsEmptyTextAndStillEmptiesTheBox) {
  clipboard.text = u"before";
  Enter(u"Hello", 3, 0);
  window.cut_Click();
  ASSERT_EQ(clipboard.puts.size(), 1u);
  EXPECT_EQ(clipboard.puts[0], u"");
  EXPECT_EQ(clipboard.text, u"");
  EXPECT_EQ(text1.text, u"");
}

TEST_F(EditCommandsTest, CutKeepsTheBoxWhenTheClipboardFails) {
  Enter(u"Hello, world", 0, 5);
  clipboard.fail = true;
  EXPECT_THROW(window.cut_Click(), std::runtime_error);
  EXPECT_EQ(text1.text, u"Hello, world");
  EXPECT_FALSE(log.Contains("Text1.ReplaceAllUndoable"));
  EXPECT_FALSE(log.Contains("Text1.SetText"));
}

// --- Copy --------------------------------------------------------------------

TEST_F(EditCommandsTest, CopyPutsTheSelectionAndLeavesTheBox) {
  Enter(u"abc def\r\nghi", 4, 5);  // "def\r\n"
  window.copy_Click();
  ExpectTopmostFirst();
  ASSERT_EQ(clipboard.puts.size(), 1u);
  EXPECT_EQ(clipboard.puts[0], u"def\r\n");
  EXPECT_EQ(text1.text, u"abc def\r\nghi");
  EXPECT_EQ(text1.selStart, 4u);
  EXPECT_EQ(text1.selLength, 5u);
  EXPECT_FALSE(log.Contains("Text1.SetText"));
  EXPECT_FALSE(log.Contains("Text1.SetSelText"));
  EXPECT_FALSE(log.Contains("Text1.ReplaceAllUndoable"));
  EXPECT_FALSE(Touched("Text2"));
}

TEST_F(EditCommandsTest, CopyWithNothingSelectedEmptiesTheClipboardText) {
  clipboard.text = u"older text";
  Enter(u"abc", 1, 0);
  window.copy_Click();
  ASSERT_TRUE(clipboard.text.has_value());
  EXPECT_EQ(*clipboard.text, u"");
}

TEST_F(EditCommandsTest, CopyCarriesTheCharactersAsTheyStand) {
  // Code 0 as shown, a character with no single-byte code, a surrogate pair,
  // a lone CR and a tab: nothing is mapped on the way out.
  const std::u16string all = u"a\u2400b\u03A9c\U0001F600\r\t\x80";
  Enter(all, 0, all.size());
  window.copy_Click();
  ASSERT_EQ(clipboard.puts.size(), 1u);
  EXPECT_EQ(clipboard.puts[0], all);
}

// --- Paste -------------------------------------------------------------------

TEST_F(EditCommandsTest, PasteReplacesTheSelection) {
  clipboard.text = u"there";
  Enter(u"Hello, world!", 7, 5);
  window.paste_Click();
  ExpectTopmostFirst();
  EXPECT_EQ(text1.text, u"Hello, there!");
  EXPECT_EQ(text1.selStart, 12u) << "the caret follows the pasted text";
  const auto read = log.IndexOf("Clipboard.GetText");
  const auto edit = log.IndexOf("Text1.SetSelText");
  ASSERT_TRUE(read && edit);
  EXPECT_LT(*read, *edit);
  EXPECT_EQ(log.Count("Text1.SetSelText"), 1u);
  EXPECT_FALSE(log.Contains("Clipboard.PutText"));
  EXPECT_FALSE(Touched("Text2"));
  text1.Undo();
  EXPECT_EQ(text1.text, u"Hello, world!");
}

TEST_F(EditCommandsTest, PasteInsertsAtTheCaret) {
  clipboard.text = u"big ";
  Enter(u"a cat", 2, 0);
  window.paste_Click();
  EXPECT_EQ(text1.text, u"a big cat");
  // At the very end too.
  clipboard.text = u"s";
  text1.selStart = text1.text.size();
  window.paste_Click();
  EXPECT_EQ(text1.text, u"a big cats");
}

TEST_F(EditCommandsTest, PasteWithNoTextOnTheClipboardDeletesTheSelection) {
  // No text on the clipboard at all, and an empty text.
  for (const auto& onClipboard :
       {std::optional<std::u16string>(), std::optional<std::u16string>(u"")}) {
    clipboard.text = onClipboard;
    Enter(u"keep DROP keep", 5, 5);
    window.paste_Click();
    EXPECT_EQ(text1.text, u"keep keep");
  }
  // With no selection either, the box stays as it is.
  clipboard.text.reset();
  Enter(u"unchanged", 4, 0);
  window.paste_Click();
  EXPECT_EQ(text1.text, u"unchanged");
}

TEST_F(EditCommandsTest, PasteKeepsTheBoxWhenTheClipboardFails) {
  clipboard.text = u"x";
  clipboard.fail = true;
  Enter(u"Hello", 0, 5);
  EXPECT_THROW(window.paste_Click(), std::runtime_error);
  EXPECT_EQ(text1.text, u"Hello");
  EXPECT_FALSE(log.Contains("Text1.SetSelText"));
}

TEST_F(EditCommandsTest, PastePastTheBoxLimitIsRefusedWholeWithAMessage) {
  struct Case {
    const char* name;
    std::size_t boxLength, selLength, pasteLength;
    const char* refusal;  // nullptr: pasted
  };
  const Case cases[] = {
      {"fills the box exactly", 32760, 0, 6, nullptr},
      {"one past the limit", 32760, 0, 7,
       "Error: The text box holds at most 32766 characters, and the pasted text would make it "
       "32767. Nothing was pasted."},
      {"replaces a selection as long as itself", 32766, 100, 100, nullptr},
      {"replaces a selection one shorter", 32766, 99, 100,
       "Error: The text box holds at most 32766 characters, and the pasted text would make it "
       "32767. Nothing was pasted."},
      {"forty thousand into an empty box", 0, 0, 40000,
       "Error: The text box holds at most 32766 characters, and the pasted text would make it "
       "40000. Nothing was pasted."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    messages.shown.clear();
    const std::u16string before(c.boxLength, u'a');
    Enter(before, 0, c.selLength);
    text1.limit = 32766;  // as the real box: an edit past it keeps only what fits
    clipboard.text = std::u16string(c.pasteLength, u'b');
    window.paste_Click();
    if (c.refusal) {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].text, c.refusal);
      EXPECT_EQ(messages.shown[0].title, "Error");
      EXPECT_EQ(messages.shown[0].flags, 64);
      EXPECT_EQ(text1.text, before);
    } else {
      EXPECT_TRUE(messages.shown.empty());
      EXPECT_EQ(text1.text.size(), c.boxLength - c.selLength + c.pasteLength);
    }
  }
}

TEST_F(EditCommandsTest, TheTextBoxOwnPasteIsOptionsPasteAndThePasswordBoxKeepsItsOwn) {
  clipboard.text = u"there";
  Enter(u"Hello, world!", 7, 5);
  EXPECT_TRUE(window.Paste("Text1"));
  ExpectTopmostFirst();
  EXPECT_EQ(text1.text, u"Hello, there!");
  log.Clear();
  EXPECT_FALSE(window.Paste("Text2"));
  EXPECT_TRUE(log.Empty()) << "the password box pastes by itself";
}

TEST_F(EditCommandsTest, CipherTextWithCodeZeroSurvivesCopyClearPaste) {
  // ÿ (255) + 1 wraps to code 0, which the box shows as U+2400.
  const std::u16string plain = u"ÿ and more ÿ";
  Enter(plain, 0, 0, u"\u0001");
  window.Command1_Click();
  const std::u16string cipher = text1.text;
  ASSERT_NE(cipher.find(u'\u2400'), std::u16string::npos);

  text1.selStart = 0;
  text1.selLength = cipher.size();
  window.copy_Click();
  window.clear_Click();
  ASSERT_EQ(text1.text, u"");
  window.paste_Click();
  EXPECT_EQ(text1.text, cipher);
  window.Command2_Click();
  EXPECT_EQ(text1.text, plain);
  EXPECT_TRUE(messages.shown.empty());
}

// --- Clear -------------------------------------------------------------------

TEST_F(EditCommandsTest, ClearEmptiesTheTextAndLeavesThePassword) {
  clipboard.text = u"on the clipboard";
  Enter(u"Hello\r\nworld", 2, 3);
  window.clear_Click();
  ExpectTopmostFirst();
  EXPECT_EQ(text1.text, u"");
  EXPECT_EQ(text2.text, u"secret");
  EXPECT_FALSE(Touched("Text2"));
  EXPECT_FALSE(Touched("Clipboard"));
  EXPECT_EQ(clipboard.text, u"on the clipboard");
  text1.Undo();
  EXPECT_EQ(text1.text, u"Hello\r\nworld");
}

// --- The password box and the clipboard --------------------------------------

TEST_F(EditCommandsTest, NoEditCommandReadsOrChangesThePasswordBox) {
  for (auto click :
       {&Tarvik::cut_Click, &Tarvik::copy_Click, &Tarvik::paste_Click, &Tarvik::clear_Click}) {
    log.Clear();
    clipboard.puts.clear();
    clipboard.text = u"from elsewhere";
    Enter(u"", 0, 0, u"hunter2");  // nothing in Text1: the password is the only text
    (window.*click)();
    EXPECT_FALSE(Touched("Text2"));
    EXPECT_EQ(text2.text, u"hunter2");
    for (const auto& put : clipboard.puts) EXPECT_EQ(put, u"");
  }
}

// --- Minimize and Exit -------------------------------------------------------

TEST_F(EditCommandsTest, MinimizeSetsTheWindowStateAndKeepsBothBoxes) {
  Enter(u"text", 1, 2, u"pw");
  window.mini_Click();
  ExpectTopmostFirst();
  EXPECT_EQ(form.state, platform::WindowState::kMinimized);
  EXPECT_EQ(static_cast<int>(form.state), 1);
  EXPECT_EQ(log.Count("Form.SetState"), 1u);
  EXPECT_FALSE(Touched("Text1"));
  EXPECT_FALSE(Touched("Text2"));
  EXPECT_FALSE(Touched("Program"));
  EXPECT_EQ(text1.text, u"text");
  EXPECT_EQ(text2.text, u"pw");
}

TEST_F(EditCommandsTest, ExitEndsAtOnceWithoutPromptOrSaving) {
  Enter(u"unsaved work", 0, 0, u"pw");
  window.exit_Click();
  ExpectTopmostFirst();
  EXPECT_EQ(program.ends, 1);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(Touched("Text1"));
  EXPECT_FALSE(Touched("Clipboard"));
  EXPECT_FALSE(Touched("Files"));
  EXPECT_EQ(log.Entries().size(), 2u) << "topmost, then the end, nothing else";
}

// --- Menu wiring -------------------------------------------------------------

TEST_F(EditCommandsTest, EachMenuItemReachesItsHandler) {
  struct Case {
    std::string_view item;
    std::string effect;  // the log entry only that handler makes
  };
  const Case cases[] = {
      {"mini", "Form.SetState"},       {"exit", "Program.End"},
      {"cut", "Clipboard.PutText"},    {"copy", "Clipboard.PutText"},
      {"paste", "Clipboard.GetText"},  {"clear", "Text1.ReplaceAllUndoable"},
      {"help1", "Shell.OpenDocument"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    log.Clear();
    desktop.setWindowPosCalls.clear();
    Enter(u"abc", 0, 3);
    clipboard.text = u"xyz";
    window.Command(c.item);
    ExpectTopmostFirst();
    EXPECT_TRUE(log.Contains(c.effect));
  }
  // Cut and Copy differ in the box; Clear in the clipboard.
  Enter(u"abc", 0, 1);
  window.Command("copy");
  EXPECT_EQ(text1.text, u"abc");
  window.Command("cut");
  EXPECT_EQ(text1.text, u"");
  log.Clear();
  window.Command("clear");
  EXPECT_FALSE(Touched("Clipboard"));
}

}  // namespace
}  // namespace torvane
