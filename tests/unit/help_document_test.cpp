// The start-up copy of the help document and the Help command, over fakes.
#include <cstdint>
#include <string>

#include "tarvik_fixture.h"

namespace torvane {
namespace {

const std::u16string kFixed = u"c:\\windows\\encrypthelp.doc";
const std::u16string kOwnFolder = u"C:\\Users\\ana\\AppData\\Local\\Torvane";
const std::u16string kOwn = u"C:\\Users\\ana\\AppData\\Local\\Torvane\\encrypthelp.doc";
const std::u16string kSource = u"C:\\Program Files\\Torvane\\help.doc";

class HelpDocumentTest : public TarvikTest {
 protected:
  HelpDocumentTest() { desktop.appFolder = std::filesystem::path(u"C:\\Program Files\\Torvane"); }

  void ExpectNoMessage() const { EXPECT_TRUE(messages.shown.empty()); }
  void ExpectHelpError() const {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Error opening help file.");
    EXPECT_EQ(messages.shown[0].title, "Error");
    EXPECT_EQ(messages.shown[0].flags, 64);
  }
};

// --- Start-up copy -------------------------------------------------------------

TEST_F(HelpDocumentTest, StartCopiesTheDocumentBesideTheProgramToTheFixedPath) {
  fileSystem.files[kSource] = "the guide";
  window.Form_Load();
  ASSERT_EQ(fileSystem.copies.size(), 1u);
  EXPECT_EQ(fileSystem.copies[0].source, kSource);
  EXPECT_EQ(fileSystem.copies[0].destination, kFixed);
  EXPECT_EQ(fileSystem.files[kFixed], "the guide");
  EXPECT_TRUE(fileSystem.madeFolders.empty());
  ExpectNoMessage();
  // The copy comes after the window is placed.
  const auto centred = log.IndexOf("Form.SetTop");
  const auto copied = log.IndexOf("Files.Copy");
  ASSERT_TRUE(centred && copied);
  EXPECT_LT(*centred, *copied);
}

TEST_F(HelpDocumentTest, StartReplacesAnOlderCopy) {
  fileSystem.files[kSource] = "new guide";
  fileSystem.files[kFixed] = "old guide";
  window.Form_Load();
  EXPECT_EQ(fileSystem.files[kFixed], "new guide");
  ExpectNoMessage();
}

TEST_F(HelpDocumentTest, FolderTextIsJoinedUnchanged) {
  // A drive's root already ends in a separator: the join doubles it.
  desktop.appFolder = std::filesystem::path(u"D:\\");
  fileSystem.files[u"D:\\\\help.doc"] = "guide at the root";
  window.Form_Load();
  ASSERT_EQ(fileSystem.copies.size(), 1u);
  EXPECT_EQ(fileSystem.copies[0].source, u"D:\\\\help.doc");
  EXPECT_EQ(fileSystem.files[kFixed], "guide at the root");
}

TEST_F(HelpDocumentTest, MissingDocumentIsSilentAndLeavesNoFolderBehind) {
  window.Form_Load();
  ASSERT_EQ(fileSystem.copies.size(), 1u);
  EXPECT_FALSE(fileSystem.IsFile(kFixed));
  EXPECT_TRUE(fileSystem.madeFolders.empty());
  EXPECT_FALSE(fileSystem.IsFile(kOwn));
  ExpectNoMessage();
}

TEST_F(HelpDocumentTest, UnwritableSystemFolderGetsThePerUserCopy) {
  fileSystem.files[kSource] = "guide";
  fileSystem.readOnly.insert(u"c:\\windows");
  window.Form_Load();
  ASSERT_EQ(fileSystem.copies.size(), 2u);
  EXPECT_EQ(fileSystem.copies[0].destination, kFixed);
  EXPECT_EQ(fileSystem.copies[1].source, kSource);
  EXPECT_EQ(fileSystem.copies[1].destination, kOwn);
  ASSERT_EQ(fileSystem.madeFolders.size(), 1u);
  EXPECT_EQ(fileSystem.madeFolders[0], kOwnFolder);
  EXPECT_EQ(fileSystem.files[kOwn], "guide");
  EXPECT_FALSE(fileSystem.IsFile(kFixed));
  ExpectNoMessage();
}

TEST_F(HelpDocumentTest, OtherFailuresOfTheFixedCopyAlsoFallBack) {
  // No c:\windows at all, or a read-only older copy there.
  for (int arrangement = 0; arrangement < 2; ++arrangement) {
    SCOPED_TRACE(arrangement);
    fileSystem.files.clear();
    fileSystem.copies.clear();
    fileSystem.folders = {u"c:\\windows", u"C:\\Users\\ana\\AppData\\Local", kOwnFolder};
    fileSystem.files[kSource] = "guide";
    fileSystem.files[kOwn] = "older own copy";
    if (arrangement == 0) {
      fileSystem.folders.erase(u"c:\\windows");
    } else {
      fileSystem.files[kFixed] = "locked copy";
      fileSystem.readOnly = {kFixed};
    }
    window.Form_Load();
    EXPECT_EQ(fileSystem.files[kOwn], "guide") << "the older per-user copy is replaced";
    ExpectNoMessage();
  }
}

TEST_F(HelpDocumentTest, FailureOfBothCopiesIsSilent) {
  fileSystem.files[kSource] = "guide";
  fileSystem.readOnly = {u"c:\\windows", u"C:\\Users\\ana\\AppData\\Local"};
  EXPECT_NO_THROW(window.Form_Load());
  EXPECT_EQ(fileSystem.copies.size(), 1u) << "the per-user folder could not be made";
  ExpectNoMessage();

  // No local application-data folder known at all.
  fileSystem.readOnly = {u"c:\\windows"};
  fileSystem.localAppData.reset();
  fileSystem.copies.clear();
  EXPECT_NO_THROW(window.Form_Load());
  EXPECT_EQ(fileSystem.copies.size(), 1u);
  ExpectNoMessage();
  EXPECT_EQ(form.left, (desktop.screenWidth - form.width) / 2) << "the window is still centred";
}

// --- Help --------------------------------------------------------------------

TEST_F(HelpDocumentTest, HelpOpensTheFixedCopyThroughTheShell) {
  fileSystem.files[kFixed] = "guide";
  form.handle = 0xBEEF;
  window.help1_Click();
  ExpectTopmostFirst();
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].owner, 0xBEEFu);
  EXPECT_EQ(shell.calls[0].document, kFixed);
  EXPECT_EQ(shell.calls[0].directory, u"c:\\");
  EXPECT_EQ(shell.calls[0].show, 1);
  ExpectNoMessage();
}

TEST_F(HelpDocumentTest, ShellResultOf32OrLessIsAFailure) {
  fileSystem.files[kFixed] = "guide";
  // SE_ERR_NOASSOC is 31, ERROR_FILE_NOT_FOUND 2; a negative value is
  // compared as signed.
  for (std::intptr_t result : {std::intptr_t{32}, std::intptr_t{31}, std::intptr_t{2},
                               std::intptr_t{0}, std::intptr_t{-1}}) {
    SCOPED_TRACE(result);
    messages.shown.clear();
    shell.result = result;
    window.help1_Click();
    ExpectHelpError();
  }
  for (std::intptr_t result : {std::intptr_t{33}, std::intptr_t{42}, std::intptr_t{0x7FFFFFFF}}) {
    SCOPED_TRACE(result);
    messages.shown.clear();
    shell.result = result;
    window.help1_Click();
    ExpectNoMessage();
  }
}

TEST_F(HelpDocumentTest, HelpChoosesTheCopyThatExists) {
  struct Case {
    bool fixed, own;
    std::u16string opened;
  };
  const Case cases[] = {
      {true, true, kFixed},
      {false, true, kOwn},
      {true, false, kFixed},
      {false, false, kFixed},  // neither: the shell says what is wrong
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.fixed) + std::to_string(c.own));
    fileSystem.files.clear();
    shell.calls.clear();
    if (c.fixed) fileSystem.files[kFixed] = "guide";
    if (c.own) fileSystem.files[kOwn] = "guide";
    window.help1_Click();
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].document, c.opened);
  }
}

TEST_F(HelpDocumentTest, NoDocumentAnywhereGivesTheMessage) {
  shell.result = 2;  // what the shell answers for a missing file
  window.Form_Load();
  window.help1_Click();
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].document, kFixed);
  ExpectHelpError();
}

TEST_F(HelpDocumentTest, OlderCopyIsOpenedWhenTheDocumentIsGone) {
  fileSystem.files[kFixed] = "copy from an earlier start";
  window.Form_Load();
  window.help1_Click();
  EXPECT_EQ(fileSystem.files[kFixed], "copy from an earlier start");
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].document, kFixed);
  ExpectNoMessage();
}

TEST_F(HelpDocumentTest, StartThenHelpUsesThePerUserCopyWhenThatIsAllThereIs) {
  fileSystem.files[kSource] = "guide";
  fileSystem.readOnly.insert(u"c:\\windows");
  window.Form_Load();
  window.help1_Click();
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].document, kOwn);
  ExpectNoMessage();
}

}  // namespace
}  // namespace torvane
