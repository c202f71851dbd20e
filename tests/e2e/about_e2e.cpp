#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "about/frm_about.h"
#include "harness.h"

namespace torvane::e2e {
namespace {

namespace fs = std::filesystem;

const std::wstring kUnavailable = L"System Information Is Unavailable At This Time";

int DpiOfScreen() {
  HDC dc = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(nullptr, dc);
  return dpi;
}

bool Visible(HWND w) {
  return ::IsWindowVisible(w) != FALSE;
}

// Waits for a condition the program reaches after a posted message.
template <typename Condition>
bool WaitFor(Condition done, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

class AboutE2e : public testing::Test {
 protected:
  App app;

  HWND About() const { return FindTopLevel(app.ProcessId(), L"TorvaneAbout"); }

  HWND AboutControl(std::string_view name) const {
    const auto id = platform::ControlId(FrmAbout::Layout(), name);
    if (!id) throw std::invalid_argument("no About control " + std::string(name));
    HWND h = ::GetDlgItem(About(), *id);
    if (!h) throw std::runtime_error("the About window has no " + std::string(name));
    return h;
  }

  // Help > About; returns the About window, checked to be the one on screen.
  HWND Open() {
    app.Menu("about");
    HWND about = About();
    EXPECT_NE(about, nullptr);
    EXPECT_TRUE(Visible(about));
    EXPECT_FALSE(Visible(app.Main()));
    return about;
  }

  WPARAM ClickOf(std::string_view button) const {
    return MAKEWPARAM(*platform::ControlId(FrmAbout::Layout(), button), BN_CLICKED);
  }

  // A click that must finish without a message box.
  void Click(std::string_view button) {
    DWORD_PTR r = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(About(), WM_COMMAND, ClickOf(button),
                                      reinterpret_cast<LPARAM>(AboutControl(button)), SMTO_NORMAL,
                                      10000, &r));
    EXPECT_FALSE(app.FindMessageBox().has_value()) << "a message box came";
  }

  MessageBoxSeen ClickForMessage(std::string_view button) {
    ::PostMessageW(About(), WM_COMMAND, ClickOf(button),
                   reinterpret_cast<LPARAM>(AboutControl(button)));
    return app.WaitMessageBox();
  }

  // Back on the main window: About hidden but kept, the main window shown.
  void ExpectBackOnMain(HWND about) {
    ASSERT_TRUE(WaitFor([&] { return Visible(app.Main()); })) << "the main window stayed hidden";
    app.Sync();
    EXPECT_TRUE(::IsWindow(about)) << "hidden, not destroyed";
    EXPECT_FALSE(Visible(about));
  }

  void PressKey(HWND about, WPARAM key) {
    // Through the program's message loop, where the dialog manager sees it.
    HWND target = ::GetDlgItem(about, *platform::ControlId(FrmAbout::Layout(), "cmdOK"));
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }
};

TEST_F(AboutE2e, HelpAboutHidesMainAndShowsAboutTopmostAndCentred) {
  HWND about = Open();
  EXPECT_EQ(WindowText(about), L"About");
  EXPECT_TRUE(::GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);

  RECT r{};
  ::GetWindowRect(about, &r);
  const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(r.left, (sw - (r.right - r.left)) / 2, 1);
  EXPECT_NEAR(r.top, (sh - (r.bottom - r.top)) / 2, 1);

  const int dpi = DpiOfScreen();
  RECT c{};
  ::GetClientRect(about, &c);
  EXPECT_NEAR(c.right, 5730 * dpi / 1440, 1);
  EXPECT_NEAR(c.bottom, 2955 * dpi / 1440, 1);

  // Fixed frame: no sizing border, no minimize or maximize box, a close box.
  const LONG style = ::GetWindowLongW(about, GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(style & WS_SYSMENU);

  EXPECT_EQ(WindowText(AboutControl("cmdOK")), L"OK");
  EXPECT_EQ(WindowText(AboutControl("cmdSysInfo")), L"&System Info...");
  EXPECT_EQ(::GetWindowLongW(AboutControl("cmdOK"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(WindowText(AboutControl("lblTitle")), L"Torvane Project's Torvane");
  EXPECT_EQ(WindowText(AboutControl("lblDescription"))
                .rfind(L"Want To Send A Comment, Idea or Anything Else About This Program", 0),
            0u);
  DWORD_PTR icon = 0;
  ::SendMessageTimeoutW(AboutControl("picIcon"), STM_GETICON, 0, 0, SMTO_NORMAL, 5000, &icon);
  EXPECT_NE(icon, 0u) << "the program's icon";

  // Tab goes from OK to System Info and back: the labels take no focus.
  EXPECT_EQ(::GetNextDlgTabItem(about, AboutControl("cmdOK"), FALSE), AboutControl("cmdSysInfo"));
  EXPECT_EQ(::GetNextDlgTabItem(about, AboutControl("cmdSysInfo"), FALSE), AboutControl("cmdOK"));
}

TEST_F(AboutE2e, OkBringsMainBackWithItsTextAndTheNextOpeningFindsAboutWhereItWasLeft) {
  app.SetText("Text1", L"first line\r\nsecond line");
  app.SetText("Text2", L"secret");
  HWND about = Open();
  Click("cmdOK");
  ExpectBackOnMain(about);
  EXPECT_EQ(app.Text("Text1"), L"first line\r\nsecond line");
  EXPECT_EQ(app.Text("Text2"), L"secret");
  EXPECT_TRUE(::GetWindowLongW(app.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Moved by the user, then opened again: the same window, not re-centred.
  ::SetWindowPos(about, nullptr, 17, 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Open(), about);
  RECT r{};
  ::GetWindowRect(about, &r);
  EXPECT_EQ(r.left, 17);
  EXPECT_EQ(r.top, 23);
}

TEST_F(AboutE2e, EscAndEnterActAsOk) {
  app.SetText("Text1", L"kept");
  HWND about = Open();
  PressKey(about, VK_ESCAPE);
  ExpectBackOnMain(about);

  Open();
  PressKey(about, VK_RETURN);
  ExpectBackOnMain(about);
  EXPECT_EQ(app.Text("Text1"), L"kept");
}

TEST_F(AboutE2e, CloseBoxActsAsOk) {
  HWND about = Open();
  ::PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectBackOnMain(about);
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(Open(), about) << "the same window again";
}

// --- System Info ---------------------------------------------------------------

constexpr const wchar_t* kToolKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const wchar_t* kFolderKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";

// This program and torvane.exe are built for the same word size, so both see
// the same view of the registry.
void SetValue(const wchar_t* key, const wchar_t* name, const std::wstring& text,
              DWORD type = REG_SZ) {
  HKEY k = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                              nullptr),
            ERROR_SUCCESS);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  EXPECT_EQ(::RegSetValueExW(k, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes),
            ERROR_SUCCESS);
  ::RegCloseKey(k);
}

void DeleteValue(const wchar_t* key, const wchar_t* name) {
  HKEY k = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
  ::RegDeleteValueW(k, name);
  ::RegCloseKey(k);
}

std::optional<std::wstring> ReadMarker(const fs::path& program) {
  std::ifstream in(fs::path(program.wstring() + L".ran"), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(text.size() * 2),
            reinterpret_cast<char*>(text.data()));
  return text;
}

class SysInfoE2e : public AboutE2e {
 protected:
  fs::path root;

  void SetUp() override {
    DeleteValue(kToolKey, L"PATH");
    DeleteValue(kFolderKey, L"MSINFO");
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    root = fs::path(temp) / (L"torvane e2e " + std::to_wstring(::GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root);
  }

  void TearDown() override {
    DeleteValue(kToolKey, L"PATH");
    DeleteValue(kFolderKey, L"MSINFO");
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  // A copy of the stand-in tool at `path`.
  fs::path Stub(const fs::path& path) {
    fs::create_directories(path.parent_path());
    fs::copy_file(fs::path(ProgramFolder()) / L"sysinfo_stub.exe", path,
                  fs::copy_options::overwrite_existing);
    return path;
  }

  // The stub at `program` ran, started as that program by its quoted path,
  // with a normal window.
  void ExpectRan(const fs::path& program) {
    std::optional<std::wstring> marker;
    ASSERT_TRUE(WaitFor([&] { return (marker = ReadMarker(program)).has_value(); }))
        << "not started: " << program.string();
    EXPECT_EQ(*marker, L"show=1\n\"" + program.wstring() + L"\"");
  }

  void ExpectMessageAndAboutStays() {
    HWND about = About();
    const MessageBoxSeen box = ClickForMessage("cmdSysInfo");
    EXPECT_EQ(box.title, L"Torvane");
    EXPECT_EQ(box.text, kUnavailable);
    EXPECT_FALSE(box.hasIcon);
    app.Dismiss(box);
    EXPECT_TRUE(Visible(about));
    EXPECT_FALSE(Visible(app.Main()));
  }
};

TEST_F(SysInfoE2e, NoRegistryValuesGiveTheMessage) {
  Open();
  ExpectMessageAndAboutStays();
  ExpectMessageAndAboutStays();  // and again: nothing was left in a bad state
}

TEST_F(SysInfoE2e, AltSPressesSystemInfo) {
  Open();
  // Alt+S, through the program's message loop and its dialog manager.
  ::PostMessageW(AboutControl("cmdOK"), WM_SYSCHAR, L's', 1 | (1 << 29));
  const MessageBoxSeen box = app.WaitMessageBox();
  EXPECT_EQ(box.text, kUnavailable);
  app.Dismiss(box);
}

TEST_F(SysInfoE2e, FirstLocationStartsThatProgramEvenWithSpacesInItsPath) {
  const fs::path tool = Stub(root / L"sys info" / L"msinfo tool.exe");
  // What an unquoted command line would start instead.
  const fs::path decoys[] = {Stub(root / L"sys.exe"), Stub(root / L"sys info" / L"msinfo.exe")};
  SetValue(kToolKey, L"PATH", tool.wstring());
  HWND about = Open();
  Click("cmdSysInfo");
  ExpectRan(tool);
  for (const auto& decoy : decoys) EXPECT_FALSE(ReadMarker(decoy)) << decoy.string();
  EXPECT_TRUE(Visible(about));
  EXPECT_FALSE(Visible(app.Main()));
}

TEST_F(SysInfoE2e, FirstLocationStoredExpandableAndQuotedStartsThatProgram) {
  const fs::path tool = Stub(root / L"sys info" / L"msinfo tool.exe");
  wchar_t temp[MAX_PATH];
  ::GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
  ASSERT_EQ(root.wstring().rfind(temp, 0), 0u) << "the test folder lies under %TEMP%";
  const std::wstring underTemp = tool.wstring().substr(std::wcslen(temp));
  SetValue(kToolKey, L"PATH", L"\"%TEMP%" + underTemp + L"\"", REG_EXPAND_SZ);
  Open();
  Click("cmdSysInfo");
  ExpectRan(tool);
}

TEST_F(SysInfoE2e, FirstLocationNamingNoFileGivesTheMessageWithoutTryingTheSecond) {
  const fs::path folder = root / L"tool folder";
  const fs::path tool = Stub(folder / L"MSINFO32.EXE");
  SetValue(kToolKey, L"PATH", (root / L"missing.exe").wstring());
  SetValue(kFolderKey, L"MSINFO", folder.wstring());
  Open();
  ExpectMessageAndAboutStays();
  EXPECT_FALSE(ReadMarker(tool));
}

TEST_F(SysInfoE2e, SecondLocationStartsMsinfo32FromThatFolder) {
  const fs::path folder = root / L"tool folder";
  const fs::path tool = Stub(folder / L"MSINFO32.EXE");
  SetValue(kFolderKey, L"MSINFO", folder.wstring());
  Open();
  Click("cmdSysInfo");
  ExpectRan(tool);
}

TEST_F(SysInfoE2e, SecondLocationFolderWithoutMsinfo32GivesTheMessage) {
  const fs::path folder = root / L"empty folder";
  fs::create_directories(folder);
  Stub(folder / L"other.exe");
  SetValue(kFolderKey, L"MSINFO", folder.wstring());
  Open();
  ExpectMessageAndAboutStays();
}

TEST_F(SysInfoE2e, SecondLocationWithAHiddenMsinfo32GivesTheMessage) {
  const fs::path folder = root / L"hidden tool";
  const fs::path tool = Stub(folder / L"MSINFO32.EXE");
  ASSERT_TRUE(::SetFileAttributesW(tool.c_str(), FILE_ATTRIBUTE_HIDDEN));
  const DWORD attributes = ::GetFileAttributesW(tool.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << "the file system must keep the attribute";
  SetValue(kFolderKey, L"MSINFO", folder.wstring());
  Open();
  ExpectMessageAndAboutStays();
  EXPECT_FALSE(ReadMarker(tool));
}

}  // namespace
}  // namespace torvane::e2e
