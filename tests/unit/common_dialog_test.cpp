#include "dialog/common_dialog.h"

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "fakes/fake_file_dialog.h"

namespace torvane::dialog {
namespace {

using namespace platform;

using namespace std::string_literals;
using Kind = FilePickRequest::Kind;

TEST(WinFilter, BarsBecomeNulsWithADoubleNulAtTheEnd) {
  EXPECT_EQ(WinFilter("(*.txt)|*.txt|(*.*)|*.*|"), u"(*.txt)\0*.txt\0(*.*)\0*.*\0\0"s);
  EXPECT_EQ(WinFilter("Text Files|*.txt|All Files|*.*|"),
            u"Text Files\0*.txt\0All Files\0*.*\0\0"s);
  // The trailing bar is optional.
  EXPECT_EQ(WinFilter("Text Files|*.txt"), u"Text Files\0*.txt\0\0"s);
  // Descriptions are UTF-8 and come out as UTF-16.
  EXPECT_EQ(WinFilter("Fichiers \xC3\xA9t\xC3\xA9|*.txt;*.asc|"),
            u"Fichiers \u00E9t\u00E9\0*.txt;*.asc\0\0"s);
}

TEST(WinFilter, NoPairsGiveNoFilterAndAnUnpairedDescriptionIsDropped) {
  EXPECT_EQ(WinFilter(""), u"");
  EXPECT_EQ(WinFilter("|"), u"");
  EXPECT_EQ(WinFilter("Lonely|"), u"");
  EXPECT_EQ(WinFilter("A|*.a|B|"), u"A\0*.a\0\0"s);
}

TEST(WinFilter, APairWithAnEmptyHalfIsDroppedAndTheRestKept) {
  // Left in, the empty string would end the dialog's list there.
  EXPECT_EQ(WinFilter("|*.a|B|*.b|"), u"B\0*.b\0\0"s);
  EXPECT_EQ(WinFilter("A||B|*.b"), u"B\0*.b\0\0"s);
  EXPECT_EQ(WinFilter("A|*.a|||C|*.c"), u"A\0*.a\0C\0*.c\0\0"s);
  EXPECT_EQ(WinFilter("||"), u"");
}

TEST(WinFilter, AFieldEndsAtANul) {
  EXPECT_EQ(WinFilter("Te\0xt|*.txt\0junk|"s), u"Te\0*.txt\0\0"s);
  EXPECT_EQ(WinFilter("\0hidden|*.a|B|*.b"s), u"B\0*.b\0\0"s);
  // Nor does an overlong NUL sneak one in.
  EXPECT_EQ(WinFilter("A\xC0\x80|*.a"), u"A\uFFFD\0*.a\0\0"s);
}

class CommonDialogTest : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeFilePicker picker{log};
  CommonDialogControl dialog{picker};
};

TEST_F(CommonDialogTest, ActionShowsTheDialogWithTheSettingsAsTheyStand) {
  dialog.SetDialogTitle("Load");
  dialog.SetFilter("(*.txt)|*.txt|(*.*)|*.*|");
  dialog.SetFilename("");
  dialog.SetFlags(kOfnFileMustExist);
  EXPECT_TRUE(picker.requests.empty()) << "only Action shows the dialog";
  picker.Cancel();
  dialog.SetAction(kActionOpen);

  ASSERT_EQ(picker.requests.size(), 1u);
  const FilePickRequest r = picker.requests[0];  // a copy: the vector grows below
  EXPECT_EQ(r.kind, Kind::kOpen);
  EXPECT_EQ(r.title, u"Load");
  EXPECT_EQ(r.filter, u"(*.txt)\0*.txt\0(*.*)\0*.*\0\0"s);
  EXPECT_TRUE(r.file.empty());
  EXPECT_EQ(r.flags, 4096u);
  EXPECT_EQ(r.filterIndex, 0) << "never set";

  dialog.SetDialogTitle("Save Encrypted Text");
  dialog.SetFilterIndex(2);
  picker.Cancel();
  dialog.SetAction(kActionSaveAs);
  ASSERT_EQ(picker.requests.size(), 2u);
  EXPECT_EQ(picker.requests[1].kind, Kind::kSaveAs);
  EXPECT_EQ(picker.requests[1].title, u"Save Encrypted Text");
  EXPECT_EQ(picker.requests[1].filterIndex, 2);
  EXPECT_EQ(picker.requests[1].filter, r.filter) << "kept from before";
}

TEST_F(CommonDialogTest, ConfirmedChoiceGivesFullPathNameAndFilterInUse) {
  dialog.SetFilter("A|*.a|B|*.b|");
  dialog.SetFilterIndex(2);
  picker.Choose("/home/user/Letters/\u00A7 note.b", 1);
  dialog.SetAction(kActionOpen);
  EXPECT_EQ(dialog.Filename(), "/home/user/Letters/\u00A7 note.b");
  EXPECT_EQ(dialog.FileTitle(), "\u00A7 note.b");
  EXPECT_EQ(dialog.FilterIndex(), 1) << "the user switched to the first pair";
}

TEST_F(CommonDialogTest, CancelEmptiesFileTitleAndKeepsEverythingElse) {
  dialog.SetDialogTitle("T");
  dialog.SetFilter("A|*.a|B|*.b|");
  dialog.SetFilterIndex(2);
  dialog.SetFlags(4096);
  picker.Choose("/d/first.a", 1);
  dialog.SetAction(kActionOpen);
  ASSERT_EQ(dialog.FileTitle(), "first.a");

  picker.Cancel();
  dialog.SetAction(kActionSaveAs);
  EXPECT_TRUE(dialog.FileTitle().empty());
  EXPECT_EQ(dialog.Filename(), "/d/first.a");
  EXPECT_EQ(dialog.FilterIndex(), 1);
  EXPECT_EQ(dialog.Flags(), 4096);
  EXPECT_EQ(dialog.DialogTitle(), "T");
  EXPECT_EQ(dialog.Filter(), "A|*.a|B|*.b|");
  // The next dialog starts with the file chosen before the cancel.
  EXPECT_EQ(picker.requests.back().file, "/d/first.a");
}

TEST_F(CommonDialogTest, FileMustExistIsForOpenAndOverwritePromptForSaveAs) {
  // OFN_FILEMUSTEXIST 0x1000, OFN_OVERWRITEPROMPT 0x2, OFN_NOCHANGEDIR 0x8.
  const struct {
    std::int32_t flags;
    std::uint32_t open, saveAs;
  } cases[] = {{0, 0x0, 0x2}, {0x1000 | 0x8, 0x1000 | 0x8, 0x8 | 0x2}, {0x2, 0x2, 0x2}};
  for (const auto& c : cases) {
    picker.requests.clear();
    dialog.SetFlags(c.flags);
    picker.Cancel();
    dialog.SetAction(kActionSaveAs);
    picker.Cancel();
    dialog.SetAction(kActionOpen);
    ASSERT_EQ(picker.requests.size(), 2u);
    EXPECT_EQ(picker.requests[0].flags, c.saveAs) << c.flags;
    EXPECT_EQ(picker.requests[1].flags, c.open) << c.flags;
    EXPECT_EQ(dialog.Flags(), c.flags) << "the property itself is unchanged";
  }
}

TEST_F(CommonDialogTest, OnlyOpenAndSaveAsAreShown) {
  dialog.SetFilename("/d/keep.txt");
  for (int action : {0, 3, 4, 5, 6, -1}) {
    EXPECT_THROW(dialog.SetAction(static_cast<std::int16_t>(action)), std::invalid_argument)
        << action;
  }
  EXPECT_TRUE(picker.requests.empty());
  EXPECT_EQ(dialog.Filename(), "/d/keep.txt");
}

TEST_F(CommonDialogTest, DialogThatFailsReadsAsCancelled) {
  picker.Choose("/d/a.txt");
  dialog.SetAction(kActionOpen);
  ASSERT_FALSE(dialog.FileTitle().empty());
  // No answer scripted: the fake throws, as a dialog that cannot be shown does.
  EXPECT_THROW(dialog.SetAction(kActionOpen), std::logic_error);
  EXPECT_TRUE(dialog.FileTitle().empty());
  EXPECT_EQ(dialog.Filename(), "/d/a.txt");
}

}  // namespace
}  // namespace torvane::dialog
