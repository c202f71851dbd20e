// The Win32 files layer on its own, against real files.
#include "win32/error.h"
#include "win32/files.h"

#include <gtest/gtest.h>

#include "file_helpers.h"

namespace torvane::e2e {
namespace {

using platform::FileError;

class Win32FilesTest : public TempFolderTest {
 protected:
  win32::Win32Files files;

  // The reason a failing call gives: a sentence, not a code.
  template <typename F>
  std::string ReasonOf(F&& call) {
    try {
      call();
    } catch (const FileError& e) {
      return e.what();
    }
    ADD_FAILURE() << "no FileError";
    return {};
  }
  static void ExpectSentence(const std::string& reason) {
    ASSERT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '\n');
    EXPECT_EQ(reason.find("Windows error"), std::string::npos) << reason;
  }
};

TEST_F(Win32FilesTest, ReadsAtMostTheLimitAndSaysWhetherThereIsMore) {
  const auto file = folder / L"data.bin";
  const std::string bytes = AllCodes() + "\r\n\x1A tail";
  WriteBytes(file, bytes);
  const struct {
    std::size_t max;
    std::string want;
    bool more;
  } cases[] = {{bytes.size() + 10, bytes, false},
               {bytes.size(), bytes, false},
               {bytes.size() - 1, bytes.substr(0, bytes.size() - 1), true},
               {1, bytes.substr(0, 1), true},
               {0, "", true}};
  for (const auto& c : cases) {
    const platform::FirstBytes got = files.ReadFirstBytes(file, c.max);
    EXPECT_EQ(got.bytes, c.want) << c.max;
    EXPECT_EQ(got.more, c.more) << c.max;
  }

  WriteBytes(file, "");
  const platform::FirstBytes empty = files.ReadFirstBytes(file, 32002);
  EXPECT_EQ(empty.bytes, "");
  EXPECT_FALSE(empty.more);

  // More than one read's worth.
  const std::string big = Lines(3 << 20);
  WriteBytes(file, big);
  EXPECT_EQ(files.ReadFirstBytes(file, big.size()).bytes, big);
}

TEST_F(Win32FilesTest, ReadFailuresGiveTheReason) {
  ExpectSentence(ReasonOf([&] { files.ReadFirstBytes(folder / L"missing.txt", 10); }));
  try {
    files.ReadFirstBytes(folder / L"missing.txt", 10);
    ADD_FAILURE() << "a missing file was read";
  } catch (const FileError& e) {
    EXPECT_EQ(e.call(), "CreateFileW");
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  }
  EXPECT_EQ(ReasonOf([&] { files.ReadFirstBytes(folder, 10); }), "It is a folder, not a file.");

  const auto file = folder / L"locked.txt";
  WriteBytes(file, "abc");
  {
    LockedFile lock(file);
    ExpectSentence(ReasonOf([&] { files.ReadFirstBytes(file, 10); }));
  }
  EXPECT_EQ(files.ReadFirstBytes(file, 10).bytes, "abc") << "readable once released";
}

TEST_F(Win32FilesTest, ReplaceCreatesAndReplacesWholeFilesByWideName) {
  const auto file = folder / L"\u03A9mega \u00F1 \u4E2D.txt";
  const std::string first = AllCodes() + "\r\n";
  files.Replace(file, first);
  EXPECT_EQ(ReadBytes(file), first);

  files.Replace(file, "short");  // nothing of the longer file may remain
  EXPECT_EQ(ReadBytes(file), "short");

  const std::string big = Lines((2 << 20) + 7);
  files.Replace(file, big);
  EXPECT_EQ(ReadBytes(file), big);
  files.Replace(file, "");
  EXPECT_EQ(ReadBytes(file), "");

  EXPECT_EQ(Names(), std::vector<std::wstring>{file.filename().wstring()})
      << "no temporary file left behind";

  // Past MAX_PATH (which Windows, unlike Wine, takes only in the \\?\ form).
  auto deep = folder;
  while (deep.native().size() < 300) deep /= std::wstring(60, L'd');
  std::filesystem::create_directories(deep);
  files.Replace(deep / L"deep.txt", "deep");
  files.Replace(deep / L"deep.txt", "deeper");
  EXPECT_EQ(files.ReadFirstBytes(deep / L"deep.txt", 10).bytes, "deeper");
}

TEST_F(Win32FilesTest, ReplaceKeepsTheTargetsAttributesAndClearsAStrayTemporaryFile) {
  // A name of 250 characters: with the suffix, its temporary file's name is
  // cut to 255 characters.
  const std::wstring longName = std::wstring(246, L'n') + L".txt";
  const struct {
    std::wstring target;
    bool exists;
    DWORD attrs;
    std::wstring stray;  // what a killed Save would leave beside it
  } cases[] = {
      {L"hidden.txt", true, FILE_ATTRIBUTE_HIDDEN, L"hidden.txt.torvane.tmp"},
      {L"sys.txt", true, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, L""},
      {L"new.txt", false, 0, L"new.txt.torvane.tmp"},
      {longName, true, 0, std::wstring(243, L'n') + L".torvane.tmp"},
  };
  for (const auto& c : cases) {
    const auto file = folder / c.target;
    if (c.exists) {
      WriteBytes(file, "the old contents\r\n");
      if (c.attrs) {
        ASSERT_TRUE(::SetFileAttributesW(file.c_str(), c.attrs));
      }
    }
    if (!c.stray.empty()) WriteBytes(folder / c.stray, "part of an old sa");
    files.Replace(file, "new");
    EXPECT_EQ(ReadBytes(file), "new") << file;
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(::GetFileAttributesW(file.c_str()) & kept, c.attrs) << file;
    EXPECT_EQ(Names(), std::vector<std::wstring>{c.target}) << "the stray is gone, nothing left";
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(file);
  }
}

TEST_F(Win32FilesTest, ReplaceFailuresLeaveTheTargetWholeAndNoTemporaryFile) {
  const auto file = folder / L"target.txt";
  WriteBytes(file, "the old contents\r\n");
  {
    LockedFile lock(file);
    ExpectSentence(ReasonOf([&] { files.Replace(file, "new"); }));
  }
  EXPECT_EQ(ReadBytes(file), "the old contents\r\n");

  ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ReasonOf([&] { files.Replace(file, "new"); }), "The file is read-only.");
  ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ReadBytes(file), "the old contents\r\n");

  std::filesystem::create_directory(folder / L"sub");
  EXPECT_EQ(ReasonOf([&] { files.Replace(folder / L"sub", "new"); }),
            "It is a folder, not a file.");
  ExpectSentence(ReasonOf([&] { files.Replace(folder / L"no such folder" / L"x.txt", "new"); }));

  EXPECT_EQ(Names().size(), 2u) << "only target.txt and sub";

  // Something in the way of the temporary file that cannot be removed.
  const auto temp = folder / L"target.txt.torvane.tmp";
  std::filesystem::create_directory(temp);
  EXPECT_EQ(ReasonOf([&] { files.Replace(file, "new"); }),
            "A folder named \"target.txt.torvane.tmp\" is in the way.");
  std::filesystem::remove(temp);
  WriteBytes(temp, "held");
  {
    LockedFile lock(temp);
    ExpectSentence(ReasonOf([&] { files.Replace(file, "new"); }));
  }
  EXPECT_EQ(ReadBytes(temp), "held");
  EXPECT_EQ(ReadBytes(file), "the old contents\r\n");
}

TEST_F(Win32FilesTest, ReadsOnlyTheStartOfAGigabyteFile) {
  const auto file = folder / L"huge.bin";
  {
    // Sparse where the file system allows: the test writes no gigabyte.
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 1LL << 30;
    const bool sized = ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
    ::CloseHandle(h);
    ASSERT_TRUE(sized);
  }
  const platform::FirstBytes start = files.ReadFirstBytes(file, 32002);
  EXPECT_EQ(start.bytes, std::string(32002, '\0'));
  EXPECT_TRUE(start.more);
}

// Needs a nearly full file system; scripts/with-full-disk.sh mounts a tiny
// one and names it in TORVANE_FULL_DIR (as root). Skipped elsewhere.
TEST(Win32FilesFullDisk, ReplaceOnAFullDiskLeavesTheTargetWholeAndNoTemporaryFile) {
  const wchar_t* dir = _wgetenv(L"TORVANE_FULL_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "no full file system given (TORVANE_FULL_DIR)";
  const std::filesystem::path folder = dir;
  const auto target = folder / L"target.txt";
  WriteBytes(target, "the old contents\r\n");

  win32::Win32Files files;
  std::string reason;
  try {
    files.Replace(target, std::string(1 << 20, 'x'));  // far more than the disk holds
  } catch (const platform::FileError& e) {
    reason = e.what();
  }
  EXPECT_FALSE(reason.empty()) << "a write past the end of the disk must fail";
  EXPECT_EQ(ReadBytes(target), "the old contents\r\n");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++entries;
  EXPECT_EQ(entries, 1u) << "only target.txt";
  std::filesystem::remove(target);
}

TEST(SystemErrorText, IsTheSystemsSentenceWithoutTheLineEnd) {
  const std::string text = win32::SystemErrorText(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), ' ');
  EXPECT_EQ(win32::SystemErrorText(0x3FFFFFFF), "Windows error 1073741823.");
}

}  // namespace
}  // namespace torvane::e2e
