// Load and Save through the real window and the real common dialogs, and
// files named on the command line or dropped on the window.
#include "file_helpers.h"

namespace torvane::e2e {
namespace {

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
  const HWND question = app.WaitOwnedBy(dialog);
  EXPECT_EQ(ReadBox(question).title, L"Save Encrypted Text");
  Press(question, IDNO);
  Press(dialog, IDCANCEL);
  app.Sync();
  EXPECT_FALSE(app.FindMessageBox());
  EXPECT_EQ(ReadBytes(file), std::string("\0A\x80\xFF\r\n", 6));
  EXPECT_EQ(app.Text("Text1"), L"\u2400A\u20AC\u00FF");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// What the Open dialog refuses itself, with a message of their own, staying
// open: a file to load that is not there, and from 260 characters on a path
// (Wine's dialog copies it into a buffer of 260), typed whole or joined to
// the dialog's folder. The dialog shows no read-only check box, which means
// nothing to this program.
TEST_F(FileCommands, TheOpenDialogRefusesAMissingFileAndAPathOf260) {
  const std::wstring base = folder.wstring() + L"\\";
  const std::wstring tooLong =
      L"The path is too long: 260 characters, and this dialog takes at most 259.\nPlease choose a "
      L"shorter one.";
  const std::pair<std::wstring, std::wstring> rows[] = {
      {base + L"missing.txt", L"File does not exist"},  // Wine's words
      {base + std::wstring(260 - base.size(), L'p'), tooLong},
      // A name alone, joined to the folder with a backslash: 259 fits.
      {std::wstring(259 - base.size(), L'q'), L"File does not exist"},
      {std::wstring(260 - base.size(), L'q'), tooLong},
  };
  // Loaded from the folder, which the dialog shows from now on.
  WriteBytes(folder / L"a.txt", "MY TEXT");
  app.Post("load");
  Choose(app.WaitFileDialog(L"Load"), folder / L"a.txt");
  for (const auto& [path, refusal] : rows) {
    app.Post("load");
    const HWND dialog = app.WaitFileDialog(L"Load");
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, 0x410))) << "the read-only check box";
    app.EnterFile(dialog, path);
    const HWND box = app.WaitOwnedBy(dialog);
    EXPECT_EQ(ReadBox(box).text.substr(0, refusal.size()), refusal);
    Press(box, IDOK);
    EXPECT_TRUE(::IsWindow(dialog));
    Press(dialog, IDCANCEL);
    app.Sync();
    EXPECT_FALSE(app.FindMessageBox());
    EXPECT_EQ(app.Text("Text1"), L"MY TEXT");
  }
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
  const HWND warning = app.WaitMessageBox();
  app.Drop({dropped.wstring()});
  app.Sync();
  EXPECT_EQ(app.Text("Text1"), L"MY TEXT TO SAVE");
  Press(warning, IDOK);
  HWND dialog = app.WaitFileDialog(L"Save Encrypted Text");
  app.Drop({dropped.wstring()});
  app.Sync();
  app.EnterFile(dialog, target.wstring());
  const HWND question = app.WaitOwnedBy(dialog);
  EXPECT_EQ(app.Text("Text1"), L"MY TEXT TO SAVE");
  ::PostMessageW(app.Main(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(app.WaitForExit(10000)) << "still running, or stopped in a crash";
  EXPECT_EQ(app.ExitCode(), 0u);
  EXPECT_FALSE(::IsWindow(question));
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
}

// A file named on the command line loads, once; of files dropped on the window,
// the first. The shell drops only on a window that says it takes files.
TEST(OpenedFile, CommandLineAndDroppedFilesLoad) {
  const auto folder = FreshFolder();
  const auto file = folder / L"notes \xF1.txt", second = folder / L"second.txt";
  WriteBytes(file, "from outside\x80\r\n");
  WriteBytes(second, "the second");
  EXPECT_EQ(App(L"\"" + file.wstring() + L"\"").Text("Text1"), L"from outside\x20AC");
  {
    // Said once: the start loads the file once.
    const App missing(L"\"" + (folder / L"gone.txt").wstring() + L"\"");
    EXPECT_EQ(missing.Answer(),
              L"Error: Error: The file could not be loaded. File not found. (icon), over Torvane");
    EXPECT_FALSE(WaitFor([&] { return missing.FindMessageBox().has_value(); }, 500ms));
  }
  App app;
  EXPECT_TRUE(::GetWindowLongW(app.Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  app.Drop({file.wstring(), second.wstring()});
  EXPECT_TRUE(WaitFor([&] { return app.Text("Text1") == L"from outside\x20AC"; }));
  app.Drop({second.wstring()});
  EXPECT_TRUE(WaitFor([&] { return app.Text("Text1") == L"the second"; })) << "one more drop";
}

}  // namespace
}  // namespace torvane::e2e
