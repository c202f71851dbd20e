// Every handler of the main window, by what it leaves in the fakes.
#include <gtest/gtest.h>

#include "dialog/common_dialog.h"
#include "fakes/fakes.h"
#include "main_window/tarvik.h"

namespace torvane {
namespace {

using namespace std::string_literals;
using fakes::Shown;
using Shows = std::vector<Shown>;

Shown ErrorBox(std::string text) {
  return {std::move(text), 64, "Error"};
}
Shows Error(std::string text) {
  return {ErrorBox(std::move(text))};
}
const Shown kLonger{"The file is longer than 32766 bytes. Only its first 32766 bytes were loaded.",
                    64, "Torvane"};
const std::u16string kYs(32766, u'y');  // what a file of 32767 "y" loads as

struct MainWindowTest : ::testing::Test {
  fakes::FakeForm form, about;
  fakes::FakeTextBox text1, text2;
  fakes::FakeSystem sys;
  dialog::CommonDialogControl cmDialog1{sys};
  Tarvik tarvik{{form, text1, text2}, {sys, sys, about, cmDialog1, sys, sys, sys, sys}};

  void Box(std::u16string text, std::size_t selStart = 0, std::size_t selLength = 0) {
    text1.text = std::move(text), text1.selStart = selStart, text1.selLength = selLength;
  }
  // The messages a command shows.
  Shows Run(std::string_view command) {
    sys.shown.clear();
    tarvik.Command(command);
    return sys.shown;
  }
  // The messages of a command that must leave the box as it was.
  Shows Refused(std::string_view command, std::u16string box, std::u16string password = u"pw") {
    Box(box), text2.text = std::move(password);
    const Shows shown = Run(command);
    EXPECT_EQ(text1.text, box) << command;
    return shown;
  }
};

TEST_F(MainWindowTest, StartPlacesTheWindowCopiesHelpAndLoadsTheFirstFileNamed) {
  sys.files = {{u"C:\\app\\help.doc", "guide"}, {u"C:\\a.txt", "a\r\n"}, {u"C:\\b.txt", "b"}};
  sys.arguments = {u"C:\\a.txt", u"C:\\b.txt"};
  tarvik.Form_Load();
  EXPECT_EQ(sys.onTop, 1);
  EXPECT_EQ(std::pair(form.left, form.top), std::pair(7395.0f, 4875.0f));  // (19200 - 4410) / 2
  EXPECT_EQ(sys.files.at(u"c:\\windows\\encrypthelp.doc"), "guide");
  EXPECT_EQ(std::pair(form.visible, text1.text), std::pair(true, u"a"s));
  sys.arguments = {u"C:\\gone.txt", u"C:\\b.txt"};
  tarvik.Form_Load();
  EXPECT_EQ(text1.text, u"a") << "a file that cannot be read keeps the box";
  EXPECT_EQ(sys.shown, Error("Error: The file could not be loaded. Not found."));
}

TEST_F(MainWindowTest, EveryCommandPutsTheWindowOnTopAgain) {
  sys.answers.assign(2, std::nullopt);
  int commands = 0;
  for (const char* command : {"Command1", "Command2", "about", "save", "load", "mini", "exit",
                              "cut", "copy", "paste", "clear", "help1"}) {
    tarvik.Command(command);
    EXPECT_EQ(sys.onTop, ++commands) << command;
  }
}

TEST_F(MainWindowTest, EncryptAndDecryptReplaceTheTextAsOneUndoableEdit) {
  Box(u"Hi!");
  text2.text = u"ab";
  EXPECT_EQ(Run("Command1"), Shows{});
  EXPECT_EQ(text1.text, u"\u0160\u00AAc") << "codes 138 170 99";
  EXPECT_EQ(text1.undo, u"Hi!");
  text2.text = u"AB";
  EXPECT_EQ(Run("Command2"), Shows{});
  EXPECT_EQ(text1.text, u"Hi!");
  Box(u"\u2400");  // code 0 with "A": position 0 uses A (65) -> 'A'
  text2.text = u"a";
  EXPECT_EQ(Run("Command1"), Shows{});
  EXPECT_EQ(text1.text, u"A");
}

TEST_F(MainWindowTest, EncryptAndDecryptRefuseWithAMessageAndChangeNothing) {
  EXPECT_EQ(Refused("Command1", u""), Error("Error: You have to enter text to encrypt."));
  EXPECT_EQ(Refused("Command1", u"abc", u""), Error("Error: You have to enter a password."));
  EXPECT_EQ(Refused("Command2", u"a\u03A9"),
            Error("Error: The text contains the character \"\u03A9\" (U+03A9), which this "
                  "program cannot decrypt. Nothing was changed."));
  EXPECT_EQ(Refused("Command1", u"abc", u"p\u03BB"),
            Error("Error: The password contains the character \"\u03BB\" (U+03BB), which this "
                  "program cannot use in a password. Nothing was changed."));
  EXPECT_EQ(Refused("Command2", u"abc", u"\u2400\u2400\u2400A"),
            Error("Error: The password contains the character \"\u2400\" (U+2400), code 0, which "
                  "this program cannot use in a password. Nothing was changed."));
  EXPECT_EQ(Refused("Command1", std::u16string(32767, u'a')),
            Error("Error: The text is too long to encrypt. It can have at most 32766 characters. "
                  "Nothing was changed."));
  text1.limit = 2;  // the box cannot take the result: the text goes back
  EXPECT_EQ(Refused("Command1", u"abcd"), Error("Error: The text box could not hold the encrypted "
                                                "text, so the text was put back as it was."));
}

TEST_F(MainWindowTest, EditCommandsWorkOnTheTextBox) {
  Box(u"one two", 4, 3);
  tarvik.Command("copy");
  EXPECT_EQ(sys.clipboard, u"two");
  tarvik.Command("cut");  // the whole box goes, as one edit
  EXPECT_EQ(std::tuple(text1.text, text1.undo, sys.clipboard),
            std::tuple(u""s, std::optional(u"one two"s), u"two"s));
  Box(u"one two", 4, 3);
  sys.clipboard = u"2";
  tarvik.Command("paste");
  EXPECT_EQ(text1.text, u"one 2");
  using enum platform::BoxRequest;
  EXPECT_TRUE(tarvik.FromBox("Text1", kPaste, {}));  // the box's own Ctrl+V takes the same way
  EXPECT_EQ(text1.text, u"one 22");
  Box(u"one two", 0, 3);  // the box's own cut takes only the selection
  EXPECT_TRUE(tarvik.FromBox("Text1", kCut, {}));
  EXPECT_EQ(std::pair(text1.text, sys.clipboard), std::pair(u" two"s, u"one"s));
  // Nothing selected: the box does as it always does, and the clipboard stays.
  EXPECT_FALSE(tarvik.FromBox("Text1", kCopy, {}));
  EXPECT_FALSE(tarvik.FromBox("Text1", kCut, {}));
  for (auto request : {kCopy, kCut, kPaste, kInsert})
    EXPECT_FALSE(tarvik.FromBox("Text2", request, u"x"));
  tarvik.Command("copy");
  tarvik.Command("cut");  // which still empties the box
  EXPECT_EQ(std::pair(text1.text, sys.clipboard), std::pair(u""s, u"one"s));
  Box(u"one 22");
  tarvik.Command("clear");
  EXPECT_EQ(std::pair(text1.text, text1.undo), std::pair(u""s, std::optional(u"one 22"s)));
  tarvik.Command("mini");
  EXPECT_EQ(form.state, platform::WindowState::kMinimized);
  tarvik.Command("exit");
  EXPECT_TRUE(sys.ended);
}

TEST_F(MainWindowTest, APastePastTheLimitIsRefusedWhole) {
  Box(std::u16string(32760, u'a'), 10, 4);
  sys.clipboard = std::u16string(10, u'b');  // 32760 - 4 + 10 = 32766: fits
  tarvik.Command("paste");
  text1.selLength = 0;
  sys.clipboard = u"b";
  tarvik.Command("paste");
  // Text put in by another route follows the same rule.
  EXPECT_TRUE(tarvik.FromBox("Text1", platform::BoxRequest::kInsert, u"bb"));
  EXPECT_EQ(text1.text.size(), 32766u);
  EXPECT_EQ(sys.shown,
            (Shows{ErrorBox("Error: The text box holds at most 32766 characters, and the pasted "
                            "text would make it 32767. Nothing was pasted."),
                   ErrorBox("Error: The text box holds at most 32766 characters, and the "
                            "inserted text would make it 32768. Nothing was inserted.")}));
  text1.text.resize(32765);
  EXPECT_TRUE(tarvik.FromBox("Text1", platform::BoxRequest::kInsert, u"b"));
  EXPECT_EQ(text1.text.size(), 32766u);
}

TEST_F(MainWindowTest, LoadReadsTheChosenFileWithoutSavesLineEnd) {
  const std::tuple<std::string, std::u16string, Shows> rows[] = {
      {"a\0\x8A\r\n"s, u"a\u2400\u0160", {}},
      {"ab\r", u"ab\r", {}},
      {std::string(32766, 'x') + "\r\n", std::u16string(32766, u'x'), {}},
      {std::string(32767, 'y'), kYs, {kLonger}},
  };
  for (const auto& [file, box, shown] : rows) {
    sys.files[u"C:\\in.txt"] = file;
    sys.answers = {u"C:\\in.txt"};
    EXPECT_EQ(Run("load"), shown);
    EXPECT_EQ(text1.text, box) << file.size() << " bytes";
  }
  const platform::FilePickRequest& asked = sys.requests.at(0);
  EXPECT_EQ(std::tuple(asked.kind, asked.title, asked.filter, asked.flags),
            std::tuple(platform::FilePickRequest::Kind::kOpen, u"Load"s,
                       u"(*.txt)\0*.txt\0(*.*)\0*.*\0\0"s, 0x1000u));  // OFN_FILEMUSTEXIST
  sys.files[u"C:\\in.txt"] = "changed";
  sys.answers = {std::nullopt, u"C:\\in.txt"};
  EXPECT_EQ(Run("load"), Shows{});
  sys.failure = "Access is denied.";
  EXPECT_EQ(Run("load"), Error("Error: The file could not be loaded. Access is denied."));
  EXPECT_EQ(text1.text, kYs) << "a cancel or a failure keeps the box";
}

TEST_F(MainWindowTest, ADroppedFileLoadsByLoadsRulesTheFirstOfSeveral) {
  sys.files = {{u"C:\\a.txt", "a\r\n"}, {u"C:\\b.txt", "b"}, {u"C:\\y", std::string(32767, 'y')}};
  tarvik.Form_OLEDragDrop({u"C:\\a.txt", u"C:\\b.txt"});
  EXPECT_EQ(std::pair(text1.text, sys.onTop), std::pair(u"a"s, 1));
  tarvik.Form_OLEDragDrop({});
  EXPECT_EQ(text1.text, u"a");
  tarvik.Form_OLEDragDrop({u"C:\\y", u"C:\\a.txt"});
  EXPECT_EQ(text1.text, kYs);
  tarvik.Form_OLEDragDrop({u"C:\\gone.txt", u"C:\\b.txt"});
  EXPECT_EQ(text1.text, kYs) << "a file that cannot be read keeps the box";
  EXPECT_EQ(sys.shown,
            (Shows{kLonger, ErrorBox("Error: The file could not be loaded. Not found.")}));
}

TEST_F(MainWindowTest, SaveWarnsThenWritesTheTextAndALineEnd) {
  const Shown warning{
      "It is very important to remember or write down the password you used to encrypt the "
      "text. This program will not save the password you used to encrypt the text.",
      16, "Important"};
  Box(u"a\u2400\u0160");
  sys.answers = {u"C:\\out.txt", std::nullopt, std::nullopt};
  EXPECT_EQ(Run("save"), Shows{warning});
  EXPECT_EQ(sys.files.at(u"C:\\out.txt"), "a\0\x8A\r\n"s);
  const platform::FilePickRequest& asked = sys.requests.at(0);
  EXPECT_EQ(std::tuple(asked.kind, asked.title, asked.filter, asked.filterIndex, asked.flags),
            std::tuple(platform::FilePickRequest::Kind::kSaveAs, u"Save Encrypted Text"s,
                       u"Text Files\0*.txt\0All Files\0*.*\0\0"s, 2, 0x2u));  // OVERWRITEPROMPT
  // Then Load starts with no file name, on Save's filter pair; its
  // OFN_FILEMUSTEXIST stays in the property, and Save As does not take it.
  tarvik.Command("load");
  tarvik.Command("save");
  EXPECT_EQ(std::pair(sys.requests[1].file, sys.requests[1].filterIndex), std::pair(u""s, 2));
  EXPECT_EQ(sys.requests[2].flags, 0x2u);

  const std::pair<std::u16string, std::string> refusals[] = {
      {u"x\u03A9",
       "Error: The text contains the character \"\u03A9\" (U+03A9), which this "
       "program cannot save. Nothing was saved."},
      {std::u16string(32767, u'a'),
       "Error: The text is too long to save. It can have at most 32766 characters. Nothing was "
       "saved."}};
  for (const auto& [box, message] : refusals) {
    EXPECT_EQ(Refused("save", box), (Shows{warning, ErrorBox(message)}));
  }
  Box(u"x");
  sys.failure = "The disk is full.";
  sys.answers = {u"C:\\out.txt"};
  EXPECT_EQ(Run("save"),
            (Shows{warning, ErrorBox("Error: The file could not be saved. The disk is full.")}));
  sys.failure.reset();
  sys.answers = {std::nullopt};
  tarvik.Command("save");
  EXPECT_EQ(sys.files, (std::map<std::u16string, std::string>{{u"C:\\out.txt", "a\0\x8A\r\n"s}}))
      << "nothing else written";
}

TEST_F(MainWindowTest, HelpOpensTheCopyThereIsOrTheFixedOneAndSaysWhenItCannot) {
  const std::u16string fixed = u"c:\\windows\\encrypthelp.doc";
  const std::u16string own = u"C:\\Local\\Torvane\\encrypthelp.doc";
  tarvik.Form_Load();  // no guide beside the program: silent, and no copy anywhere
  sys.result = 32;     // the shell cannot open what is not there
  EXPECT_EQ(Run("help1"), Error("Error opening help file."));
  EXPECT_EQ(sys.opened, (std::vector<std::u16string>{fixed, u"c:\\"}));
  EXPECT_TRUE(sys.files.empty());

  sys.files[u"C:\\app\\help.doc"] = "guide";
  sys.folders.erase(u"c:\\windows");
  tarvik.Form_Load();  // the system folder refuses: the user's own copy instead
  tarvik.Form_Load();  // which is the source's already
  EXPECT_EQ(std::pair(sys.copies, sys.files.at(own)), std::pair(1, "guide"s));
  sys.result = 33;
  EXPECT_EQ(Run("help1"), Shows{});
  EXPECT_EQ(sys.opened.at(0), own);
  sys.files[fixed] = "guide";
  tarvik.Command("help1");
  EXPECT_EQ(sys.opened.at(0), fixed);
  // A copy that is the source's already is kept; one that differs is replaced.
  sys.folders.insert(u"c:\\windows");
  tarvik.Form_Load();
  EXPECT_EQ(sys.copies, 1);
  sys.files[fixed] = "an older guide";
  tarvik.Form_Load();
  EXPECT_EQ(std::pair(sys.copies, sys.files.at(fixed)), std::pair(2, "guide"s));
}

TEST_F(MainWindowTest, AboutTakesTheMainWindowsPlaceAndNeverLeavesNoWindow) {
  form.visible = true;
  tarvik.Command("about");
  EXPECT_EQ(std::pair(form.visible, about.visible), std::pair(false, true));
  about.fail = true;
  EXPECT_THROW(tarvik.Command("about"), std::runtime_error);
  EXPECT_TRUE(form.visible);
}

}  // namespace
}  // namespace torvane
