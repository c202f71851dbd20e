// Load and Save through the real window and the real common dialogs.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <string>

#include "cipher/cipher.h"
#include "file_helpers.h"
#include "harness.h"

namespace torvane::e2e {
namespace {

const std::wstring kLoad = L"Load";
const std::wstring kSave = L"Save Encrypted Text";
const std::wstring kWarning =
    L"It is very important to remember or write down the password you used to encrypt the text. "
    L"This program will not save the password you used to encrypt the text.";

class FileCommands : public TempFolderTest {
 protected:
  App app;

  // Save up to the open Save As dialog, checking the warning on the way.
  HWND OpenSaveDialog() {
    const MessageBoxSeen warning = app.MenuForMessage("save");
    EXPECT_EQ(warning.title, L"Important");
    EXPECT_EQ(warning.text, kWarning);
    EXPECT_TRUE(warning.hasIcon);
    EXPECT_FALSE(app.FindFileDialog(kSave)) << "the warning comes before the dialog";
    app.Dismiss(warning);
    return app.WaitFileDialog(kSave);
  }

  // Save As over an existing file: the dialog asks first, and Yes replaces.
  void ChooseAndReplace(HWND dialog, const std::wstring& path) {
    app.EnterFile(dialog, path);
    app.Dismiss(app.WaitMessageBoxOver(dialog), IDYES);
    WaitClosed(dialog);
  }

  // A confirmed Save or Load that must end without any message.
  void Save(const std::filesystem::path& file) {
    app.ChooseFile(OpenSaveDialog(), file.wstring());
    ExpectQuiet();
  }
  void Load(const std::filesystem::path& file) {
    app.ChooseFile(app.MenuForFileDialog("load", kLoad), file.wstring());
    ExpectQuiet();
  }
  void ExpectQuiet() {
    app.Sync();
    const auto box = app.FindMessageBox();
    EXPECT_FALSE(box.has_value()) << "unexpected: "
                                  << std::string(box->text.begin(), box->text.end());
  }

  // A message after a chosen file: its text starts with `start`.
  void ExpectError(const std::wstring& start) {
    const MessageBoxSeen box = app.WaitMessageBox();
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.text.rfind(start, 0), 0u) << std::string(box.text.begin(), box.text.end());
    EXPECT_GT(box.text.size(), start.size()) << "the reason follows";
    EXPECT_TRUE(box.hasIcon);
    app.Dismiss(box);
  }
};

TEST_F(FileCommands, EncryptSaveLoadDecryptGivesBackEveryCode) {
  const std::string plain = "Dear Ann,\r\n" + AllCodes() + "\r\n" + AllCodes() + "\r\n";
  app.SetText("Text1", Shown(plain));
  app.SetText("Text2", L"pw");
  app.Click("Command1");
  const std::string cipher = Bytes(app.Text("Text1"));
  ASSERT_EQ(cipher, EncryptText(plain, "pw"));

  const auto file = folder / L"\u03A9mega \u00F1 cipher.txt";
  const HWND dialog = OpenSaveDialog();
  EXPECT_EQ(FileTypeIndex(dialog), 1) << "opens on All Files";
  app.ChooseFile(dialog, file.wstring());
  ExpectQuiet();
  EXPECT_EQ(ReadBytes(file), cipher + "\r\n");
  EXPECT_EQ(Names().size(), 1u) << "no temporary file left behind";

  app.SetText("Text1", L"");
  const HWND open = app.MenuForFileDialog("load", kLoad);
  EXPECT_EQ(FileTypeIndex(open), 1) << "after a Save, Load opens on (*.*)";
  app.ChooseFile(open, file.wstring());
  ExpectQuiet();
  EXPECT_EQ(Bytes(app.Text("Text1")), cipher);

  app.Click("Command2");
  EXPECT_EQ(Bytes(app.Text("Text1")), plain);
}

TEST_F(FileCommands, AFullBoxSavesAndLoadsBackWholeAndALongerFileIsCutWithAMessage) {
  const std::string plain = LongText(32766);
  app.SetText("Text1", Shown(plain));
  app.SetText("Text2", L"pw");
  app.Click("Command1");
  const std::string cipher = Bytes(app.Text("Text1"));
  ASSERT_EQ(cipher.size(), 32766u);
  ASSERT_NE(cipher, plain);

  const auto file = folder / L"full.txt";
  Save(file);
  EXPECT_EQ(ReadBytes(file), cipher + "\r\n");
  app.SetText("Text1", L"");
  Load(file);
  EXPECT_EQ(Bytes(app.Text("Text1")), cipher);
  app.Click("Command2");
  EXPECT_EQ(Bytes(app.Text("Text1")), plain);

  const auto longer = folder / L"longer.txt";
  WriteBytes(longer, Lines(32767));
  app.ChooseFile(app.MenuForFileDialog("load", kLoad), longer.wstring());
  const MessageBoxSeen box = app.WaitMessageBox();
  EXPECT_EQ(box.title, L"Torvane");
  EXPECT_EQ(box.text,
            L"The file is longer than 32766 bytes. Only its first 32766 bytes were loaded.");
  EXPECT_TRUE(box.hasIcon);
  app.Dismiss(box);
  EXPECT_EQ(Bytes(app.Text("Text1")), Lines(32766));
}

TEST_F(FileCommands, LockedFileFailsToLoadAndToSaveAndChangesNothing) {
  const auto file = folder / L"locked.txt";
  WriteBytes(file, "the old contents\r\n");
  auto lock = std::make_unique<LockedFile>(file);
  app.SetText("Text1", L"my text");

  app.ChooseFile(app.MenuForFileDialog("load", kLoad), file.wstring());
  ExpectError(L"Error: The file could not be loaded. ");
  EXPECT_EQ(app.Text("Text1"), L"my text");

  ChooseAndReplace(OpenSaveDialog(), file.wstring());
  ExpectError(L"Error: The file could not be saved. ");
  EXPECT_EQ(app.Text("Text1"), L"my text");
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"locked.txt"}) << "no temporary file left behind";
  lock.reset();
  EXPECT_EQ(ReadBytes(file), "the old contents\r\n");
}

TEST_F(FileCommands, CancelInEitherDialogChangesNothing) {
  app.SetText("Text1", L"keep me");
  app.CancelFileDialog(app.MenuForFileDialog("load", kLoad));
  ExpectQuiet();
  EXPECT_EQ(app.Text("Text1"), L"keep me");

  app.CancelFileDialog(OpenSaveDialog());
  ExpectQuiet();
  EXPECT_TRUE(Names().empty()) << "nothing written";
  EXPECT_EQ(app.Text("Text1"), L"keep me");
}

TEST_F(FileCommands, AfterALoadSaveStartsWithThatFileAndCanNameANewOne) {
  const auto loaded = folder / L"loaded.txt";
  WriteBytes(loaded, "first\r\n");
  Load(loaded);
  ASSERT_EQ(app.Text("Text1"), L"first");

  // OK with the name the dialog starts with saves over the loaded file.
  app.SetText("Text1", L"second");
  const HWND dialog = OpenSaveDialog();
  const std::wstring shown = WindowText(FileNameBox(dialog));
  EXPECT_NE(shown.find(L"loaded.txt"), std::wstring::npos);
  ChooseAndReplace(dialog, shown);
  ExpectQuiet();
  EXPECT_EQ(ReadBytes(loaded), "second\r\n");

  // Load's file-must-exist does not keep Save As from naming a new file.
  const auto fresh = folder / L"new.txt";
  Save(fresh);
  EXPECT_EQ(ReadBytes(fresh), "second\r\n");
}

TEST_F(FileCommands, SaveOverAnExistingFileAsksAndNoKeepsIt) {
  const auto file = folder / L"a.txt";
  WriteBytes(file, "old\r\n");
  app.SetText("Text1", L"new");
  for (const int answer : {IDNO, IDYES}) {
    const HWND dialog = OpenSaveDialog();
    app.EnterFile(dialog, file.wstring());
    const MessageBoxSeen prompt = app.WaitMessageBoxOver(dialog);
    EXPECT_EQ(prompt.title, kSave);
    // Windows names the file; Wine's prompt says "File".
    EXPECT_TRUE(prompt.text == L"a.txt already exists.\nDo you want to replace it?" ||
                prompt.text == L"File already exists.\nDo you want to replace it?")
        << std::string(prompt.text.begin(), prompt.text.end());
    EXPECT_TRUE(prompt.hasIcon);
    app.Dismiss(prompt, answer);
    if (answer == IDNO) {
      if (::IsWindow(dialog)) app.CancelFileDialog(dialog);
      ExpectQuiet();
      EXPECT_EQ(ReadBytes(file), "old\r\n");
    } else {
      WaitClosed(dialog);
      ExpectQuiet();
      EXPECT_EQ(ReadBytes(file), "new\r\n");
    }
  }
}

TEST_F(FileCommands, PathTooLongForTheDialogGivesAMessageAndKeepsTheTypedPath) {
  // Files whose full paths have exactly 259 and 342 characters.
  auto dir = folder;
  while (dir.native().size() < 200) dir /= std::wstring(40, L'd');
  const auto deep = dir / std::wstring(40, L'e') / std::wstring(40, L'e');
  std::filesystem::create_directories(deep);
  const auto fits = dir / (std::wstring(259 - dir.native().size() - 5, L'f') + L".txt");
  const auto file = deep / (std::wstring(342 - deep.native().size() - 5, L'f') + L".txt");
  ASSERT_EQ(fits.native().size(), 259u);
  ASSERT_EQ(file.native().size(), 342u);
  WriteBytes(fits, "near\r\n");
  WriteBytes(file, "far away\r\n");
  Load(fits);
  ASSERT_EQ(app.Text("Text1"), L"near") << "the longest path the dialog takes";

  for (const bool save : {false, true}) {
    const HWND dialog = save ? OpenSaveDialog() : app.MenuForFileDialog("load", kLoad);
    app.EnterFile(dialog, file.wstring());
    const MessageBoxSeen box = app.WaitMessageBoxOver(dialog);
    EXPECT_EQ(box.title, save ? kSave : kLoad);
    EXPECT_EQ(box.text,
              L"The path is too long: 342 characters, and this dialog takes at most 259.\n"
              L"Please choose a shorter one.");
    app.Dismiss(box);
    ASSERT_TRUE(app.Running());
    EXPECT_EQ(WindowText(FileNameBox(dialog)), file.wstring()) << "the typed path is kept";
    app.CancelFileDialog(dialog);
    ExpectQuiet();
  }
  EXPECT_EQ(app.Text("Text1"), L"near");
  EXPECT_EQ(ReadBytes(file), "far away\r\n");
}

TEST_F(FileCommands, SaveStillWorksWhenTheLoadedFilesFolderIsGone) {
  const auto sub = folder / L"stick";
  std::filesystem::create_directory(sub);
  WriteBytes(sub / L"a.txt", "abc");
  Load(sub / L"a.txt");
  std::filesystem::remove_all(sub);

  const auto file = folder / L"b.txt";
  Save(file);
  EXPECT_EQ(ReadBytes(file), "abc\r\n");
}

TEST_F(FileCommands, CharacterWithNoCodeRefusesTheSaveBeforeTheDialog) {
  app.SetText("Text1", L"\x3A9");
  const MessageBoxSeen warning = app.MenuForMessage("save");
  ASSERT_EQ(warning.title, L"Important");
  app.Dismiss(warning);
  const MessageBoxSeen box = app.WaitMessageBox();
  EXPECT_EQ(box.title, L"Error");
  EXPECT_EQ(box.text,
            L"Error: The text contains the character \"\x3A9\" (U+03A9), which this program "
            L"cannot save. Nothing was saved.");
  app.Dismiss(box);
  EXPECT_TRUE(Names().empty());
}

// --- Opened without the dialog ---------------------------------------------------

using OpenedFile = TempFolderTest;

TEST_F(OpenedFile, AFileNamedOnTheCommandLineLoadsAtStartAndAMissingOneSaysSo) {
  const auto file = folder / L"notes \u00F1.txt";
  WriteBytes(file, "from the command line\r\n");
  {
    App app(ProgramFolder() + L"\\torvane.exe", L"\"" + file.wstring() + L"\"");
    EXPECT_EQ(app.Text("Text1"), L"from the command line");
    EXPECT_FALSE(app.FindMessageBox().has_value()) << "no password warning";
  }
  App app(ProgramFolder() + L"\\torvane.exe", L"\"" + (folder / L"gone.txt").wstring() + L"\"");
  const MessageBoxSeen box = app.WaitMessageBox();
  EXPECT_EQ(box.title, L"Error");
  EXPECT_EQ(box.text.rfind(L"Error: The file could not be loaded. ", 0), 0u);
  EXPECT_TRUE(::IsWindowVisible(app.Main())) << "the message stands over the window";
  app.Dismiss(box);
  EXPECT_TRUE(app.Running());
}

TEST_F(OpenedFile, DroppedOnTheWindowTheFirstLoads) {
  App app;
  app.SetText("Text1", L"before");
  EXPECT_TRUE(::GetWindowLongW(app.Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  const auto first = folder / L"first.txt", second = folder / L"second.txt";
  WriteBytes(first, "dropped\r\n");
  WriteBytes(second, "not this one");
  app.DropFiles({first.wstring(), second.wstring()});
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (app.Text("Text1") == L"before" && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(app.Text("Text1"), L"dropped");
  EXPECT_FALSE(app.FindMessageBox().has_value());
  EXPECT_TRUE(app.Running());
}

}  // namespace
}  // namespace torvane::e2e
