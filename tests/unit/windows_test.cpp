// Every handler of the two windows, by what it leaves in the fakes.
#include <functional>

#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "about/sys_info.h"
#include "dialog/common_dialog.h"
#include "fakes/fakes.h"
#include "main_window/tarvik.h"

namespace torvane {
namespace {

using namespace platform;
using namespace std::string_literals;
using fakes::Shown;
using Shows = std::vector<Shown>;

const auto ErrorBox = [](std::string text) { return Shown{std::move(text), 64, "Error"}; };

struct WindowsTest : ::testing::Test {
  fakes::FakeForm form, about;
  fakes::FakeTextBox text1, text2;
  fakes::FakeSystem sys;
  dialog::CommonDialogControl cmDialog1{sys};
  Tarvik tarvik{{form, text1, text2}, {sys, sys, about, cmDialog1, sys, sys, sys, sys}};
  FrmAbout frmAbout{{about, form}, {sys, sys, sys, sys, sys}};

  void Box(std::u16string text, std::size_t selStart = 0, std::size_t selLength = 0) {
    text1.text = std::move(text), text1.selStart = selStart, text1.selLength = selLength;
  }
  // The messages a command shows. Every command first puts the window on top
  // again.
  Shows Run(std::string_view command) {
    const int onTop = sys.onTop;
    sys.shown.clear();
    tarvik.Command(command);
    EXPECT_EQ(sys.onTop, onTop + 1) << command;
    return sys.shown;
  }
  // The last message of a command that must leave the box as it was.
  Shown Refused(std::string_view command, std::u16string box, std::u16string password = u"pw") {
    Box(box), text2.text = std::move(password);
    const Shows shown = Run(command);
    EXPECT_EQ(text1.text, box) << command;
    return shown.empty() ? Shown{} : shown.back();
  }
};

TEST_F(WindowsTest, EncryptAndDecryptReplaceTheTextAsOneUndoableEditOrRefuse) {
  Box(u"Hi!"), text2.text = u"ab";
  EXPECT_EQ(Run("Command1"), Shows{});
  EXPECT_EQ(std::pair(text1.text, text1.undo), std::pair(u"Šªc"s, std::optional(u"Hi!"s)))
      << "codes 72+66, 105+65, 33+66";
  text2.text = u"AB";
  EXPECT_EQ(Run("Command2"), Shows{});
  EXPECT_EQ(text1.text, u"Hi!");

  EXPECT_EQ(Refused("Command1", u""), ErrorBox("Error: You have to enter text to encrypt."));
  EXPECT_EQ(Refused("Command1", u"abc", u""), ErrorBox("Error: You have to enter a password."));
  EXPECT_EQ(Refused("Command2", u"aΩ"), ErrorBox("Error: The text contains the character \"Ω\" "
                                                 "(U+03A9), which this program cannot decrypt. "
                                                 "Nothing was changed."));
  EXPECT_EQ(Refused("Command1", u"abc", u"pλ"),
            ErrorBox("Error: The password contains the character \"λ\" (U+03BB), which this "
                     "program cannot use in a password. Nothing was changed."));
  EXPECT_EQ(Refused("Command2", u"abc", u"␀␀␀A"),
            ErrorBox("Error: The password contains the character \"␀\" (U+2400), code 0, which "
                     "this program cannot use in a password. Nothing was changed."));
  EXPECT_EQ(Refused("Command1", std::u16string(32767, u'a')),
            ErrorBox("Error: The text is too long to encrypt. It can have at most 32766 "
                     "characters. Nothing was changed."));
  text1.holds = 2;  // a box that takes less than the whole result
  EXPECT_EQ(Refused("Command2", u"Hi!"), ErrorBox("Error: The text box could not hold the "
                                                  "decrypted text, so the text was put back as it "
                                                  "was."));
}

TEST_F(WindowsTest, EditCommandsWorkOnTheTextBoxWithinItsLimit) {
  using enum BoxRequest;
  Box(u"one two", 4, 3);
  Run("copy");
  EXPECT_EQ(sys.clipboard, u"two");
  Run("cut");  // the whole box goes, as one edit
  EXPECT_EQ(std::pair(text1.text, text1.undo), std::pair(u""s, std::optional(u"one two"s)));
  Box(u"one two", 0, 3), sys.clipboard = u"1";
  Run("paste");
  EXPECT_TRUE(tarvik.FromBox("Text1", kPaste, {}));  // the box's own Ctrl+V takes the same way
  EXPECT_EQ(text1.text, u"11 two");
  text1.selLength = 4;
  EXPECT_TRUE(tarvik.FromBox("Text1", kCut, {}));  // the box's own cut takes only the selection
  EXPECT_EQ(std::pair(text1.text, sys.clipboard), std::pair(u"11"s, u" two"s));
  // Nothing selected: the box does as it always does, and the clipboard stays.
  EXPECT_FALSE(tarvik.FromBox("Text1", kCopy, {}) || tarvik.FromBox("Text1", kCut, {}));
  Run("copy");
  Run("clear");
  EXPECT_EQ(std::tuple(text1.text, text1.undo, sys.clipboard),
            std::tuple(u""s, std::optional(u"11"s), u" two"s));
  // What would take the box past 32766 characters is refused whole.
  Box(std::u16string(32760, u'a'), 10, 4);
  sys.clipboard = std::u16string(10, u'b');  // 32760 - 4 + 10 = 32766: fits
  Run("paste");
  EXPECT_EQ(Run("paste"), Shows{ErrorBox("Error: The text box holds at most 32766 characters, "
                                         "and the pasted text would make it 32776. Nothing was "
                                         "pasted.")});
  EXPECT_TRUE(tarvik.FromBox("Text1", kInsert, u"b"));  // text put in by another route
  EXPECT_EQ(std::pair(text1.text.size(), sys.shown.size()), std::pair(32766ul, 2ul));
  Run("mini");
  Run("exit");
  EXPECT_EQ(std::pair(form.state, sys.ended), std::pair(WindowState::kMinimized, true));
}

// Load, a file dropped on the window and files named on the command line
// follow the same rules, and take the first of several files.
TEST_F(WindowsTest, LoadADropAndTheCommandLineReadTheFirstFileWithoutSavesLineEnd) {
  const std::function<void(const std::vector<Path>&)> ways[] = {
      [&](const auto& files) { sys.answers = {files[0]}, Run("load"); },
      [&](const auto& files) { tarvik.Form_OLEDragDrop(files); },
      [&](const auto& files) { sys.arguments = files, tarvik.Form_Load(); }};
  const std::tuple<std::optional<std::string>, std::u16string, Shows> rows[] = {
      {"a\0\x8A\r\n"s, u"a␀Š", {}},
      {"ab\r", u"ab\r", {}},
      {std::string(32766, 'x') + "\r\n", std::u16string(32766, u'x'), {}},
      {std::string(32767, 'y'),
       std::u16string(32766, u'y'),
       {{"The file is longer than 32766 bytes. Only its first 32766 bytes were loaded.", 64,
         "Torvane"}}},
      {{}, u"kept", {ErrorBox("Error: The file could not be loaded. Not found.")}}};
  for (int way = 0; way < 3; ++way) {
    for (const auto& [file, box, shown] : rows) {
      sys.files = {{u"C:\\b.txt", "b"}};
      if (file) sys.files[u"C:\\a.txt"] = *file;
      Box(u"kept");
      sys.shown.clear(), sys.onTop = 0;
      ways[way]({u"C:\\a.txt", u"C:\\b.txt"});
      EXPECT_EQ(std::tuple(text1.text, sys.shown, sys.onTop), std::tuple(box, shown, 1)) << way;
    }
  }
  EXPECT_TRUE(form.visible) << "the window is shown for a message about the file";
  const FilePickRequest& asked = sys.requests.at(0);
  EXPECT_EQ(std::tuple(asked.kind, asked.title, asked.filter, asked.flags),
            std::tuple(FilePickRequest::Kind::kOpen, u"Load"s, u"(*.txt)\0*.txt\0(*.*)\0*.*\0\0"s,
                       0x1000u));  // OFN_FILEMUSTEXIST
  sys.files[u"C:\\a.txt"] = "changed", sys.answers = {std::nullopt};
  EXPECT_EQ(Run("load"), Shows{});
  EXPECT_EQ(text1.text, u"kept") << "a cancel keeps the box";
}

TEST_F(WindowsTest, SaveWarnsThenWritesTheTextAndALineEnd) {
  const Shown warning{
      "It is very important to remember or write down the password you used to encrypt the "
      "text. This program will not save the password you used to encrypt the text.",
      16, "Important"};
  const std::map<Path, std::string> saved{{u"C:\\out.txt", "a\0\x8A\r\n"s}};
  Box(u"a␀Š");
  sys.answers = {u"C:\\out.txt", std::nullopt, std::nullopt, std::nullopt};
  EXPECT_EQ(Run("save"), Shows{warning});
  EXPECT_EQ(sys.files, saved);
  const FilePickRequest& asked = sys.requests.at(0);
  EXPECT_EQ(std::tuple(asked.kind, asked.title, asked.filter, asked.filterIndex, asked.flags),
            std::tuple(FilePickRequest::Kind::kSaveAs, u"Save Encrypted Text"s,
                       u"Text Files\0*.txt\0All Files\0*.*\0\0"s, 2, 0x2u));  // OVERWRITEPROMPT
  // The next Save starts with the file chosen; Load starts with no file name,
  // on Save's filter pair; its OFN_FILEMUSTEXIST stays in the property, and
  // Save As does not take it.
  Run("save");
  Run("load");
  Run("save");
  EXPECT_EQ(sys.requests[1].file, u"C:\\out.txt");
  EXPECT_EQ(std::pair(sys.requests[2].file, sys.requests[2].filterIndex), std::pair(u""s, 2));
  EXPECT_EQ(sys.requests[3].flags, 0x2u);

  EXPECT_EQ(Refused("save", u"xΩ"), ErrorBox("Error: The text contains the character \"Ω\" "
                                             "(U+03A9), which this program cannot save. Nothing "
                                             "was saved."));
  EXPECT_EQ(Refused("save", std::u16string(32767, u'a')),
            ErrorBox("Error: The text is too long to save. It can have at most 32766 characters. "
                     "Nothing was saved."));
  sys.failure = "The disk is full.";
  sys.answers = {u"C:\\out.txt"};
  EXPECT_EQ(Refused("save", u"x"),
            ErrorBox("Error: The file could not be saved. The disk is full."));
  sys.failure.reset(), sys.answers = {std::nullopt};
  EXPECT_EQ(Run("save"), Shows{warning});
  EXPECT_EQ(sys.files, saved) << "a refusal, a failure or a cancel writes nothing";
  EXPECT_THROW(cmDialog1.SetAction(3), std::invalid_argument);  // neither Open (1) nor Save As (2)
}

TEST_F(WindowsTest, StartCopiesTheHelpThatHelpOpensOrSaysItCannot) {
  const Path fixed = u"c:\\windows\\encrypthelp.doc", own = u"C:\\Local\\Torvane\\encrypthelp.doc";
  tarvik.Form_Load();  // no guide beside the program: silent, and no copy anywhere
  // On top, and centred: (19200 - 4410) / 2, (14400 - 4650) / 2.
  EXPECT_EQ(std::tuple(sys.onTop, form.left, form.top), std::tuple(1, 7395.0f, 4875.0f));
  sys.result = 32;  // the shell cannot open what is not there
  EXPECT_EQ(Run("help1"), Shows{ErrorBox("Error opening help file.")});
  EXPECT_EQ(sys.opened, (std::vector<Path>{fixed, u"c:\\"}));

  sys.files[u"C:\\app\\help.doc"] = "guide";
  sys.folders.erase(u"c:\\windows");
  for (const auto none : {std::optional<Path>(), std::optional<Path>(u"")}) {
    sys.local = none;
    tarvik.Form_Load();  // the system folder refuses, and the user has no own folder: no copy
  }
  EXPECT_EQ(sys.copies, 0);
  sys.local = u"C:\\Local";
  tarvik.Form_Load();  // the system folder refuses: the user's own copy instead
  tarvik.Form_Load();  // which is the source's already
  EXPECT_EQ(std::pair(sys.copies, sys.files.at(own)), std::pair(1, "guide"s));
  sys.result = 33;
  EXPECT_EQ(Run("help1"), Shows{});
  EXPECT_EQ(sys.opened.at(0), own);
  sys.files[fixed] = "guide";
  Run("help1");
  EXPECT_EQ(sys.opened.at(0), fixed);
  // A copy that is the source's already is kept; one that differs is replaced.
  sys.folders.insert(u"c:\\windows");
  tarvik.Form_Load();
  sys.files[u"C:\\app\\help.doc"] = "a newer guide";
  tarvik.Form_Load();
  EXPECT_EQ(std::pair(sys.copies, sys.files.at(fixed)), std::pair(2, "a newer guide"s));
}

TEST_F(WindowsTest, AboutTakesTheMainWindowsPlaceUntilOkOrItsCloseBox) {
  form.visible = true;
  Run("about");
  EXPECT_EQ(std::pair(form.visible, about.visible), std::pair(false, true));
  frmAbout.Command("cmdOK");
  EXPECT_EQ(std::pair(form.visible, about.visible), std::pair(true, false));
  Run("about");
  frmAbout.Form_QueryUnload();
  EXPECT_EQ(std::pair(form.visible, about.visible), std::pair(true, false));
  sys.onTop = 0;
  frmAbout.Form_Load();
  EXPECT_EQ(std::tuple(sys.onTop, about.left, about.top), std::tuple(1, 7395.0f, 4875.0f));
  about.fail = true;  // an About window that cannot be made leaves the main one on screen
  EXPECT_THROW(tarvik.Command("about"), std::runtime_error);
  EXPECT_TRUE(form.visible);
}

// Each row: the first location's value (type, bytes as stored), the second
// location's (empty: none), every start tried with its window style, and the
// messages shown.
TEST_F(WindowsTest, SystemInfoStartsTheToolFromEitherLocationOrSaysItIsUnavailable) {
  const std::string kTools = "SOFTWARE\\Microsoft\\Shared Tools";
  const Shows none{{"System Information Is Unavailable At This Time", 0, "Torvane"}};
  const std::vector<std::string> fromFolder{"D:\\Tools\\MSINFO32.EXE 1"};
  using Value = std::optional<std::pair<std::uint32_t, std::string>>;
  const std::tuple<Value, std::string, std::vector<std::string>, Shows> rows[] = {
      {{{1, "C:\\My Tools\\msinfo.exe\0"s}}, "", {"C:\\My Tools\\msinfo.exe 1"}, {}},
      {{{1, "\"C:\\q.exe\"\0"s}}, "", {"C:\\q.exe 1"}, {}},
      {{{1, "C:\\t.exe"}}, "", {"C:\\t.exe 1"}, {}},                   // stored without its zero
      {{{2, "%WINDIR%\\m.exe\0"s}}, "", {"<%WINDIR%\\m.exe> 1"}, {}},  // expanded
      {{{4, "\x78\x56\x34\x12"s}}, "", {"&h12345678 1"}, {}},  // a number, most significant first
      {{{3, "C:\\b.exe\0"s}}, "", {" 1"}, none},  // raw bytes are not read: nothing to start
      {{{1, "\"\"\0"s}}, "", {" 1"}, none},       // two quotes alone: no path
      {{}, "D:\\Tools\0"s, fromFolder, {}},
      {{}, "\"D:\\Tools\"\0"s, fromFolder, {}},
      {{}, "E:\\Empty\0"s, {}, none},
      {{}, "", {}, none},
      {{{1, std::string(1023, 'x') + '\0'}}, "", {std::string(1023, 'x') + " 1"}, {}},
      {{{1, std::string(1024, 'x') + '\0'}}, "D:\\Tools\0"s, fromFolder, {}},  // too long
      // A value of no bytes, or a tool there that does not start: the first
      // location ends it.
      {{{1, ""}}, "D:\\Tools\0"s, {}, none},
      {{{1, "C:\\gone.exe\0"s}}, "D:\\Tools\0"s, {"C:\\gone.exe 1"}, none},
  };
  sys.normalFiles = {"D:\\Tools\\MSINFO32.EXE"};
  sys.broken = {"C:\\gone.exe", ""};
  for (const auto& [tool, folder, started, shown] : rows) {
    sys.keys.clear(), sys.started.clear(), sys.shown.clear();
    if (tool) sys.keys[kTools + "\\MSINFO"]["PATH"] = *tool;
    if (!folder.empty()) sys.keys[kTools + " Location"]["MSINFO"] = {1, folder};
    frmAbout.Command("cmdSysInfo");
    EXPECT_EQ(std::tuple(sys.started, sys.shown, sys.open), std::tuple(started, shown, 0));
  }
  std::string value;  // a read said to be longer than its buffer is not taken for a value
  EXPECT_THROW(ConvertKeyValue("C:\\t.exe", 9, 1, value), std::out_of_range);
}

}  // namespace
}  // namespace torvane
