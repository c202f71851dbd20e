// Files: the Win32 files layer on its own against real files, then Load and
// Save through the real window and the real common dialogs.
#include "win32/files.h"

#include <shlobj.h>

#include "file_helpers.h"

namespace torvane::e2e {
namespace {

using platform::FileError;

// Opened without sharing, as another program holding the file would.
HANDLE Lock(const std::filesystem::path& file) {
  return ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// How a call of the files layer ends: "none", or its error's sentence, call
// and code.
std::string Failure(const std::function<void()>& call) {
  try {
    call();
  } catch (const FileError& e) {
    return e.what() + (" " + e.call() + " ") + std::to_string(e.code());
  }
  return "none";
}

class Win32FilesTest : public testing::Test {
 protected:
  win32::Win32Files files;
  std::filesystem::path folder = FreshFolder();
  const std::filesystem::path file = folder / L"target.txt";
};

TEST_F(Win32FilesTest, ReadsAtMostTheLimitAndSaysWhetherThereIsMore) {
  const std::string bytes("ab\0\xFF\r\n", 6);
  WriteBytes(file, bytes);
  const struct {
    std::size_t max;
    std::string want;
    bool more;
  } rows[] = {{7, bytes, false}, {6, bytes, false}, {5, bytes.substr(0, 5), true}, {0, "", true}};
  for (const auto& row : rows) {
    const platform::FirstBytes got = files.ReadFirstBytes(file.u16string(), row.max);
    EXPECT_EQ(std::pair(got.bytes, got.more), std::pair(row.want, row.more)) << row.max;
  }
  // A failure names the call, its code and the system's sentence for it.
  HANDLE lock = Lock(file);
  for (DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION}) {
    const auto name = code == ERROR_FILE_NOT_FOUND ? folder / L"missing" : file;
    EXPECT_EQ(Failure([&] { files.ReadFirstBytes(name.u16string(), 10); }),
              SystemSentence(code) + " CreateFileW " + std::to_string(code));
  }
  ::CloseHandle(lock);
}

TEST_F(Win32FilesTest, ReplaceIsAllOrNothingAndKeepsTheAttributes) {
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const struct {
    const char* name;
    const char* old;  // none: no file before
    DWORD attributes;
    bool lock;
    const char* after;
    std::string error;
  } rows[] = {
      {"New", nullptr, 0, false, "new", "none"},
      {"Longer", "the old contents", 0, false, "new", "none"},
      {"HiddenSystem", "old", kept, false, "new", "none"},
      {"Locked", "old", 0, true, "old",
       SystemSentence(ERROR_SHARING_VIOLATION) + " CreateFileW 32"},
      {"ReadOnly", "old", FILE_ATTRIBUTE_READONLY, false, "old", "The file is read-only.  0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.old) WriteBytes(file, row.old);
    ::SetFileAttributesW(file.c_str(), row.attributes);
    HANDLE lock = row.lock ? Lock(file) : INVALID_HANDLE_VALUE;
    EXPECT_EQ(Failure([&] { files.Replace(file.u16string(), "new"); }), row.error);
    ::CloseHandle(lock);
    EXPECT_EQ(ReadBytes(file), row.after);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()) & (kept | FILE_ATTRIBUTE_READONLY),
              row.attributes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "left over";
    ::SetFileAttributesW(file.c_str(), 0);
    folder = FreshFolder();
  }
}

TEST_F(Win32FilesTest, ATemporaryFileLeftByAKilledSaveIsClearedByTheNext) {
  WriteBytes(folder / L"target.txt.torvane.tmp", "left behind");
  EXPECT_EQ(Failure([&] { files.Replace(file.u16string(), "new"); }), "none");
  EXPECT_EQ(ReadBytes(file), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// scripts/with-full-disk.sh mounts a nearly full file system and names it in
// TORVANE_FULL_DIR, or says in TORVANE_FULL_DISK_ERROR why it could not.
TEST(Win32FilesFullDisk, ReplaceOnAFullDiskLeavesTheTargetWhole) {
  const char* dir = std::getenv("TORVANE_FULL_DIR");
  ASSERT_TRUE(dir && *dir) << "no full disk (see scripts/with-full-disk.sh): "
                           << std::getenv("TORVANE_FULL_DISK_ERROR");
  const auto target = std::filesystem::path(dir) / L"target.txt";
  WriteBytes(target, "old");
  win32::Win32Files files;
  EXPECT_THROW(files.Replace(target.u16string(), std::string(1 << 20, 'x')), FileError);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "only the target";
  std::filesystem::remove(target);
}

// --- Load and Save through the window ---------------------------------------------------

// How many file types the dialog offers, and the one selected.
std::wstring Filters(HWND dialog) {
  HWND types = ::GetDlgItem(dialog, 0x470);
  return std::to_wstring(Send(types, CB_GETCOUNT)) + L" " + WindowText(types);
}

class FileCommands : public testing::Test {
 protected:
  const std::filesystem::path folder = FreshFolder();
  App app;

  // Save up to its open dialog, through the password warning.
  HWND OpenSave() {
    app.Post("save");
    EXPECT_EQ(app.Answer(),
              L"Important: It is very important to remember or write down the password you used "
              L"to encrypt the text. This program will not save the password you used to encrypt "
              L"the text. (icon), over Torvane");
    return app.WaitFileDialog(L"Save Encrypted Text");
  }
  void Choose(HWND dialog, const std::filesystem::path& file) {
    app.EnterFile(dialog, file.wstring());
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    app.Sync();
    EXPECT_FALSE(app.FindMessageBox());
  }
};

TEST_F(FileCommands, SaveAndLoadTheBoxsBytesAskBeforeReplacingAndCancelChangesNothing) {
  app.SetText("Text1", L"Hi!");
  app.SetText("Text2", L"ab");
  app.Click("Command1");
  EXPECT_EQ(app.Text("Text1"), L"\u0160\u00AAc");  // codes 138, 170, 99 in Windows-1252
  const auto file = folder / L"\x3A9 cipher.txt";
  HWND dialog = OpenSave();
  EXPECT_EQ(Filters(dialog), L"2 All Files");
  Choose(dialog, file);
  EXPECT_EQ(ReadBytes(file), "\x8A\xAA\x63\r\n");

  WriteBytes(file, std::string("\0A\x80\xFF\r\n", 6));
  app.Post("load");
  dialog = app.WaitFileDialog(L"Load");
  EXPECT_EQ(Filters(dialog), L"2 (*.*)") << "after a Save, on its second pair";
  Choose(dialog, file);
  EXPECT_EQ(app.Text("Text1"), L"\u2400A\u20AC\u00FF") << "the line end Save adds comes off";

  // Over an existing file, the dialog asks; No keeps the file, and so does Cancel.
  dialog = OpenSave();
  app.EnterFile(dialog, file.wstring());
  const HWND question = WaitWindow([&] {
    return FindOf(app.ProcessId(), [&](HWND h) { return ::GetWindow(h, GW_OWNER) == dialog; });
  });
  EXPECT_EQ(ReadBox(question).title, L"Save Encrypted Text");
  Press(question, IDNO);
  Press(dialog, IDCANCEL);
  app.Sync();
  EXPECT_FALSE(app.FindMessageBox());
  EXPECT_EQ(ReadBytes(file), std::string("\0A\x80\xFF\r\n", 6));
  EXPECT_EQ(app.Text("Text1"), L"\u2400A\u20AC\u00FF");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// One handler at a time: a drop that comes while Save's warning is up is
// ignored, so the Save writes what the user saw. A close while the overwrite
// question is up ends the program at once and leaves the file as it was.
TEST_F(FileCommands, ADropUnderAQuestionIsIgnoredAndACloseEndsCleanly) {
  const auto target = folder / L"saved.txt", dropped = folder / L"dropped.txt";
  WriteBytes(dropped, "DROPPED TEXT");
  WriteBytes(target, "old");
  app.SetText("Text1", L"MY TEXT TO SAVE");
  app.Post("save");
  const HWND warning =
      WaitWindow([&] { return app.FindMessageBox() ? app.FindMessageBox()->hwnd : nullptr; });
  app.Drop(dropped.wstring());
  app.Sync();
  EXPECT_EQ(app.Text("Text1"), L"MY TEXT TO SAVE");
  Press(warning, IDOK);
  HWND dialog = app.WaitFileDialog(L"Save Encrypted Text");
  app.Drop(dropped.wstring());
  app.Sync();
  app.EnterFile(dialog, target.wstring());
  const HWND question = WaitWindow([&] {
    return FindOf(app.ProcessId(), [&](HWND h) { return ::GetWindow(h, GW_OWNER) == dialog; });
  });
  EXPECT_EQ(app.Text("Text1"), L"MY TEXT TO SAVE");
  ::PostMessageW(app.Main(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(app.WaitForExit(10000)) << "still running, or stopped in a crash";
  EXPECT_EQ(app.ExitCode(), 0u);
  EXPECT_FALSE(::IsWindow(question));
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
}

// A file named on the command line, or dropped on the window, loads.
TEST(OpenedFile, CommandLineAndDroppedFilesLoad) {
  const auto file = FreshFolder() / L"notes \xF1.txt";
  WriteBytes(file, "from outside\x80\r\n");
  EXPECT_EQ(App(L"\"" + file.wstring() + L"\"").Text("Text1"), L"from outside\x20AC");
  App app;
  app.Drop(file.wstring());
  EXPECT_TRUE(WaitFor([&] { return app.Text("Text1") == L"from outside\x20AC"; }));
}

// Wine's dialog copies the built path into a buffer of 260 characters: from
// 260 on, the program says so in the dialog, which stays open.
TEST_F(FileCommands, APathOf260CharactersIsRefusedInTheDialog) {
  const std::wstring base = folder.wstring() + L"\\";
  const std::wstring path = base + std::wstring(260 - base.size(), L'p');
  app.Post("load");
  HWND dialog = app.WaitFileDialog(L"Load");
  app.EnterFile(dialog, path);
  const HWND box = WaitWindow([&] {
    return FindOf(app.ProcessId(), [&](HWND h) { return ::GetWindow(h, GW_OWNER) == dialog; });
  });
  EXPECT_EQ(ReadBox(box).text,
            L"The path is too long: 260 characters, and this dialog takes at "
            L"most 259.\nPlease choose a shorter one.");
  Press(box, IDOK);
  EXPECT_TRUE(::IsWindow(dialog));
  Press(dialog, IDCANCEL);
}

}  // namespace
}  // namespace torvane::e2e
