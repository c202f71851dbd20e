#include "about/sys_info.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fakes.h"

namespace torvane {
namespace {

using fakes::FakeFileSearch;

constexpr std::string_view kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::string_view kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// A string value as the system stores it, with its terminating zero.
std::string Stored(std::string_view text) {
  return std::string(text) + '\0';
}

class SysInfoTest : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeRegistry registry{log};
  FakeFileSearch files{log};
  fakes::FakeProcessStarter processes{log};
  fakes::FakeMessageBox messages{log};

  void Run() { StartSysInfo({registry, files, processes, messages}); }

  // A folder at the second location that really holds the tool: the
  // tests that must not reach it set this up too.
  void RegisterWorkingFolder() {
    registry.SetText(kFolderKey, "MSINFO", "D:\\Folder");
    files.entries["D:\\Folder\\MSINFO32.EXE"] = FakeFileSearch::Kind::kNormal;
    processes.programs.insert("D:\\Folder\\MSINFO32.EXE");
  }

  void ExpectStarted(const std::string& program) {
    ASSERT_EQ(processes.attempts.size(), 1u);
    EXPECT_EQ(processes.attempts[0].program, program);
    EXPECT_EQ(processes.attempts[0].windowStyle, 1) << "normal window with the focus";
    EXPECT_TRUE(processes.attempts[0].started);
    EXPECT_TRUE(messages.shown.empty());
  }

  void ExpectUnavailable() {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(messages.shown[0].flags, 0);
    EXPECT_EQ(messages.shown[0].title, "Torvane");
  }

  void ExpectOnlyFirstLocationRead() {
    EXPECT_EQ(registry.openedPaths, std::vector<std::string>{std::string(kToolKey)});
  }

  void TearDown() override {
    // Every key that was opened was closed, once.
    EXPECT_EQ(registry.OpenHandles(), 0u);
    EXPECT_EQ(registry.badHandleUses, 0);
  }
};

TEST_F(SysInfoTest, FirstLocationIsStartedAsItIsWithoutLookingForTheFile) {
  const std::string tool = "C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe";
  registry.SetText(kToolKey, "PATH", tool);
  processes.programs.insert(tool);
  RegisterWorkingFolder();
  Run();
  ExpectStarted(tool);
  EXPECT_TRUE(files.searched.empty());
  ExpectOnlyFirstLocationRead();
}

TEST_F(SysInfoTest, FirstLocationNamingNothingGivesTheMessageAndTheSecondIsNotTried) {
  registry.SetText(kToolKey, "PATH", "C:\\Gone\\msinfo32.exe");
  RegisterWorkingFolder();
  Run();
  ASSERT_EQ(processes.attempts.size(), 1u);
  EXPECT_EQ(processes.attempts[0].program, "C:\\Gone\\msinfo32.exe");
  ExpectUnavailable();
  ExpectOnlyFirstLocationRead();
}

TEST_F(SysInfoTest, SecondLocationIsTheFolderOfTheTool) {
  registry.AddKey(kToolKey);  // the key without its value counts as absent too
  RegisterWorkingFolder();
  Run();
  ExpectStarted("D:\\Folder\\MSINFO32.EXE");
  EXPECT_EQ(files.searched, std::vector<std::string>{"D:\\Folder\\MSINFO32.EXE"});
  EXPECT_EQ(registry.openedPaths,
            (std::vector<std::string>{std::string(kToolKey), std::string(kFolderKey)}));
}

TEST_F(SysInfoTest, FolderEndingInABackslashIsJoinedUnchanged) {
  registry.SetText(kFolderKey, "MSINFO", "D:\\Folder\\");
  files.entries["D:\\Folder\\\\MSINFO32.EXE"] = FakeFileSearch::Kind::kNormal;
  processes.programs.insert("D:\\Folder\\\\MSINFO32.EXE");
  Run();
  ExpectStarted("D:\\Folder\\\\MSINFO32.EXE");
}

TEST_F(SysInfoTest, FolderWithoutANormalToolFileGivesTheMessageAndStartsNothing) {
  using Kind = FakeFileSearch::Kind;
  for (auto kind : {std::optional<Kind>{}, std::optional{Kind::kHidden},
                    std::optional{Kind::kSystem}, std::optional{Kind::kFolder}}) {
    SCOPED_TRACE(kind ? static_cast<int>(*kind) : -1);
    messages.shown.clear();
    files.entries.clear();
    registry.SetText(kFolderKey, "MSINFO", "D:\\Folder");
    if (kind) files.entries["D:\\Folder\\MSINFO32.EXE"] = *kind;
    processes.programs.insert("D:\\Folder\\MSINFO32.EXE");
    Run();
    ExpectUnavailable();
    EXPECT_TRUE(processes.attempts.empty());
  }
}

TEST_F(SysInfoTest, BothLocationsAbsentGiveTheMessage) {
  Run();
  ExpectUnavailable();
  EXPECT_TRUE(processes.attempts.empty());
  EXPECT_TRUE(files.searched.empty());
  EXPECT_EQ(registry.openedPaths,
            (std::vector<std::string>{std::string(kToolKey), std::string(kFolderKey)}));
}

TEST_F(SysInfoTest, KeysAreOpenedReadOnlySoAStandardAccountCanReadThem) {
  const std::string tool = "C:\\Tools\\msinfo32.exe";
  registry.readOnlyAccount = true;
  registry.SetText(kToolKey, "PATH", tool);
  processes.programs.insert(tool);
  Run();
  ExpectStarted(tool);
  ASSERT_FALSE(registry.accessAsked.empty());
  for (auto access : registry.accessAsked) EXPECT_EQ(access, 0x20019u);  // KEY_READ
}

TEST_F(SysInfoTest, ValueOfUpTo1024BytesIsReadALongerOneCountsAsAbsent) {
  // 1023 characters and the terminating zero: exactly the buffer.
  const std::string fits = "C:\\" + std::string(1016, 'a') + ".exe";
  ASSERT_EQ(fits.size() + 1, 1024u);
  registry.SetText(kToolKey, "PATH", fits);
  processes.programs.insert(fits);
  Run();
  ExpectStarted(fits);

  // One byte more, and the first location is passed over for the second.
  processes.attempts.clear();
  registry.SetText(kToolKey, "PATH", fits + "e");
  processes.programs.insert(fits + "e");
  RegisterWorkingFolder();
  Run();
  ExpectStarted("D:\\Folder\\MSINFO32.EXE");
}

TEST_F(SysInfoTest, PathsAsWindowsMayStoreThemExpandableOrQuotedStartTheTool) {
  registry.environment["ProgramFiles"] = "C:\\Program Files";
  const struct {
    const char* name;
    std::uint32_t type;
    std::string value;
    const char* started;
  } cases[] = {
      {"expandable", platform::kRegExpandSz, Stored("%ProgramFiles%\\Tools\\msinfo32.exe"),
       "C:\\Program Files\\Tools\\msinfo32.exe"},
      {"quoted", platform::kRegSz, Stored("\"C:\\Tools\\msinfo32.exe\""),
       "C:\\Tools\\msinfo32.exe"},
      {"expandable and quoted", platform::kRegExpandSz, Stored("\"%ProgramFiles%\\msinfo32.exe\""),
       "C:\\Program Files\\msinfo32.exe"},
      {"plain text is not expanded", platform::kRegSz, Stored("%ProgramFiles%\\msinfo32.exe"),
       "%ProgramFiles%\\msinfo32.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    processes.attempts.clear();
    registry.Set(kToolKey, "PATH", c.type, c.value);
    processes.programs.insert(c.started);
    Run();
    ASSERT_EQ(processes.attempts.size(), 1u);
    EXPECT_EQ(processes.attempts[0].program, c.started);
  }
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(SysInfoTest, SecondLocationFolderExpandableOrQuoted) {
  registry.environment["windir"] = "C:\\Windows";
  for (const auto& [type, folder] :
       {std::pair{platform::kRegExpandSz, Stored("%windir%\\System32")},
        std::pair{platform::kRegSz, Stored("\"C:\\Windows\\System32\"")}}) {
    processes.attempts.clear();
    registry.Set(kFolderKey, "MSINFO", type, folder);
    files.entries["C:\\Windows\\System32\\MSINFO32.EXE"] = FakeFileSearch::Kind::kNormal;
    processes.programs.insert("C:\\Windows\\System32\\MSINFO32.EXE");
    Run();
    ASSERT_EQ(processes.attempts.size(), 1u) << folder;
    EXPECT_EQ(processes.attempts[0].program, "C:\\Windows\\System32\\MSINFO32.EXE");
  }
}

TEST_F(SysInfoTest, ZeroByteValueAtTheFirstLocationGivesTheMessageAtOnce) {
  registry.Set(kToolKey, "PATH", platform::kRegSz, "");
  RegisterWorkingFolder();
  Run();
  ExpectUnavailable();
  EXPECT_TRUE(processes.attempts.empty());
  ExpectOnlyFirstLocationRead();  // and, by TearDown, closed again
}

TEST_F(SysInfoTest, PressingAgainAfterAFailureTriesAgain) {
  Run();
  ExpectUnavailable();
  const std::string tool = "C:\\Tools\\msinfo32.exe";
  registry.SetText(kToolKey, "PATH", tool);
  processes.programs.insert(tool);
  Run();
  ASSERT_EQ(processes.attempts.size(), 1u);
  EXPECT_TRUE(processes.attempts[0].started);
  EXPECT_EQ(messages.shown.size(), 1u);
}

// --- GetKeyValue on its own -------------------------------------------------------

class GetKeyValueTest : public SysInfoTest {
 protected:
  std::string keyVal = "before";
  bool Read() { return GetKeyValue(registry, platform::kHkeyLocalMachine, "K", "V", keyVal); }
};

TEST_F(GetKeyValueTest, TextLosesOnlyItsOneTerminatingZero) {
  registry.Set("K", "V", platform::kRegSz, std::string("abc\0", 4));
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, "abc");

  registry.Set("K", "V", platform::kRegSz, "abc");  // stored without one
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, "abc");

  registry.Set("K", "V", platform::kRegSz, std::string("ab\0\0", 4));
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, std::string("ab\0", 3));

  // 1024 bytes with no zero at all: every one kept.
  registry.Set("K", "V", platform::kRegSz, std::string(1024, 'x'));
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, std::string(1024, 'x'));

  registry.Set("K", "V", platform::kRegSz, "\xE9t\xE9");  // single-byte text as it is
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, "\xE9t\xE9");
}

TEST_F(GetKeyValueTest, NumberBecomesHexFromTheMostSignificantByte) {
  registry.Set("K", "V", platform::kRegDword, std::string("\x78\x56\x34\x12", 4));
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, "&h12345678");

  registry.Set("K", "V", platform::kRegDword, std::string("\x2A\0\0\0", 4));
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, "&h0000002A");

  registry.Set("K", "V", platform::kRegDword, std::string("\xFF\xFE\0\x80", 4));
  EXPECT_TRUE(Read());
  EXPECT_EQ(keyVal, "&h8000FEFF");
}

TEST_F(GetKeyValueTest, OtherTypesAreReadButLeaveTheTextAsItWas) {
  for (auto type : {platform::kRegBinary, platform::kRegMultiSz, 11u}) {
    registry.Set("K", "V", type, std::string("x\0y\0\0", 5));
    keyVal = "before";
    EXPECT_TRUE(Read()) << type;
    EXPECT_EQ(keyVal, "before") << type;
  }
}

TEST_F(GetKeyValueTest, MissingKeyOrValueEmptiesTheText) {
  EXPECT_FALSE(Read());
  EXPECT_EQ(keyVal, "");

  registry.Set("K", "Other", platform::kRegSz, std::string("x\0", 2));
  keyVal = "before";
  EXPECT_FALSE(Read());
  EXPECT_EQ(keyVal, "");
  EXPECT_EQ(log.Count("Registry.CloseKey"), 1u);

  // Another root holds the key; this one does not.
  registry.Set("K", "V", platform::kRegSz, std::string("x\0", 2), 0x80000001);
  keyVal = "before";
  EXPECT_FALSE(Read());
  EXPECT_EQ(keyVal, "");
}

TEST_F(GetKeyValueTest, ValueLongerThanTheBufferCountsAsAbsent) {
  registry.Set("K", "V", platform::kRegSz, std::string(1025, 'x'));
  EXPECT_FALSE(Read());
  EXPECT_EQ(keyVal, "");
}

TEST_F(GetKeyValueTest, ZeroByteValueRaisesAnErrorWithTheKeyClosed) {
  registry.Set("K", "V", platform::kRegSz, "");
  EXPECT_THROW(Read(), std::exception);
  EXPECT_EQ(log.Count("Registry.CloseKey"), 1u);
}

TEST(ConvertKeyValue, ReadsOnlyTheStoredBytesOfTheBuffer) {
  std::string keyVal = "before";
  const std::string buffer = std::string("ab\0cd\0", 6) + std::string(10, 'z');
  ConvertKeyValue(buffer, 3, platform::kRegSz, keyVal);
  EXPECT_EQ(keyVal, "ab");
  ConvertKeyValue(buffer, 5, platform::kRegSz, keyVal);
  EXPECT_EQ(keyVal, std::string("ab\0cd", 5));
  ConvertKeyValue(buffer, 2, platform::kRegDword, keyVal);
  EXPECT_EQ(keyVal, "&h6261");
  ConvertKeyValue(buffer, 1, platform::kRegSz, keyVal);
  EXPECT_EQ(keyVal, "a");
  ConvertKeyValue(std::string(1, '\0'), 1, platform::kRegSz, keyVal);
  EXPECT_EQ(keyVal, "");
}

TEST(ConvertKeyValue, SizeOfZeroOrBeyondTheBufferThrowsAndChangesNothing) {
  std::string keyVal = "before";
  const std::string buffer(8, 'x');
  for (std::uint32_t size : {0u, 9u, 1025u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(size);
    EXPECT_THROW(ConvertKeyValue(buffer, size, platform::kRegSz, keyVal), std::out_of_range);
    EXPECT_THROW(ConvertKeyValue(buffer, size, platform::kRegDword, keyVal), std::out_of_range);
    EXPECT_EQ(keyVal, "before");
  }
  EXPECT_THROW(ConvertKeyValue({}, 1, platform::kRegSz, keyVal), std::out_of_range);
}

}  // namespace
}  // namespace torvane
