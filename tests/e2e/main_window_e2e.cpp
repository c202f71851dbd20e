// The main window as a user meets it: placement, the cipher's buttons, the
// keys, the password box, the clipboard, and how it is drawn.
#include <functional>
#include <thread>
#include <utility>

#include "about/frm_about.h"
#include "file_helpers.h"
#include "hooks.h"
#include "main_window/tarvik.h"
#include "win32/windows/window.h"

TORVANE_IMPORT_SLOT(SystemParametersInfoW, 16);
TORVANE_IMPORT_SLOT(EndPaint, 8);

namespace torvane::e2e {
namespace {

// How many pixels of a rectangle of a window's client area (null: of the
// screen) have the colour.
int Count(HWND window, RECT r, COLORREF colour) {
  const HDC dc = ::GetDC(window);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) n += ::GetPixel(dc, x, y) == colour;
  }
  ::ReleaseDC(window, dc);
  return n;
}

// Programs started from now on take this DPI: Wine reads the user's
// LogPixels when a process starts.
void SetStartingDpi(DWORD dpi) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, 4);
}

// Wine has no high-contrast scheme: it always answers "off" and cannot be
// told otherwise. A window made in this process is given an answer of ours.
bool highContrastOn = false;
BOOL WINAPI AnswerHighContrast(UINT action, UINT size, void* data, UINT ini) {
  if (action != SPI_GETHIGHCONTRAST) return system_SystemParametersInfoW(action, size, data, ini);
  static_cast<HIGHCONTRASTW*>(data)->dwFlags = highContrastOn ? HCF_HIGHCONTRASTON : 0;
  return TRUE;
}

// Centred on the whole screen, as the program's CenterForm places them.
TEST(Placement, BothWindowsOpenTopmostAndCentredOnTheScreen) {
  App app;
  const RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  for (const wchar_t* cls : {L"TorvaneMain", L"TorvaneAbout"}) {
    SCOPED_TRACE(cls);
    HWND w = FindTopLevel(app.ProcessId(), cls);
    EXPECT_TRUE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r{};
    ::GetWindowRect(w, &r);
    // Twips round to a pixel either way.
    EXPECT_NEAR(r.left - area.left, (area.right - area.left - (r.right - r.left)) / 2.0, 2);
    EXPECT_NEAR(r.top - area.top, (area.bottom - area.top - (r.bottom - r.top)) / 2.0, 2);
    app.Click("about");
  }
}

// A label's rows reach a pixel or two into the box below it (more at a high
// DPI); none may hide the box's top border, which is not the page's grey.
TEST(Drawing, NoLabelHidesTheTopBorderOfABoxAt96To192Dpi) {
  const COLORREF page = RGB(192, 192, 192);
  const struct Back {
    ~Back() { SetStartingDpi(96); }  // Wine's own
  } back;
  for (DWORD dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    SetStartingDpi(dpi);
    App app;
    for (const char* name : {"Text1", "Text2"}) {
      RECT r{};
      ::GetWindowRect(app.Control(name), &r);
      EXPECT_NEAR(r.right - r.left, 4095.0 * dpi / 1440, 1) << name;  // the layout's 4095 twips
      int grey = -1;  // read until two readings 100 ms apart agree: drawn
      for (int i = 0, last = -2; i < 50 && grey != last; ++i, ::Sleep(100)) {
        last = std::exchange(grey, Count(nullptr, {r.left, r.top, r.right, r.top + 1}, page));
      }
      EXPECT_EQ(Count(nullptr, {r.left - 3, r.top, r.left - 2, r.top + 1}, page), 1) << name;
      EXPECT_EQ(grey, 0) << name << "'s top row, y " << r.top;
    }
  }
}

// Turned on while the window is open, as a user would: the system tells the
// window by WM_SYSCOLORCHANGE.
TEST(Drawing, UnderHighContrastThePageAndLabelsTakeTheSystemsColoursOtherwiseTheirOwn) {
  const COLORREF red = RGB(255, 0, 0), grey = RGB(192, 192, 192);
  // Else the window's own colours would pass for the scheme's.
  ASSERT_NE(::GetSysColor(COLOR_BTNFACE), grey);
  ASSERT_NE(::GetSysColor(COLOR_BTNTEXT), red);
  const Hook hook(importSlot_SystemParametersInfoW, &AnswerHighContrast);
  {
    win32::Window window(Tarvik::Layout(), ::GetModuleHandleW(nullptr), {});
    ::ShowWindow(window.hwnd(), SW_SHOW);
    const HWND label =
        ::GetDlgItem(window.hwnd(), *platform::ControlId(Tarvik::Layout(), "Label4"));
    RECT all{};
    ::GetClientRect(label, &all);
    for (const bool on : {false, true}) {
      SCOPED_TRACE(on ? "high contrast" : "normal");
      highContrastOn = on;
      Send(window.hwnd(), WM_SYSCOLORCHANGE);
      for (MSG m; ::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&m);
      const COLORREF page = on ? ::GetSysColor(COLOR_BTNFACE) : grey;
      const COLORREF text = on ? ::GetSysColor(COLOR_BTNTEXT) : red;
      EXPECT_EQ(Count(window.hwnd(), {4, 100, 5, 101}, page), 1) << "the page left of the box";
      EXPECT_GT(Count(label, all, page), 0) << "\"Password:\"'s background";
      EXPECT_GT(Count(label, all, text), 0) << "\"Password:\"'s text";
      EXPECT_EQ(Count(label, all, on ? red : ::GetSysColor(COLOR_BTNTEXT)), 0);
    }
  }
}

// Whether a paint ended with the DC's own pen in it again, -1 before one.
int penPutBack = -1;
BOOL WINAPI PaintEnds(HWND window, const PAINTSTRUCT* paint) {
  penPutBack = ::GetCurrentObject(paint->hdc, OBJ_PEN) == ::GetStockObject(BLACK_PEN);
  return system_EndPaint(window, paint);
}

// The About window has no menu bar. Its etched rule, at 96 DPI (15 twips a
// pixel): a white line two pixels high from x 7 to 375 on rows 128 and 129,
// and over its first row a grey one from x 8 to 377.
TEST(Drawing, TheAboutWindowHasNoMenuBarAndItsRuleIsGreyOverWhiteTwiceAsHigh) {
  const COLORREF white = RGB(255, 255, 255), grey = RGB(128, 128, 128);
  win32::Window window(FrmAbout::Layout(), ::GetModuleHandleW(nullptr), {});
  {
    const Hook paint(importSlot_EndPaint, &PaintEnds);
    ::ShowWindow(window.hwnd(), SW_SHOW);
    ::UpdateWindow(window.hwnd());
  }
  EXPECT_EQ(penPutBack, 1) << "the rule's pen, left in the DC, could not be deleted";
  const HWND w = window.hwnd();
  EXPECT_EQ(::GetMenu(w), nullptr) << "a window with no menus has no menu bar";
  EXPECT_EQ(Count(w, {8, 128, 378, 129}, grey), 370);
  EXPECT_EQ(Count(w, {7, 128, 8, 129}, white), 1);
  EXPECT_EQ(Count(w, {7, 129, 376, 130}, white), 369);
  for (const int row : {127, 130}) {
    EXPECT_EQ(Count(w, {0, row, 382, row + 1}, white) + Count(w, {0, row, 382, row + 1}, grey), 0)
        << "row " << row;
  }
}

TEST(Keys, EscDoesNothingCtrlASelectsAllAndTabWalksInTabIndexOrder) {
  App app;
  const char* const order[] = {"Text1", "Text2", "Command1", "Command2", "Text1"};
  for (const char* control : order) PostKey(app.Control(control), VK_ESCAPE);
  Send(app.Control("Text1"), WM_KEYDOWN, VK_ESCAPE, 1);  // past the dialog manager too
  for (const char* name : {"Text1", "Text2"}) {
    app.SetText(name, L"Hello,\r\nworld");
    ::PostMessageW(app.Control(name), WM_CHAR, 0x01, 1);  // what TranslateMessage makes of Ctrl+A
    EXPECT_TRUE(WaitFor([&] { return Send(app.Control(name), EM_GETSEL) == MAKELRESULT(0, 13); }))
        << name;
  }
  EXPECT_FALSE(app.WaitForExit(500)) << "Esc ended the program";
  GUITHREADINFO info{sizeof info, 0, {}, {}, {}, {}, {}, {}, {}};
  const auto focus = [&] {
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(app.Main(), nullptr), &info);
    return info.hwndFocus;
  };
  Send(app.Main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(app.Control("Text1")), TRUE);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    EXPECT_TRUE(WaitFor([&] { return focus() == app.Control(order[i - 1]); }, 3s)) << order[i - 1];
    PostKey(focus(), VK_TAB);
  }
  EXPECT_TRUE(WaitFor([&] { return focus() == app.Control("Text1"); }, 3s));
  EXPECT_EQ(app.Text("Text1") + app.Text("Text2"), L"Hello,\r\nworldHello,\r\nworld")
      << "nothing typed by Esc, Ctrl+A or Tab";
  Send(app.Control("Text1"), EM_SETSEL, 6, 6);
  app.Keys("Text1", {VK_RETURN});  // past the dialog manager: still the box's new line
  EXPECT_TRUE(WaitFor([&] { return app.Text("Text1") == L"Hello,\r\n\r\nworld"; }));
}

// A password of code 0 (the box shows it as U+2400) would leave the
// characters it keys plain: refused, and nothing changes.
TEST(PasswordBox, IsMaskedNeverGivesItsTextAndRefusesCode0) {
  App app;
  const HWND password = app.Control("Text2");
  EXPECT_TRUE(::GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD);
  app.SetText("Text2", L"secret");
  // WM_COPY, WM_CUT, and Ctrl+C and Ctrl+X as the box gets them.
  const std::pair<UINT, WPARAM> rows[] = {{WM_COPY, 0}, {WM_CUT, 0}, {WM_CHAR, 3}, {WM_CHAR, 24}};
  for (const auto& [msg, wp] : rows) {
    SCOPED_TRACE(testing::Message() << msg << " " << wp);
    PutText(L"sentinel");
    Send(password, EM_SETSEL, 0, -1);
    Send(password, msg, wp, 1);
    EXPECT_EQ(ClipboardText(), L"sentinel");
    EXPECT_EQ(app.Text("Text2"), L"secret");
  }
  app.SetText("Text1", L"nul password text");
  app.SetText("Text2", L"\u2400\u2400A");
  app.Post("Command1");
  EXPECT_EQ(app.Answer(),
            L"Error: Error: The password contains the character \"\u2400\" (U+2400), code 0, "
            L"which this program cannot use in a password. Nothing was changed. (icon), over "
            L"Torvane");
  EXPECT_EQ(app.Text("Text1"), L"nul password text");
}

// How often the bytes stand in the committed, readable memory of a process.
int CountInMemory(DWORD pid, std::string_view needle) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  int found = 0;
  MEMORY_BASIC_INFORMATION info{};
  std::string page;
  for (char* at = nullptr; ::VirtualQueryEx(process, at, &info, sizeof info) == sizeof info;
       at = static_cast<char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State != MEM_COMMIT || !(info.Protect & kReadable) || (info.Protect & PAGE_GUARD)) {
      continue;
    }
    page.resize(info.RegionSize);
    SIZE_T got = 0;
    if (!::ReadProcessMemory(process, info.BaseAddress, page.data(), page.size(), &got)) continue;
    for (std::size_t i = page.find(needle); i < got; i = page.find(needle, i + 1)) ++found;
  }
  ::CloseHandle(process);
  return found;
}

// The cipher ignores case, so an upper-cased copy of the password is all a
// reader of the program's memory needs: none is left once Encrypt and
// Decrypt are done and the password box is emptied (the box's own buffers
// are the control's). The password of eight characters makes the key block
// fit the cipher's vector registers.
TEST(PasswordBox, NoUpperCasedCopyOutlivesEncryptAndDecrypt) {
  App app;
  app.SetText("Text1", std::wstring(3000, L'x'));
  app.SetText("Text2", L"secretpw");
  app.Click("Command1");
  app.Click("Command2");
  app.SetText("Text2", L"");
  EXPECT_EQ(app.Text("Text1"), std::wstring(3000, L'x'));
  const std::string upper = "SECRETPW";  // and in the key block, "ECRETPWS" repeated
  std::string wide;
  for (char c : upper) wide += {c, '\0'};
  EXPECT_EQ(CountInMemory(app.ProcessId(), upper), 0) << "as bytes";
  EXPECT_EQ(CountInMemory(app.ProcessId(), wide), 0) << "as UTF-16";
}

// Whether the clipboard carries the marks that keep it out of clipboard
// history and the cloud clipboard: the first wants any data, the others a
// DWORD 0.
bool MarkedPrivate() {
  for (const wchar_t* format : {L"ExcludeClipboardContentFromMonitorProcessing",
                                L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
    const std::string data = Data(::RegisterClipboardFormatW(format));
    if (data == "(none)" || (format[0] != L'E' && data.substr(0, 4) != std::string(4, '\0'))) {
      return false;
    }
  }
  return true;
}

// Every way a copy leaves the text box carries the privacy marks; with
// nothing selected, nothing leaves and the clipboard keeps what it had.
TEST(Clipboard, EveryCopyIsMarkedPrivateNoneWithoutASelectionAndPasteTakesUnicode) {
  App app;
  const HWND box = app.Control("Text1");
  const auto press = [&](WORD modifier, WORD key) {
    return std::function<void()>([&app, modifier, key] { app.Keys("Text1", {modifier, key}); });
  };
  const struct {
    const char* name;
    std::function<void()> ask;
    // The box afterwards: from "Hello, \u03A9\u2400!" with "\u03A9\u2400" selected, and from
    // "Hello" with the caret after "He".
    const wchar_t* after;
    const wchar_t* unselected = L"Hello";
  } rows[] = {
      {"Options > Copy", [&] { app.Click("copy"); }, L"Hello, \u03A9\u2400!"},
      {"Options > Cut", [&] { app.Click("cut"); }, L"", L""},
      {"Ctrl+C", [&] { ::PostMessageW(box, WM_CHAR, 0x03, 1); }, L"Hello, \u03A9\u2400!"},
      {"Ctrl+X", [&] { ::PostMessageW(box, WM_CHAR, 0x18, 1); }, L"Hello, !"},
      {"Ctrl+Insert", press(VK_CONTROL, VK_INSERT), L"Hello, \u03A9\u2400!"},
      // With nothing selected, the box's own Shift+Delete deletes the character before the caret.
      {"Shift+Delete", press(VK_SHIFT, VK_DELETE), L"Hello, !", L"Hllo"},
      {"context menu Copy", [&] { ::PostMessageW(box, WM_COPY, 0, 0); }, L"Hello, \u03A9\u2400!"},
      {"context menu Cut", [&] { ::PostMessageW(box, WM_CUT, 0, 0); }, L"Hello, !"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    app.SetText("Text1", L"Hello, \u03A9\u2400!");
    Send(box, EM_SETSEL, 7, 9);
    PutText(L"sentinel");
    row.ask();
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == L"\u03A9\u2400"; }));
    EXPECT_TRUE(MarkedPrivate());
    EXPECT_TRUE(WaitFor([&] { return app.Text("Text1") == row.after; }));
    // Nothing selected: the clipboard stays, and Options > Cut still empties the box.
    app.SetText("Text1", L"Hello");
    Send(box, EM_SETSEL, 2, 2);
    PutText(L"sentinel");
    row.ask();
    app.Sync();
    ::Sleep(50);
    EXPECT_EQ(ClipboardText(), L"sentinel");
    EXPECT_EQ(app.Text("Text1"), row.unselected);
  }
  // Delete alone is the box's own: it deletes, and copies nothing.
  app.SetText("Text1", L"Hello");
  Send(box, EM_SETSEL, 1, 3);
  PutText(L"sentinel");
  app.Keys("Text1", {VK_DELETE});
  EXPECT_TRUE(WaitFor([&] { return app.Text("Text1") == L"Hlo"; }));
  EXPECT_EQ(ClipboardText(), L"sentinel");
  PutText(L"\u03A9 \u20AC");  // no one code page holds both
  app.SetText("Text1", L"Hello, \u03A9\u2400!");
  Send(box, EM_SETSEL, 1, 1);
  app.Click("paste");
  EXPECT_EQ(app.Text("Text1"), L"H\u03A9 \u20ACello, \u03A9\u2400!");
}

// Every key that pastes, and text put in by another program's message.
TEST(Clipboard, NothingPastedOrTypedTakesTheBoxPast32766) {
  App app;
  const HWND box = app.Control("Text1");
  // Short lines: Wine's edit control wraps a long paragraph in quadratic time.
  std::wstring full;
  while (full.size() < 32760) full += L"xxxxxxxxxxxxxxxxxxxxxxxxxx\r\n";
  full.resize(32760);
  app.SetText("Text1", full);
  PutText(L"1234567");
  std::thread other;
  const std::pair<std::function<void()>, const wchar_t*> ways[] = {
      {[&] { ::PostMessageW(box, WM_CHAR, 0x16, 1); },  // Ctrl+V
       L"Error: Error: The text box holds at most 32766 characters, and the pasted text would "
       L"make it 32767. Nothing was pasted. (icon), over Torvane"},
      {[&] {
         app.Keys("Text1", {VK_SHIFT, VK_INSERT});
       },
       L"Error: Error: The text box holds at most 32766 characters, and the pasted text would "
       L"make it 32767. Nothing was pasted. (icon), over Torvane"},
      {[&] {
         other = std::thread([box] {
           ::SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"1234567"));
         });
       },
       L"Error: Error: The text box holds at most 32766 characters, and the inserted text would "
       L"make it 32767. Nothing was inserted. (icon), over Torvane"},
  };
  for (const auto& [put, refusal] : ways) {
    Send(box, EM_SETSEL, 32760, 32760);
    put();
    EXPECT_EQ(app.Answer(), refusal);
    EXPECT_EQ(app.Text("Text1"), full);
  }
  other.join();
  // Typed: the 32766th character goes in, the next does not.
  app.SetText("Text1", full + L"12345");
  Send(box, EM_SETSEL, 32765, 32765);
  for (wchar_t c : {L'a', L'b'}) Send(box, WM_CHAR, c, 1);
  EXPECT_EQ(app.Text("Text1"), full + L"12345a");
}

}  // namespace
}  // namespace torvane::e2e
