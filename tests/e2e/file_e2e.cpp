// Files: the Win32 files layer on its own against real files, then Load and
// Save through the real window and the real common dialogs.
#include "win32/files.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "file_helpers.h"
#include "harness.h"

namespace torvane::e2e {
namespace {

using platform::FileError;

class Win32FilesTest : public TempFolderTest {
 protected:
  win32::Win32Files files;
};

TEST_F(Win32FilesTest, ReadsAtMostTheLimitAndSaysWhetherThereIsMore) {
  const auto file = folder / L"data.bin";
  const std::string bytes("ab\0\xFF\r\n", 6);
  WriteBytes(file, bytes);
  const struct {
    std::size_t max;
    std::string want;
    bool more;
  } rows[] = {{7, bytes, false}, {6, bytes, false}, {5, bytes.substr(0, 5), true}, {0, "", true}};
  for (const auto& row : rows) {
    const platform::FirstBytes got = files.ReadFirstBytes(file, row.max);
    EXPECT_EQ(got.bytes, row.want) << row.max;
    EXPECT_EQ(got.more, row.more) << row.max;
  }
}

TEST_F(Win32FilesTest, AFailedReadNamesTheCallTheCodeAndTheSystemsSentence) {
  const auto locked = folder / L"locked.txt";
  WriteBytes(locked, "abc");
  LockedFile lock(locked);
  const struct {
    const char* name;
    std::filesystem::path file;
    DWORD code;
  } rows[] = {{"missing", folder / L"missing.txt", ERROR_FILE_NOT_FOUND},
              {"locked", locked, ERROR_SHARING_VIOLATION}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      files.ReadFirstBytes(row.file, 10);
      ADD_FAILURE() << "read";
    } catch (const FileError& e) {
      EXPECT_EQ(e.call(), "CreateFileW");
      EXPECT_EQ(e.code(), row.code);
      EXPECT_EQ(e.what(), SystemSentence(row.code));
    }
  }
}

TEST_F(Win32FilesTest, ReplaceIsAllOrNothingAndKeepsTheAttributes) {
  const DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const struct {
    const char* name;
    const char* old;  // none: no file before
    DWORD attributes;
    bool lock;
    const char* after;
    const char* error;  // a sentence of our own, or "" for the system's
  } rows[] = {
      {"New", nullptr, 0, false, "new bytes", nullptr},
      {"Longer", "the old contents", 0, false, "new bytes", nullptr},
      {"Hidden", "old", FILE_ATTRIBUTE_HIDDEN, false, "new bytes", nullptr},
      {"HiddenSystem", "old", hiddenSystem, false, "new bytes", nullptr},
      {"Locked", "old", 0, true, "old", ""},
      {"ReadOnly", "old", FILE_ATTRIBUTE_READONLY, false, "old", "The file is read-only."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto file = folder / L"target.txt";
    if (row.old) WriteBytes(file, row.old);
    if (row.attributes) {
      ASSERT_TRUE(::SetFileAttributesW(file.c_str(), row.attributes));
    }
    std::optional<LockedFile> lock;
    if (row.lock) lock.emplace(file);
    try {
      files.Replace(file, "new bytes");
      EXPECT_EQ(row.error, nullptr) << "no error";
    } catch (const FileError& e) {
      ASSERT_NE(row.error, nullptr) << e.what();
      EXPECT_EQ(e.what(), *row.error ? row.error : SystemSentence(ERROR_SHARING_VIOLATION));
    }
    lock.reset();
    EXPECT_EQ(ReadBytes(file), row.after);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()) & (hiddenSystem | FILE_ATTRIBUTE_READONLY),
              row.attributes);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"target.txt"}) << "nothing left beside it";
    Clear();
    std::filesystem::create_directories(folder);
  }
}

// scripts/with-full-disk.sh mounts a nearly full file system and names it in
// TORVANE_FULL_DIR, or says in TORVANE_FULL_DISK_ERROR why it could not.
TEST(Win32FilesFullDisk, ReplaceOnAFullDiskLeavesTheTargetWhole) {
  const char* dir = std::getenv("TORVANE_FULL_DIR");
  const char* why = std::getenv("TORVANE_FULL_DISK_ERROR");
  ASSERT_TRUE(dir && *dir) << "no full disk: " << (why ? why : "run under scripts/with-full-disk.sh");
  const auto target = std::filesystem::path(dir) / L"target.txt";
  WriteBytes(target, "old");
  win32::Win32Files files;
  EXPECT_THROW(files.Replace(target, std::string(1 << 20, 'x')), FileError);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "only the target";
  std::filesystem::remove(target);
}

// --- Load and Save through the window ---------------------------------------------------

const std::wstring kSave = L"Save Encrypted Text";

std::vector<std::wstring> Filters(HWND dialog) {
  std::vector<std::wstring> out;
  HWND combo = ::GetDlgItem(dialog, 0x470);
  for (LRESULT i = 0, n = Send(combo, CB_GETCOUNT); i < n; ++i) {
    std::wstring item(static_cast<std::size_t>(Send(combo, CB_GETLBTEXTLEN, i)) + 1, L'\0');
    item.resize(static_cast<std::size_t>(
        Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    out.push_back(item);
  }
  return out;
}

class FileCommands : public TempFolderTest {
 protected:
  App app;

  // Save up to its open dialog, through the password warning.
  HWND OpenSave() {
    app.Post("save");
    const MessageBoxSeen warning = app.WaitMessageBox();
    EXPECT_EQ(warning.title, L"Important");
    EXPECT_EQ(warning.text,
              L"It is very important to remember or write down the password you used to encrypt "
              L"the text. This program will not save the password you used to encrypt the text.");
    EXPECT_TRUE(warning.hasIcon);
    EXPECT_EQ(warning.owner, app.Main());
    app.Dismiss(warning);
    return app.WaitFileDialog(kSave);
  }
  void Choose(HWND dialog, const std::filesystem::path& file) {
    app.EnterFile(dialog, file.wstring());
    WaitClosed(dialog);
    app.Sync();
  }
  void Cancel(HWND dialog) {
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitClosed(dialog);
    app.Sync();
  }
};

TEST_F(FileCommands, SaveWritesTheBoxsBytesAndLoadReadsThemBack) {
  app.SetText("Text1", L"Hi!");
  app.SetText("Text2", L"ab");
  app.Click("Command1");
  const auto file = folder / L"\x3A9 cipher.txt";
  HWND dialog = OpenSave();
  EXPECT_EQ(Filters(dialog), (std::vector<std::wstring>{L"Text Files", L"All Files"}));
  EXPECT_EQ(Send(::GetDlgItem(dialog, 0x470), CB_GETCURSEL), 1) << "opens on All Files";
  Choose(dialog, file);
  EXPECT_FALSE(app.FindMessageBox());
  EXPECT_EQ(ReadBytes(file), "\x8A\xAA\x63\r\n");

  WriteBytes(file, std::string("\0A\x80\xFF\r\n", 6));
  app.Post("load");
  dialog = app.WaitFileDialog(L"Load");
  EXPECT_EQ(Filters(dialog), (std::vector<std::wstring>{L"(*.txt)", L"(*.*)"}));
  Choose(dialog, file);
  EXPECT_FALSE(app.FindMessageBox());
  EXPECT_EQ(app.Text("Text1"), L"\x2400" L"A\x20AC\xFF") << "the line end Save adds comes off";
}

TEST_F(FileCommands, OverwriteIsAskedNoKeepsTheFileAndCancelChangesNothing) {
  const auto file = folder / L"a.txt";
  WriteBytes(file, "old");
  app.SetText("Text1", L"new");
  HWND dialog = OpenSave();
  app.EnterFile(dialog, file.wstring());
  HWND prompt = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    prompt = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
    while (prompt && ::GetWindow(prompt, GW_OWNER) != dialog) {
      prompt = ::FindWindowExW(nullptr, prompt, L"#32770", nullptr);
    }
    return prompt && ::IsWindowVisible(prompt);
  })) << "no question over the dialog";
  Send(prompt, WM_NULL);
  EXPECT_EQ(ReadBox(prompt).title, kSave);
  ::PostMessageW(prompt, WM_COMMAND, IDNO, 0);
  WaitClosed(prompt);
  Cancel(dialog);
  EXPECT_EQ(ReadBytes(file), "old");

  app.Post("load");
  Cancel(app.WaitFileDialog(L"Load"));
  EXPECT_FALSE(app.FindMessageBox());
  EXPECT_EQ(app.Text("Text1"), L"new");
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"a.txt"});
}

// --- Opened without a dialog ------------------------------------------------------------

using OpenedFile = TempFolderTest;

TEST_F(OpenedFile, NamedOnTheCommandLineOrDroppedOnTheWindowLoads) {
  const auto file = folder / L"notes \xF1.txt";
  WriteBytes(file, "from outside\x80\r\n");
  {
    App app(L"\"" + file.wstring() + L"\"");
    EXPECT_EQ(app.Text("Text1"), L"from outside\x20AC");
  }
  App app;
  // A DROPFILES block with one wide name, written into the program's memory
  // (Wine takes a plain pointer there as a fixed memory block).
  std::wstring names = file.wstring() + L'\0';
  std::string block(sizeof(DROPFILES), '\0');
  reinterpret_cast<DROPFILES*>(block.data())->pFiles = sizeof(DROPFILES);
  reinterpret_cast<DROPFILES*>(block.data())->fWide = TRUE;
  block.append(reinterpret_cast<const char*>(names.c_str()), (names.size() + 1) * 2);
  HANDLE process = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, app.ProcessId());
  void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(::WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
  ::CloseHandle(process);
  ::PostMessageW(app.Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
  EXPECT_TRUE(WaitFor([&] { return app.Text("Text1") == L"from outside\x20AC"; }));
}

}  // namespace
}  // namespace torvane::e2e
