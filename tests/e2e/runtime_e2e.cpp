// What the window runtime builds and keeps: the menu bar, the About window
// across openings, a clipboard that another program holds, the names of the
// files a Save leaves beside its target.
#include <cstring>
#include <cwchar>
#include <vector>

#include "about/frm_about.h"
#include "file_helpers.h"
#include "hooks.h"
#include "main_window/tarvik.h"
#include "win32/files/side_files.h"
#include "win32/windows/desktop.h"
#include "win32/windows/edit_box.h"
#include "win32/windows/window.h"

TORVANE_IMPORT_SLOT(GetModuleFileNameW, 12);

namespace torvane::e2e {
namespace {

std::wstring MenuItems(HMENU menu) {
  std::wstring out;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    const bool separator = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR;
    out += (i ? L" " : L"") + std::wstring(separator ? L"-" : text);
    if (HMENU sub = ::GetSubMenu(menu, i)) out += L"(" + MenuItems(sub) + L")";
  }
  return out;
}

TEST(Menus, TheBarHoldsTheThreeMenusAndTheirItemsInOrder) {
  win32::Window window(Tarvik::Layout(), ::GetModuleHandleW(nullptr), {});
  EXPECT_EQ(MenuItems(::GetMenu(window.hwnd())),
            L"&File(&Minimize - &Exit) &Options(Save Load - Cut Copy Paste Clear) "
            L"&Help(&About &Help)");
  // Too narrow for the bar, which wraps onto a second row: the window grows
  // to keep its client area the layout's, 110 by 263 pixels (15 twips each).
  auto narrow = Tarvik::Layout();
  narrow.clientWidth = 1650;
  win32::Window cramped(narrow, ::GetModuleHandleW(nullptr), {});
  RECT client{};
  ::GetClientRect(cramped.hwnd(), &client);
  EXPECT_EQ(client.right, 110);
  EXPECT_EQ(client.bottom, 263);
  // Narrower than a window may be: the system keeps it at its least width.
  auto tiny = Tarvik::Layout();
  tiny.clientWidth = 15;
  win32::Window least(tiny, ::GetModuleHandleW(nullptr), {});
  RECT w{};
  ::GetWindowRect(least.hwnd(), &w);
  ::GetClientRect(least.hwnd(), &client);
  EXPECT_EQ(w.right - w.left, ::GetSystemMetrics(SM_CXMINTRACK)) << client.right;
}

// At 96 DPI a pixel is 15 twips, and every place and size of the design
// divides by 15: the boxes and buttons stand exactly there, with the styles
// the design gives them.
TEST(Controls, TheBoxesAndButtonsStandWhereTheDesignPutsThemWithTheirStyles) {
  App app;
  const struct {
    const char* name;
    RECT at;
    LONG have, lack;
  } rows[] = {
      {"Text1", {8, 24, 281, 181}, ES_MULTILINE | WS_VSCROLL | WS_TABSTOP, ES_PASSWORD},
      {"Text2", {8, 200, 281, 221}, ES_PASSWORD | WS_TABSTOP, ES_MULTILINE | WS_VSCROLL},
      {"Command1", {32, 232, 113, 257}, WS_TABSTOP, BS_DEFPUSHBUTTON},
      {"Command2", {168, 232, 249, 257}, WS_TABSTOP, BS_DEFPUSHBUTTON},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const HWND c = app.Control(row.name);
    RECT r{};
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, app.Main(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
              std::vector<LONG>({row.at.left, row.at.top, row.at.right, row.at.bottom}));
    const LONG style = ::GetWindowLongW(c, GWL_STYLE);
    EXPECT_EQ(style & row.have, row.have);
    EXPECT_EQ(style & row.lack, 0);
  }
}

// Each control takes its row's font: Arial of 9 points is 12 pixels high at
// 96 DPI, of 8.25 points 11; a row without one, the system's message font.
TEST(Controls, EachTakesTheFontOfItsRow) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  const auto font = [](const win32::Window& window, const platform::WindowLayout& layout,
                       const char* name) {
    const HWND control = ::GetDlgItem(window.hwnd(), *platform::ControlId(layout, name));
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(Send(control, WM_GETFONT)), sizeof lf, &lf);
    return std::wstring(lf.lfFaceName) + L" " + std::to_wstring(lf.lfHeight);
  };
  const auto& main = Tarvik::Layout();
  const auto& about = FrmAbout::Layout();
  const win32::Window mainWindow(main, ::GetModuleHandleW(nullptr), {});
  const win32::Window aboutWindow(about, ::GetModuleHandleW(nullptr), {});
  EXPECT_EQ(font(mainWindow, main, "Label3"), L"Arial -12");
  EXPECT_EQ(font(mainWindow, main, "Text1"), L"Arial -12");
  EXPECT_EQ(font(mainWindow, main, "Command1"), L"Arial -11");
  EXPECT_EQ(font(aboutWindow, about, "lblTitle"), L"Arial -11");
  EXPECT_EQ(font(aboutWindow, about, "cmdOK"), std::wstring(metrics.lfMessageFont.lfFaceName) +
                                                   L" " +
                                                   std::to_wstring(metrics.lfMessageFont.lfHeight));
}

// A control that its table keeps out of the tab order has no tab stop; the
// rest of its style stays its kind's.
TEST(Controls, OneKeptOutOfTheTabOrderHasNoTabStop) {
  auto layout = Tarvik::Layout();
  std::vector<platform::ControlRow> rows(layout.controls.begin(), layout.controls.end());
  const int id = *platform::ControlId(layout, "Command1");
  rows[id - platform::kFirstControlId].flags |= platform::kNoTabStop;
  layout.controls = rows;
  win32::Window window(layout, ::GetModuleHandleW(nullptr), {});
  const LONG style = ::GetWindowLongW(::GetDlgItem(window.hwnd(), id), GWL_STYLE);
  EXPECT_EQ(style & (WS_TABSTOP | WS_DISABLED | WS_CAPTION), 0);
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
}

// The program's own name, however long, as the system gives it: cut to the
// buffer, whose size it returns, when it does not fit.
std::wstring moduleName;
DWORD WINAPI ModuleName(HMODULE, LPWSTR out, DWORD size) {
  const std::size_t n = std::min<std::size_t>(moduleName.size(), size - 1);
  std::wmemcpy(out, moduleName.c_str(), n);
  out[n] = L'\0';
  if (moduleName.size() < size) return static_cast<DWORD>(n);
  ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

// Where the help is looked for: beside the program, also in a folder whose
// path is longer than MAX_PATH. A path of 259 fits MAX_PATH with its zero.
TEST(Desktop, TheProgramsFolderIsWholeAtAnyLength) {
  const Hook name(importSlot_GetModuleFileNameW, &ModuleName);
  for (const std::size_t length : {259, 260, 600}) {
    const std::wstring folder = L"C:\\" + std::wstring(length - 15, L'f');
    moduleName = folder + L"\\torvane.exe";
    EXPECT_EQ(win32::Win32Desktop(96).AppFolder(), std::u16string(folder.begin(), folder.end()))
        << length;
  }
}

// An input method, as the box finds it in imm32: its context, the text it
// has finished, and how often the context was given back.
HIMC imeContext = nullptr;
std::wstring imeResult;
int imeReleased = 0;
HIMC WINAPI ImeContext(HWND) {
  return imeContext;
}
LONG WINAPI ImeString(HIMC, DWORD index, LPVOID out, DWORD size) {
  const DWORD bytes = index == GCS_RESULTSTR ? static_cast<DWORD>(imeResult.size() * 2) : 0;
  if (size) std::memcpy(out, imeResult.data(), std::min(size, bytes));
  return static_cast<LONG>(bytes);
}
BOOL WINAPI ImeRelease(HWND, HIMC) {
  return ++imeReleased;
}
// What an input method finishes goes to the logic as an insertion; what it
// has not finished, an empty result, or no input method at all does not.
TEST(TextBox, AnInputMethodsFinishedTextIsAskedForAsAnInsertion) {
  const StandIns ime({{"ImmGetContext", AsFound(&ImeContext)},
                      {"ImmGetCompositionStringW", AsFound(&ImeString)},
                      {"ImmReleaseContext", AsFound(&ImeRelease)}});
  const HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 90, 20, nullptr, nullptr,
                                      nullptr, nullptr);
  win32::EditBox box(edit, 0);
  std::vector<std::u16string> asked;
  box.OnRequest([&](platform::BoxRequest request, std::u16string_view text) {
    asked.push_back((request == platform::BoxRequest::kInsert ? u"insert " : u"other ") +
                    std::u16string(text));
    return true;
  });
  const HIMC context = reinterpret_cast<HIMC>(1);
  const struct {
    HIMC context;
    const wchar_t* result;
    LPARAM parts;
    std::vector<std::u16string> asked;
    int released;
  } rows[] = {
      {context, L"\u65E5\u672C", GCS_COMPSTR | GCS_RESULTSTR, {u"insert \u65E5\u672C"}, 1},
      {context, L"", GCS_RESULTSTR, {}, 1},
      {context, L"x", GCS_COMPSTR, {}, 0},
      {nullptr, L"x", GCS_RESULTSTR, {}, 0},
  };
  for (const auto& row : rows) {
    imeContext = row.context, imeResult = row.result, imeReleased = 0;
    asked.clear();
    // Zero: the message was handled, by the box or by the control.
    EXPECT_EQ(::SendMessageW(edit, WM_IME_COMPOSITION, 0, row.parts), 0) << row.parts;
    EXPECT_EQ(std::pair(asked, imeReleased), std::pair(row.asked, row.released)) << row.parts;
  }
  ::DestroyWindow(edit);
}

// OK only hides the About window: the next opening shows the same window
// where the user left it, not centred anew.
TEST(About, OpensAgainWhereItWasLeft) {
  App app;
  app.Click("about");
  const HWND about = FindTopLevel(app.ProcessId(), L"TorvaneAbout");
  ASSERT_TRUE(about);
  ::SetWindowPos(about, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const int ok = *platform::ControlId(FrmAbout::Layout(), "cmdOK");
  ::PostMessageW(about, WM_COMMAND, MAKEWPARAM(ok, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(about); }));
  app.Click("about");
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(about) != FALSE; }));
  RECT r{};
  ::GetWindowRect(about, &r);
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.top, 9);
}

// Another program holds the clipboard open for longer than Copy waits: the
// user is told so, with the call that failed, and the box keeps its text.
TEST(Clipboard, HeldByAnotherProgramCopySaysSoAndNamesTheCall) {
  App app;
  app.SetText("Text1", L"abc");
  Send(app.Control("Text1"), EM_SETSEL, 0, 3);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  app.Post("copy");
  const std::wstring seen = app.Answer();
  ::CloseClipboard();
  EXPECT_EQ(seen,
            L"Torvane: An unexpected error stopped this command:\nthe clipboard is in use "
            L"by another program (OpenClipboard, error 5) (icon), over Torvane");
  EXPECT_EQ(app.Text("Text1"), L"abc");
}

// "<name>.<stamp><its complement>.torvane.tmp", 8 hex digits each: a name
// that the next Save recognises as one of its own and clears.
TEST(SideFiles, ASaveNamesItsFileByAStampAndItsComplementAndTheNextSaveClearsIt) {
  const auto folder = FreshFolder();
  const std::wstring target = (folder / L"t.txt").wstring();
  const std::wstring path = win32::SidePath(target, win32::kNewSuffix);
  EXPECT_NE(path, win32::SidePath(target, win32::kNewSuffix));
  const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
  ASSERT_EQ(name.size(), std::wstring(L"t.txt.0123456789abcdef.torvane.tmp").size()) << name;
  EXPECT_EQ(name.substr(0, 6) + name.substr(22), L"t.txt..torvane.tmp");
  const unsigned long stamp = std::wcstoul(name.substr(6, 8).c_str(), nullptr, 16);
  const unsigned long check = std::wcstoul(name.substr(14, 8).c_str(), nullptr, 16);
  EXPECT_EQ(check, ~stamp & 0xFFFFFFFFul) << name;
  WriteBytes(path, "left by a Save that was stopped");
  win32::ClearStrays(target, win32::kNewSuffix);
  EXPECT_FALSE(std::filesystem::exists(path));
  // A long name is cut so that the side file's stays within 255: its first
  // 226 characters, a dot, 16 digits and the 12 of ".torvane.tmp"; one fewer
  // where the cut would split a surrogate pair, and only there.
  for (const auto& [at, kept] :
       {std::pair(L"nn", 226), {L"\xD83D\xDE00", 225}, {L"\xE000n", 226}}) {
    std::wstring long_name(250, L'n');
    long_name.replace(225, 2, at);
    const std::wstring side = win32::SidePath((folder / long_name).wstring(), win32::kNewSuffix);
    const std::wstring side_name = side.substr(side.find_last_of(L'\\') + 1);
    EXPECT_EQ(side_name.size(), kept + 29u) << kept;
    EXPECT_EQ(side_name.substr(0, kept + 1), long_name.substr(0, kept) + L".") << kept;
  }
}

}  // namespace
}  // namespace torvane::e2e
