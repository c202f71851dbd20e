// Every handler of the main window, over recording fakes.
#include <gtest/gtest.h>

#include "dialog/common_dialog.h"
#include "fakes/fakes.h"
#include "main_window/tarvik.h"

namespace torvane {
namespace {

using namespace std::string_literals;
using Shown = fakes::FakeMessages::Shown;

Shown ErrorBox(std::string text) {
  return {std::move(text), platform::kMbInformation, "Error"};
}

const std::string kWarning =
    "It is very important to remember or write down the password you used to encrypt the text. "
    "This program will not save the password you used to encrypt the text.";

struct MainWindowTest : ::testing::Test {
  fakes::Log log;
  fakes::FakeForm form{log, "Main"};
  fakes::FakeTextBox text1{log, "Text1"}, text2{log, "Text2"};
  fakes::FakeMessages messages{log, "Messages"};
  fakes::FakeDesktop desktop{log, "Desktop"};
  fakes::FakeForm aboutForm{log, "About"};
  fakes::FakeWindowLoader about{log, "AboutLoader", aboutForm};
  fakes::FakeFilePicker picker{log, "Picker"};
  dialog::CommonDialogControl cmDialog1{picker};
  fakes::FakeFiles files{log, "Files"};
  fakes::FakeClipboard clipboard{log, "Clipboard"};
  fakes::FakeProgram program{log, "Program"};
  fakes::FakeShell shell{log, "Shell"};
  Tarvik tarvik{{.form = form, .Text1 = text1, .Text2 = text2},
                {.messages = messages,
                 .desktop = desktop,
                 .about = about,
                 .CMDialog1 = cmDialog1,
                 .files = files,
                 .clipboard = clipboard,
                 .program = program,
                 .shell = shell}};

  void Box(std::u16string text, std::size_t selStart = 0, std::size_t selLength = 0) {
    text1.text = std::move(text), text1.selStart = selStart, text1.selLength = selLength;
  }
};

TEST_F(MainWindowTest, LoadMakesTopmostCentresCopiesHelpThenOpensTheNamedFile) {
  files.files[u"C:\\app\\help.doc"] = "guide";
  program.arguments = {u"C:\\notes.txt"};
  files.files[u"C:\\notes.txt"] = "saved\r\n";
  tarvik.Form_Load();
  EXPECT_EQ(log, (fakes::Log{"Desktop.SetWindowPos", "Main.SetLeft", "Main.SetTop", "Files.Copy",
                             "Main.Show", "Files.Read", "Text1.SetText"}));
  const auto& top = desktop.positions.at(0);
  EXPECT_EQ(top.window, 0x1234u);
  EXPECT_EQ(top.after, platform::kHwndTopmost);
  EXPECT_EQ(top.flags, 3u) << "SWP_NOSIZE | SWP_NOMOVE";
  EXPECT_EQ(form.left, (19200 - 4410) / 2.0f);
  EXPECT_EQ(form.top, (14400 - 4650) / 2.0f);
  EXPECT_EQ(files.files.at(u"c:\\windows\\encrypthelp.doc"), "guide");
  EXPECT_EQ(text1.text, u"saved");
}

TEST_F(MainWindowTest, EveryCommandFirstPutsTheWindowOnTopAgain) {
  picker.answers.assign(4, std::nullopt);
  for (const auto& h : Tarvik::Handlers()) {
    log.clear();
    tarvik.Command(h.name);
    ASSERT_FALSE(log.empty()) << h.name;
    EXPECT_EQ(log.front(), "Desktop.SetWindowPos") << h.name;
  }
}

TEST_F(MainWindowTest, EncryptAndDecryptReplaceTheTextAsOneUndoableEdit) {
  Box(u"Hi!");
  text2.text = u"ab";
  tarvik.Command("Command1");
  EXPECT_EQ(text1.text, u"\u0160\u00AAc") << "codes 138 170 99";
  EXPECT_EQ(text1.undo, u"Hi!");
  text2.text = u"AB";
  tarvik.Command("Command2");
  EXPECT_EQ(text1.text, u"Hi!");
  Box(u"\u2400");  // code 0 with "A": position 0 uses A (65) -> 'A'
  text2.text = u"a";
  tarvik.Command("Command1");
  EXPECT_EQ(text1.text, u"A");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, EncryptAndDecryptRefuseWithAMessageAndChangeNothing) {
  const struct {
    std::string_view name, command;
    std::u16string text, password;
    std::string message;
  } rows[] = {
      {"no text", "Command1", u"", u"pw", "Error: You have to enter text to encrypt."},
      {"no text", "Command2", u"", u"pw", "Error: You have to enter text to decrypt."},
      {"no password", "Command1", u"abc", u"", "Error: You have to enter a password."},
      {"Greek in the text", "Command2", u"a\u03A9", u"pw",
       "Error: The text contains the character \"\u03A9\" (U+03A9), which this program cannot "
       "decrypt. Nothing was changed."},
      {"Greek in the password", "Command1", u"abc", u"p\u03BB",
       "Error: The password contains the character \"\u03BB\" (U+03BB), which this program "
       "cannot use in a password. Nothing was changed."},
      {"code 0 in the password", "Command2", u"abc", u"\u2400\u2400\u2400A",
       "Error: The password contains the character \"\u2400\" (U+2400), code 0, which this "
       "program cannot use in a password. Nothing was changed."},
      {"one past the limit", "Command1", std::u16string(32767, u'a'), u"pw",
       "Error: The text is too long to encrypt. It can have at most 32766 characters. Nothing "
       "was changed."},
  };
  for (const auto& r : rows) {
    Box(r.text);
    text2.text = r.password;
    messages.shown.clear();
    tarvik.Command(r.command);
    EXPECT_EQ(text1.text, r.text) << r.name;
    EXPECT_EQ(messages.shown, std::vector{ErrorBox(r.message)}) << r.name;
  }
  Box(u"abcd");
  text2.text = u"pw";
  text1.limit = 2;  // the box cannot take the result: the text goes back
  messages.shown.clear();
  tarvik.Command("Command1");
  EXPECT_EQ(text1.text, u"abcd");
  EXPECT_EQ(messages.shown,
            std::vector{ErrorBox("Error: The text box could not hold the encrypted text, so the "
                                 "text was put back as it was.")});
}

TEST_F(MainWindowTest, EditCommandsWorkOnTheTextBox) {
  Box(u"one two", 4, 3);
  tarvik.Command("copy");
  EXPECT_EQ(clipboard.text, u"two");
  tarvik.Command("cut");  // the whole box goes, as one edit
  EXPECT_EQ(clipboard.text, u"two");
  EXPECT_EQ(text1.text, u"");
  EXPECT_EQ(text1.undo, u"one two");
  Box(u"one two", 4, 3);
  clipboard.text = u"2";
  tarvik.Command("paste");
  EXPECT_EQ(text1.text, u"one 2");
  using enum platform::BoxRequest;
  EXPECT_TRUE(tarvik.FromBox("Text1", kPaste, {}));  // the box's own Ctrl+V takes the same way
  EXPECT_EQ(text1.text, u"one 22");
  // The box's own copy and cut mark the clipboard as the menu's do; its cut
  // takes only the selection.
  Box(u"one two", 0, 3);
  EXPECT_TRUE(tarvik.FromBox("Text1", kCut, {}));
  EXPECT_EQ(std::pair(text1.text, clipboard.text), std::pair(u" two"s, u"one"s));
  // Nothing selected: the box's own way, which leaves the clipboard.
  EXPECT_FALSE(tarvik.FromBox("Text1", kCopy, {}));
  EXPECT_FALSE(tarvik.FromBox("Text1", kCut, {}));
  EXPECT_EQ(std::pair(text1.text, clipboard.text), std::pair(u" two"s, u"one"s));
  for (auto request : {kCopy, kCut, kPaste, kInsert})
    EXPECT_FALSE(tarvik.FromBox("Text2", request, u"x"));
  // With nothing selected the menu's Copy keeps the clipboard, and its Cut
  // still empties the box.
  tarvik.Command("copy");
  EXPECT_EQ(clipboard.text, u"one");
  tarvik.Command("cut");
  EXPECT_EQ(std::pair(text1.text, clipboard.text), std::pair(u""s, u"one"s));
  EXPECT_EQ(log.end()[-2], "Desktop.SetWindowPos") << "nothing put on the clipboard";
  Box(u"one 22");
  tarvik.Command("clear");
  EXPECT_EQ(text1.text, u"");
  EXPECT_EQ(text1.undo, u"one 22");
  tarvik.Command("mini");
  EXPECT_EQ(form.state, platform::WindowState::kMinimized);
  tarvik.Command("exit");
  EXPECT_EQ(log.back(), "Program.End");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, APastePastTheLimitIsRefusedWhole) {
  Box(std::u16string(32760, u'a'), 10, 4);
  clipboard.text = std::u16string(10, u'b');  // 32760 - 4 + 10 = 32766: fits
  tarvik.Command("paste");
  EXPECT_EQ(text1.text.size(), 32766u);
  text1.selLength = 0;
  clipboard.text = u"b";
  tarvik.Command("paste");
  EXPECT_EQ(text1.text.size(), 32766u);
  // Text put in by another route follows the same rule.
  EXPECT_TRUE(tarvik.FromBox("Text1", platform::BoxRequest::kInsert, u"bb"));
  EXPECT_EQ(text1.text.size(), 32766u);
  EXPECT_EQ(messages.shown,
            (std::vector{ErrorBox("Error: The text box holds at most 32766 characters, and the "
                                  "pasted text would make it 32767. Nothing was pasted."),
                         ErrorBox("Error: The text box holds at most 32766 characters, and the "
                                  "inserted text would make it 32768. Nothing was inserted.")}));
  text1.text.resize(32765);
  EXPECT_TRUE(tarvik.FromBox("Text1", platform::BoxRequest::kInsert, u"b"));
  EXPECT_EQ(text1.text.size(), 32766u);
}

TEST_F(MainWindowTest, LoadReadsTheChosenFileWithoutSavesLineEnd) {
  const struct {
    std::string_view name;
    std::string file;
    std::u16string box;
    std::vector<Shown> shown;
  } rows[] = {
      {"a saved text", "a\0\x8A\r\n"s, u"a\u2400\u0160", {}},
      {"no line end", "ab\r", u"ab\r", {}},
      {"a full box", std::string(32766, 'x') + "\r\n", std::u16string(32766, u'x'), {}},
      {"longer",
       std::string(32767, 'y'),
       std::u16string(32766, u'y'),
       {{"The file is longer than 32766 bytes. Only its first 32766 bytes were loaded.",
         platform::kMbInformation, "Torvane"}}},
  };
  for (const auto& r : rows) {
    files.files[u"C:\\in.txt"] = r.file;
    picker.answers = {platform::Path(u"C:\\in.txt")};
    messages.shown.clear();
    tarvik.Command("load");
    EXPECT_EQ(text1.text, r.box) << r.name;
    EXPECT_EQ(messages.shown, r.shown) << r.name;
  }
  const platform::FilePickRequest& asked = picker.requests.at(0);
  EXPECT_EQ(asked.kind, platform::FilePickRequest::Kind::kOpen);
  EXPECT_EQ(asked.title, u"Load");
  EXPECT_EQ(asked.filter, u"(*.txt)\0*.txt\0(*.*)\0*.*\0\0"s);
  EXPECT_EQ(asked.flags, 0x1000u) << "OFN_FILEMUSTEXIST";

  files.files[u"C:\\in.txt"] = "changed";
  picker.answers = {std::nullopt};
  tarvik.Command("load");
  files.failure = "Access is denied.";
  picker.answers = {platform::Path(u"C:\\in.txt")};
  tarvik.Command("load");
  EXPECT_EQ(text1.text, std::u16string(32766, u'y')) << "a cancel or a failure keeps the box";
  EXPECT_EQ(messages.shown.back(),
            ErrorBox("Error: The file could not be loaded. Access is denied."));
}

TEST_F(MainWindowTest, ADroppedFileLoadsTheFirst) {
  files.files[u"C:\\a.txt"] = "A";
  tarvik.Form_OLEDragDrop({u"C:\\a.txt", u"C:\\b.txt"});
  EXPECT_EQ(text1.text, u"A");
}

TEST_F(MainWindowTest, SaveWarnsThenWritesTheTextAndALineEnd) {
  Box(u"a\u2400\u0160");
  picker.answers = {platform::Path(u"C:\\out.txt")};
  tarvik.Command("save");
  EXPECT_EQ(messages.shown, (std::vector<Shown>{{kWarning, platform::kMbCritical, "Important"}}));
  EXPECT_EQ(files.files.at(u"C:\\out.txt"), "a\0\x8A\r\n"s);
  const platform::FilePickRequest& asked = picker.requests.at(0);
  EXPECT_EQ(asked.kind, platform::FilePickRequest::Kind::kSaveAs);
  EXPECT_EQ(asked.title, u"Save Encrypted Text");
  EXPECT_EQ(asked.filter, u"Text Files\0*.txt\0All Files\0*.*\0\0"s);
  EXPECT_EQ(asked.filterIndex, 2);
  EXPECT_EQ(asked.flags, 0x2u) << "OFN_OVERWRITEPROMPT";
  picker.answers = {std::nullopt, std::nullopt};
  tarvik.Command("load");  // Load's OFN_FILEMUSTEXIST stays behind in the property
  tarvik.Command("save");
  EXPECT_EQ(picker.requests.back().flags, 0x2u) << "but Save As does not take it";

  const struct {
    std::string_view name;
    std::u16string box;
    std::optional<std::string> failure;
    std::string message;
  } refusals[] = {
      {"Greek",
       u"x\u03A9",
       {},
       "Error: The text contains the character \"\u03A9\" (U+03A9), which this program cannot "
       "save. Nothing was saved."},
      {"too long",
       std::u16string(32767, u'a'),
       {},
       "Error: The text is too long to save. It can have at most 32766 characters. Nothing was "
       "saved."},
      {"a failure", u"x", "The disk is full.",
       "Error: The file could not be saved. The disk is full."},
  };
  for (const auto& r : refusals) {
    Box(r.box);
    files.failure = r.failure;
    picker.answers = {platform::Path(u"C:\\out.txt")};
    messages.shown.clear();
    tarvik.Command("save");
    EXPECT_EQ(messages.shown.back(), ErrorBox(r.message)) << r.name;
    EXPECT_EQ(files.files.at(u"C:\\out.txt"), "a\0\x8A\r\n"s) << r.name;
  }
  files.failure.reset();
  picker.answers = {std::nullopt};
  tarvik.Command("save");
  EXPECT_EQ(files.files.size(), 1u) << "a cancel writes nothing";
}

TEST_F(MainWindowTest, HelpOpensTheFixedCopyOrTheUsersOwn) {
  const std::u16string fixed = u"c:\\windows\\encrypthelp.doc";
  const std::u16string own = u"C:\\Users\\ana\\AppData\\Local\\Torvane\\encrypthelp.doc";
  files.files[u"C:\\app\\help.doc"] = "guide";
  files.readOnly = {u"c:\\windows"};
  tarvik.Form_Load();  // the system folder refuses: the user's own copy instead
  EXPECT_EQ(files.files.count(fixed), 0u);
  EXPECT_EQ(files.files.at(own), "guide");
  tarvik.Command("help1");
  EXPECT_EQ(shell.opened, (std::vector<std::u16string>{own, u"c:\\"}));
  EXPECT_EQ(log.back(), "Shell.Open 1");
  files.files[fixed] = "guide";
  tarvik.Command("help1");
  EXPECT_EQ(shell.opened.at(0), fixed);
  EXPECT_TRUE(messages.shown.empty());

  for (std::intptr_t result : {0, 2, 31, 32}) {
    shell.result = result;
    tarvik.Command("help1");
  }
  EXPECT_EQ(messages.shown, std::vector(4, ErrorBox("Error opening help file.")));

  // A copy that is the source's already is kept; one that differs is replaced.
  const auto copies = [&] { return std::count(log.begin(), log.end(), "Files.Copy"); };
  for (const auto& [copy, want] : {std::pair{"guide", 0}, std::pair{"an older guide", 1}}) {
    files.readOnly.clear();
    files.files[fixed] = copy;
    log.clear();
    tarvik.Form_Load();
    EXPECT_EQ(copies(), want) << copy;
    EXPECT_EQ(files.files.at(fixed), "guide");
  }
  files.readOnly = {u"c:\\windows"};
  files.files.erase(fixed);
  log.clear();
  tarvik.Form_Load();  // the user's own copy is the source's already
  EXPECT_EQ(copies(), 1) << "only the refused copy to the system folder";
}

TEST_F(MainWindowTest, AboutTakesTheMainWindowsPlaceAndNeverLeavesNoWindow) {
  form.visible = true;
  tarvik.Command("about");
  EXPECT_FALSE(form.visible);
  EXPECT_TRUE(aboutForm.visible);
  about.fail = true;
  form.visible = true;
  EXPECT_THROW(tarvik.Command("about"), std::runtime_error);
  EXPECT_TRUE(form.visible);
}

}  // namespace
}  // namespace torvane
