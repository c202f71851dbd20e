// System Info through the registry and process start, and Help through the
// shell, with the Wine prefix's real registry, files and shell.
#include "about/frm_about.h"
#include "file_helpers.h"
#include "hooks.h"
#include "win32/system/launcher.h"

#include <tlhelp32.h>

#include <tuple>

TORVANE_IMPORT_SLOT(MultiByteToWideChar, 24);

namespace torvane::e2e {
namespace {

// A code page in which the text given is not text: under Wine's 1252 every
// byte is a character, but in a double-byte one a lead byte at the end is
// none.
int WINAPI NotText(UINT page, DWORD flags, LPCCH s, int n, LPWSTR out, int room) {
  if (!(flags & MB_ERR_INVALID_CHARS))
    return system_MultiByteToWideChar(page, flags, s, n, out, room);
  ::SetLastError(ERROR_NO_UNICODE_TRANSLATION);
  return 0;
}

namespace fs = std::filesystem;

void SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text,
              DWORD type = REG_SZ) {
  ::RegSetKeyValueW(root, key.c_str(), name, type, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// What came of a command: the record of the stub that ran, or the message
// box shown, with the caption of the window that owns it.
std::wstring Outcome(const App& app, std::initializer_list<fs::path> stubs) {
  std::optional<MessageBoxSeen> box;
  std::wstring ran;
  WaitFor([&] {
    ran.clear();
    for (const auto& stub : stubs) {  // the stub's record: its show flag and command line
      const std::string b = ReadBytes(stub.wstring() + L".ran");
      ran += std::wstring(reinterpret_cast<const wchar_t*>(b.data()), b.size() / 2);
    }
    return !ran.empty() || (box = app.FindMessageBox());
  });
  if (!box) return ran;
  app.Dismiss(*box);
  return Describe(*box);
}

const std::wstring kToolKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::wstring kFolderKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";

void DeleteKeys(std::initializer_list<std::wstring> keys) {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    for (const auto& key : keys) ::RegDeleteTreeW(root, key.c_str());
  }
}

// A path read from the registry that is not text of the system's code page
// is neither looked for nor started, and the user is told why.
TEST(SysInfo, APathThatIsNotTextOfTheCodePageIsRefused) {
  const Hook codePage(importSlot_MultiByteToWideChar, &NotText);
  const std::function<void()> uses[] = {
      [] { win32::Win32FileSearch().IsNormalFile("C:\\msinfo32.exe"); },
      [] { win32::Win32ProcessStarter().Start("C:\\msinfo32.exe", SW_SHOWNORMAL); }};
  for (const auto& use : uses) {
    std::string said = "none";
    try {
      use();
    } catch (const platform::StartError& e) {
      said = e.what() + (" " + e.call() + " ") + std::to_string(e.code());
    }
    EXPECT_EQ(said, "the path is not text of this system's code page MultiByteToWideChar 1113");
  }
}

TEST(SysInfo, StartsTheProgramNamedUnderTheMachineKeyOrSaysItCannot) {
  const fs::path folder = FreshFolder();
  const fs::path tool = folder / L"sys info" / L"msinfo tool.exe";
  const fs::path inFolder = folder / L"tool folder" / L"MSINFO32.EXE";
  const fs::path decoy = folder / L"decoy" / L"MSINFO32.EXE";
  ::SetEnvironmentVariableW(L"TORVANE_TOOLS", tool.parent_path().c_str());
  const std::wstring unavailable =
      L"Torvane: System Information Is Unavailable At This Time, over About";
  const struct {
    const char* name;
    std::wstring path, toolFolder;  // the two values, empty when not there
    std::wstring outcome;
    DWORD type = REG_SZ;  // of the path
  } rows[] = {
      {"Path", tool.wstring(), L"", L"show=1\n\"" + tool.wstring() + L"\""},
      {"Folder", L"", inFolder.parent_path().wstring(), L"show=1\n\"" + inFolder.wstring() + L"\""},
      {"PathToNoFile", (folder / L"missing.exe").wstring(), L"", unavailable},
      // Expanded from the environment, which the program has from this one.
      {"ExpandablePath", L"%TORVANE_TOOLS%\\msinfo tool.exe", L"",
       L"show=1\n\"" + tool.wstring() + L"\"", REG_EXPAND_SZ},
      // The path is read into 1024 bytes, one a character and a zero at the
      // end: 1023 characters are read (and name no program), 1024 count as
      // no value, so the folder is tried.
      {"PathOf1023Characters", std::wstring(1023, L'x'), inFolder.parent_path().wstring(),
       unavailable},
      {"PathOf1024Characters", std::wstring(1024, L'x'), inFolder.parent_path().wstring(),
       L"show=1\n\"" + inFolder.wstring() + L"\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FreshFolder();
    for (const fs::path& stub : {tool, inFolder, decoy}) {
      fs::create_directories(stub.parent_path());
      fs::copy_file(fs::path(ProgramFolder()) / L"stub.exe", stub);
    }
    DeleteKeys({kToolKey, kFolderKey});
    // The same values under the user's key name a decoy: only the machine's
    // root finds the right one.
    SetValue(HKEY_CURRENT_USER, kToolKey, L"PATH", decoy.wstring());
    SetValue(HKEY_CURRENT_USER, kFolderKey, L"MSINFO", decoy.parent_path().wstring());
    if (!row.path.empty()) SetValue(HKEY_LOCAL_MACHINE, kToolKey, L"PATH", row.path, row.type);
    if (!row.toolFolder.empty()) {
      SetValue(HKEY_LOCAL_MACHINE, kFolderKey, L"MSINFO", row.toolFolder);
    }
    App app;
    app.Click("about");
    const HWND about = FindTopLevel(app.ProcessId(), L"TorvaneAbout");
    const int id = *platform::ControlId(FrmAbout::Layout(), "cmdSysInfo");
    // A second click while the first one's message is up is ignored.
    for (int click = 0; click < (row.outcome == unavailable ? 2 : 1); ++click) {
      ::PostMessageW(about, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(about, id)));
    }
    EXPECT_EQ(Outcome(app, {tool, inFolder, decoy}), row.outcome);
    ::Sleep(100);
    app.Sync();
    EXPECT_FALSE(app.FindMessageBox());
  }
  DeleteKeys({kToolKey, kFolderKey});
}

// The About window's close box, Enter and Esc act as OK: the window is kept
// for the next time and the main window comes back. The main window's close
// box, Alt+F4 and File > Exit end the program, also after the About window
// was shown.
TEST(Closing, TheAboutWindowsCloseBoxBringsBackTheMainWindowWhoseCloseEndsTheProgram) {
  // How the About window is left (its close box, or Enter or Esc, which the
  // dialog manager makes its OK), and how the main window is closed.
  const std::tuple<const char*, std::function<void(HWND)>, std::function<void(App&)>> ways[] = {
      {"close box", [](HWND about) { ::PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); },
       [](App& app) { ::PostMessageW(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Enter, Alt+F4", [](HWND about) { ::PostMessageW(about, WM_KEYDOWN, VK_RETURN, 1); },
       [](App& app) {
         app.Keys("Text1", {VK_MENU, VK_F4});
       }},
      {"Esc, File > Exit", [](HWND about) { ::PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 1); },
       [](App& app) { app.Post("exit"); }},
  };
  for (const auto& [name, leave, close] : ways) {
    SCOPED_TRACE(name);
    App app;
    app.Click("about");
    HWND about = FindTopLevel(app.ProcessId(), L"TorvaneAbout");
    ASSERT_TRUE(about);
    leave(about);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(app.Main()) != FALSE; }));
    EXPECT_TRUE(::IsWindow(about));
    EXPECT_FALSE(::IsWindowVisible(about));
    close(app);
    EXPECT_TRUE(app.WaitForExit(10000)) << "still running";
    EXPECT_EQ(app.ExitCode(), 0u);
  }
}

// The tests' own .doc association, whatever the prefix had: in the user's
// classes, which Windows reads first, and the machine's, which Wine 8 reads.
// Whether the process has loaded the DLL of that name.
bool HasLoaded(DWORD pid, const wchar_t* dll) {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  bool found = false;
  for (BOOL more = ::Module32FirstW(snapshot, &module); more && !found;
       more = ::Module32NextW(snapshot, &module)) {
    found = ::lstrcmpiW(module.szModule, dll) == 0;
  }
  ::CloseHandle(snapshot);
  return found;
}

// Where the system folder refuses the copy (a folder stands in its way),
// the guide goes to the user's own folder, found without the shell: shell32
// stays unloaded at rest, as on a standard account.
TEST(Help, OpensTheCopiedGuideWithItsProgramOrSaysItCannot) {
  const std::wstring fixed = L"c:\\windows\\encrypthelp.doc", doc = L"Software\\Classes\\.doc";
  const std::wstring type = L"Software\\Classes\\TorvaneTest.Document";
  const fs::path stub = fs::path(ProgramFolder()) / L"stub.exe";
  wchar_t local[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  const std::wstring own = std::wstring(local) + L"\\Torvane\\encrypthelp.doc";
  const struct {
    const char* name;
    bool withProgram, refused, noEnvironment;  // the last: no LOCALAPPDATA, the shell's answer
  } rows[] = {{"program", true, false, false},
              {"no program", false, false, false},
              {"refused", true, true, false},
              {"refused, no LOCALAPPDATA", true, true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteKeys({doc, type});
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      SetValue(root, doc, nullptr, L"TorvaneTest.Document");
      if (row.withProgram) {
        SetValue(root, type + L"\\shell\\open\\command", nullptr,
                 L"\"" + stub.wstring() + L"\" \"%1\"");
      }
    }
    fs::remove(stub.wstring() + L".ran");
    ::DeleteFileW(fixed.c_str());
    ::DeleteFileW(own.c_str());
    if (row.refused) ::CreateDirectoryW(fixed.c_str(), nullptr);
    const std::wstring guide = row.refused ? own : fixed;
    if (row.noEnvironment) ::SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    {
      App app;
      EXPECT_EQ(ReadBytes(guide), ReadBytes(ProgramFolder() + L"\\help.doc")) << "copied at start";
      EXPECT_EQ(HasLoaded(app.ProcessId(), L"shell32.dll"), row.noEnvironment) << "at rest";
      app.Post("help1");
      EXPECT_EQ(Outcome(app, {stub}),
                row.withProgram ? L"show=1\n\"" + stub.wstring() + L"\" \"" + guide + L"\""
                                : L"Error: Error opening help file. (icon), over Torvane");
      EXPECT_TRUE(HasLoaded(app.ProcessId(), L"shell32.dll")) << "Help loads it";
    }
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", local);
    ::RemoveDirectoryW(fixed.c_str());
  }
}

// Wine loads no DLL that the program's overrides disable (an empty value).
// Had torvane.exe imported comdlg32 or shell32, it would not start at all.
TEST(LateLibraries, WithoutTheDialogAndShellLibrariesItStartsAndLoadAndHelpSayWhatFailed) {
  const std::wstring overrides = L"Software\\Wine\\AppDefaults\\torvane.exe\\DllOverrides";
  const struct Remove {
    const std::wstring& key;
    ~Remove() { DeleteKeys({key}); }
  } remove{overrides};
  for (const wchar_t* dll : {L"comdlg32", L"shell32"})
    SetValue(HKEY_CURRENT_USER, overrides, dll, L"");
  App app;
  app.Post("load");
  EXPECT_EQ(Outcome(app, {}),
            L"Error: Error: The file dialog could not be shown. (GetOpenFileNameW, error 126) "
            L"(icon), over Torvane");
  app.Post("help1");
  EXPECT_EQ(Outcome(app, {}), L"Error: Error opening help file. (icon), over Torvane");
}

}  // namespace
}  // namespace torvane::e2e
