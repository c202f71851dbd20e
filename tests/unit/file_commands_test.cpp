#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "tarvik_fixture.h"
#include "main_window/tarvik.h"
#include "text/codepage.h"

namespace torvane {
namespace {

using namespace std::string_literals;
using Kind = platform::FilePickRequest::Kind;

constexpr char kWarning[] =
    "It is very important to remember or write down the password you used to encrypt the text. "
    "This program will not save the password you used to encrypt the text.";
constexpr char16_t kLoadFilter[] = u"(*.txt)\0*.txt\0(*.*)\0*.*\0";
constexpr char16_t kSaveFilter[] = u"Text Files\0*.txt\0All Files\0*.*\0";

std::string AllCodes() {
  std::string s;
  for (int c = 0; c < 256; ++c) s.push_back(static_cast<char>(c));
  return s;
}

class FileCommandsTest : public TarvikTest {
 protected:
  fakes::FakeFilePicker& picker = dialog.picker;
  const std::filesystem::path doc = "/home/ann/Documents/secret letter.txt";

  // The log entries of one object, in order, without its name.
  std::vector<std::string> EntriesOf(const std::string& object) const {
    std::vector<std::string> out;
    for (const auto& e : log.Entries()) {
      if (e.rfind(object + ".", 0) == 0) out.push_back(e.substr(object.size() + 1));
    }
    return out;
  }

  void ExpectError(std::size_t index, const std::string& text) {
    ASSERT_GT(messages.shown.size(), index);
    EXPECT_EQ(messages.shown[index].text, text);
    EXPECT_EQ(messages.shown[index].flags, 64);
    EXPECT_EQ(messages.shown[index].title, "Error");
  }

  // A Load of `bytes` from doc; returns what the box shows.
  std::u16string LoadFile(std::string bytes) {
    files.files[doc] = std::move(bytes);
    picker.Choose(doc);
    window.load_Click();
    return text1.text;
  }
};

// --- Load --------------------------------------------------------------------

TEST_F(FileCommandsTest, LoadSetsTheDialogInOrderAndLeavesFilterIndex) {
  picker.Cancel();
  window.load_Click();
  ExpectTopmostFirst();
  EXPECT_EQ(EntriesOf("CMDialog1"),
            (std::vector<std::string>{"DialogTitle", "Filter", "Filename", "Flags", "Action"}));
  ASSERT_EQ(picker.requests.size(), 1u);
  const auto& r = picker.requests[0];
  EXPECT_EQ(r.kind, Kind::kOpen);
  EXPECT_EQ(r.title, u"Load");
  EXPECT_EQ(r.filter, std::u16string(kLoadFilter, std::size(kLoadFilter)));
  EXPECT_TRUE(r.file.empty());
  EXPECT_EQ(r.flags, 4096u);
}

TEST_F(FileCommandsTest, LoadCancelChangesNothing) {
  text1.text = u"keep me";
  picker.Cancel();
  window.load_Click();
  EXPECT_EQ(text1.text, u"keep me");
  EXPECT_FALSE(log.Contains("Text1.SetText"));
  EXPECT_TRUE(EntriesOf("Files").empty());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FileCommandsTest, LoadPutsEveryByteInTheBoxAsItsCharacter) {
  text1.text = u"old";
  const std::u16string box = LoadFile(AllCodes() + "\r" + "x\n");
  ASSERT_EQ(box.size(), 256u + 3u);
  EXPECT_EQ(box[0], u'\u2400');  // code 0 as the box shows it
  EXPECT_EQ(box[9], u'\t');
  EXPECT_EQ(box[10], u'\n');
  EXPECT_EQ(box[13], u'\r');
  EXPECT_EQ(box[0x41], u'A');
  EXPECT_EQ(box[0x80], u'\u20AC');  // euro sign
  EXPECT_EQ(box[0x81], u'\u0081');  // undefined in Windows-1252: its C1 control
  EXPECT_EQ(box[0x9F], u'\u0178');  // Y with diaeresis
  EXPECT_EQ(box[0xE9], u'\u00E9');
  EXPECT_EQ(box[0xFF], u'\u00FF');
  EXPECT_EQ(box.substr(256), u"\rx\n") << "lone CR and LF stay as they are";
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(log.Contains("Text2.Text")) << "the password is never read";
}

struct LengthCase {
  const char* name;
  std::string file;
  std::string box;
  bool cutMessage;
};

TEST_F(FileCommandsTest, LoadLengthsAndTheTrailingLineEnd) {
  const std::string kFull(32766, 'a');
  const std::vector<LengthCase> cases = {
      {"empty file", "", "", false},
      {"just a line end", "\r\n", "", false},
      {"one line end comes off", "abc\r\n\r\n", "abc\r\n", false},
      {"lone CR stays", "abc\r", "abc\r", false},
      {"lone LF stays", "abc\n", "abc\n", false},
      {"LF CR is no line end", "abc\n\r", "abc\n\r", false},
      {"32001, once past the old limit", std::string(32001, 'a'), std::string(32001, 'a'), false},
      {"32765 and a line end", std::string(32765, 'a') + "\r\n", std::string(32765, 'a'), false},
      {"exactly 32766", kFull, kFull, false},
      {"32766 and the line end Save adds", kFull + "\r\n", kFull, false},
      {"32767", kFull + "b", kFull, true},
      {"32766 and CR", kFull + "\r", kFull, true},
      {"32767 and a line end", kFull + "b\r\n", kFull, true},
      // The line end at bytes 32765-32766 is not the file's end: it stays.
      {"line end inside the cut", std::string(32764, 'a') + "\r\nz",
       std::string(32764, 'a') + "\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    messages.shown.clear();
    text1.text = u"before";
    const std::u16string box = LoadFile(c.file);
    EXPECT_EQ(box, std::u16string(c.box.begin(), c.box.end()));
    if (c.cutMessage) {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].text,
                "The file is longer than 32766 bytes. Only its first 32766 bytes were loaded.");
      EXPECT_EQ(messages.shown[0].flags, 64);
      EXPECT_EQ(messages.shown[0].title, "Torvane");
    } else {
      EXPECT_TRUE(messages.shown.empty());
    }
  }
  // Never more than the limit and the line end is asked of the file.
  EXPECT_EQ(files.lastMaxBytes, 32768u);
}

TEST_F(FileCommandsTest, LoadFailureSaysWhyAndKeepsTheBox) {
  text1.text = u"my unsaved text";
  files.readFailures[doc] = "Access is denied.";
  picker.Choose(doc);
  window.load_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  ExpectError(0, "Error: The file could not be loaded. Access is denied.");
  EXPECT_EQ(text1.text, u"my unsaved text");
  EXPECT_FALSE(log.Contains("Text1.SetText"));

  // A file removed after the choice fails the same way.
  picker.Choose("/gone.txt");
  window.load_Click();
  ExpectError(1, "Error: The file could not be loaded. The file does not exist.");
  EXPECT_EQ(text1.text, u"my unsaved text");
}

// --- Save --------------------------------------------------------------------

TEST_F(FileCommandsTest, SaveWarnsThenSetsTheDialogInOrder) {
  text1.text = u"x";
  picker.Cancel();
  window.save_Click();
  ExpectTopmostFirst();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kWarning);
  EXPECT_EQ(messages.shown[0].flags, 16);
  EXPECT_EQ(messages.shown[0].title, "Important");
  EXPECT_LT(*log.IndexOf("MessageBox.Show"), *log.IndexOf("CMDialog1.DialogTitle"));
  EXPECT_EQ(EntriesOf("CMDialog1"),
            (std::vector<std::string>{"DialogTitle", "Filter", "FilterIndex", "Action"}));
  ASSERT_EQ(picker.requests.size(), 1u);
  const auto& r = picker.requests[0];
  EXPECT_EQ(r.kind, Kind::kSaveAs);
  EXPECT_EQ(r.title, u"Save Encrypted Text");
  EXPECT_EQ(r.filter, std::u16string(kSaveFilter, std::size(kSaveFilter)));
  EXPECT_EQ(r.filterIndex, 2);
}

TEST_F(FileCommandsTest, SaveWarnsEveryTimeAndCancelWritesNothing) {
  text1.text = u"";
  picker.Cancel();
  window.save_Click();
  picker.Cancel();
  window.save_Click();
  EXPECT_EQ(messages.shown.size(), 2u) << "the warning, whatever the box holds, every time";
  EXPECT_TRUE(EntriesOf("Files").empty());
  EXPECT_TRUE(files.files.empty());
}

TEST_F(FileCommandsTest, SaveWritesTheBoxBytesAndALineEndByFullPath) {
  text1.text = u"\u2400a\rb\n\u20AC\u0081\u00FF";
  picker.Choose(doc);
  window.save_Click();
  ASSERT_EQ(files.files.count(doc), 1u);
  EXPECT_EQ(files.files[doc], "\0a\rb\n\x80\x81\xFF\r\n"s);
  EXPECT_EQ(messages.shown.size(), 1u) << "only the warning";
  EXPECT_FALSE(log.Contains("Text2.Text")) << "the password is never read";

  text1.text = u"";
  picker.Choose(doc);
  window.save_Click();
  EXPECT_EQ(files.files[doc], "\r\n") << "an empty box gives just the line end";
}

TEST_F(FileCommandsTest, SaveFailureSaysWhyAndLeavesTheTarget) {
  files.files[doc] = "the old contents";
  files.writeFailures[doc] = "There is not enough space on the disk.";
  text1.text = u"new text";
  picker.Choose(doc);
  window.save_Click();
  ASSERT_EQ(messages.shown.size(), 2u);
  ExpectError(1, "Error: The file could not be saved. There is not enough space on the disk.");
  EXPECT_EQ(files.files.size(), 1u);
  EXPECT_EQ(files.files[doc], "the old contents");
  EXPECT_EQ(text1.text, u"new text");
}

TEST_F(FileCommandsTest, TextSaveCannotWriteIsRefusedBeforeTheDialog) {
  const struct {
    std::u16string box;
    std::string refusal;
  } cases[] = {
      {u"a\u03A9b",
       "Error: The text contains the character \"\u03A9\" (U+03A9), which this program "
       "cannot save. Nothing was saved."},
      {u"x\U0001F600",
       "Error: The text contains the character \"\U0001F600\" (U+1F600), which "
       "this program cannot save. Nothing was saved."},
      // Only another program can put this much in; it would not load back whole.
      {std::u16string(32767, u'a'),
       "Error: The text is too long to save. It can have at most 32766 characters. Nothing was "
       "saved."},
  };
  for (const auto& c : cases) {
    messages.shown.clear();
    text1.text = c.box;
    window.save_Click();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].title, "Important");
    ExpectError(1, c.refusal);
    EXPECT_EQ(text1.text, c.box);
  }
  EXPECT_TRUE(picker.requests.empty()) << "refused before the dialog";
  EXPECT_TRUE(EntriesOf("Files").empty());
}

// --- Files dropped on the window, or named on the command line -------------

TEST_F(FileCommandsTest, ADroppedFileAndACommandLineFileLoadAsLoadDoes) {
  const std::filesystem::path other = "/home/ann/other.txt";
  files.files[doc] = "from the file\r\n";
  files.files[other] = "not this one";
  const auto open = [&](bool dropped) {
    if (dropped) {
      window.Form_OLEDragDrop({doc, other});
    } else {
      program.arguments = {doc, other};
      window.Form_Load();
    }
  };
  for (const bool dropped : {true, false}) {
    SCOPED_TRACE(dropped ? "dropped" : "command line");
    log.Clear();
    text1.text = u"before";
    open(dropped);
    EXPECT_EQ(text1.text, u"from the file") << "the first file, as Load takes it";
    EXPECT_TRUE(messages.shown.empty()) << "no password warning";
    EXPECT_TRUE(picker.requests.empty()) << "no dialog";
    EXPECT_EQ(log.Entries().front(), "Desktop.SetWindowPos");
  }
  // At start the help copy comes first, and the window is shown before the
  // file is read, so that a message about it stands over the window.
  const auto copied = log.IndexOf("Files.Copy");
  const auto shown = log.IndexOf("Form.Show");
  const auto read = log.IndexOf("Files.ReadFirstBytes");
  ASSERT_TRUE(copied && shown && read);
  EXPECT_LT(*copied, *shown);
  EXPECT_LT(*shown, *read);
}

TEST_F(FileCommandsTest, ADroppedFileFollowsLoadsLimitAndFailure) {
  files.files[doc] = std::string(32767, 'a');
  window.Form_OLEDragDrop({doc});
  EXPECT_EQ(text1.text, std::u16string(32766, u'a'));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The file is longer than 32766 bytes. Only its first 32766 bytes were loaded.");

  messages.shown.clear();
  text1.text = u"my unsaved text";
  files.readFailures[doc] = "Access is denied.";
  program.arguments = {doc};
  window.Form_Load();
  ExpectError(0, "Error: The file could not be loaded. Access is denied.");
  EXPECT_EQ(text1.text, u"my unsaved text");
}

// --- Load and Save together --------------------------------------------------

TEST_F(FileCommandsTest, SaveThenLoadGivesBackTheBoxExactly) {
  // Cipher text may end in a line end of its own: only Save's comes off.
  const std::u16string original = text1.text =
      text::BytesToBox(AllCodes() + "\n\r\r\n" + AllCodes() + "\r\n");
  picker.Choose(doc);
  window.save_Click();
  text1.text = u"";
  picker.Choose(doc);
  window.load_Click();
  EXPECT_EQ(text1.text, original);
  EXPECT_EQ(messages.shown.size(), 1u) << "only Save's warning";
}

TEST_F(FileCommandsTest, SettingsCarryOverBetweenTheDialogs) {
  // After a Save, Load opens on its second pair, "(*.*)".
  picker.Choose(doc);
  window.save_Click();
  picker.Cancel();
  window.load_Click();
  ASSERT_EQ(picker.requests.size(), 2u);
  EXPECT_EQ(picker.requests[1].filterIndex, 2);
  EXPECT_TRUE(picker.requests[1].file.empty()) << "Load always starts with no file";

  // After a Load, Save starts with the loaded file's full path, and can still
  // name a new file although Flags keeps Load's file-must-exist.
  const std::filesystem::path other = "/home/ann/other.txt";
  files.files[other] = "loaded";
  picker.Choose(other, 1);
  window.load_Click();
  picker.Cancel();
  window.save_Click();
  ASSERT_EQ(picker.requests.size(), 4u);
  EXPECT_EQ(picker.requests[3].file, other);
  EXPECT_EQ(picker.requests[3].filterIndex, 2);
  EXPECT_EQ(picker.requests[3].flags & 4096u, 0u);
  EXPECT_EQ(dialog.Flags(), 4096);
}

TEST_F(FileCommandsTest, MenuItemsReachTheHandlers) {
  picker.Cancel();
  window.Command("load");
  picker.Cancel();
  window.Command("save");
  ASSERT_EQ(picker.requests.size(), 2u);
  EXPECT_EQ(picker.requests[0].kind, Kind::kOpen);
  EXPECT_EQ(picker.requests[1].kind, Kind::kSaveAs);
  EXPECT_EQ(desktop.setWindowPosCalls.size(), 2u) << "each made the window topmost";
}

}  // namespace
}  // namespace torvane
