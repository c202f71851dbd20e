// Cut, Copy, Paste, Clear on the real box and the real clipboard; Minimize,
// Exit and the close box on the real window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "about/frm_about.h"
#include "file_helpers.h"
#include "harness.h"
#include "platform/layout.h"

namespace torvane::e2e {
namespace {

// The clipboard as this test process sees it: another program on the same
// desktop.
class Clipboard {
 public:
  static void PutText(const std::wstring& text) {
    Put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * 2);
  }
  static void PutAnsi(const std::string& text) { Put(CF_TEXT, text.c_str(), text.size() + 1); }
  static void PutOnly(const wchar_t* formatName) {
    const DWORD data = 7;
    Put(::RegisterClipboardFormatW(formatName), &data, sizeof data);
  }
  static void Empty() {
    Session s;
    ::EmptyClipboard();
  }
  static std::optional<std::wstring> Text() {
    Session s;
    HANDLE h = ::GetClipboardData(CF_UNICODETEXT);
    if (!h) return std::nullopt;
    const auto* p = static_cast<const wchar_t*>(::GlobalLock(h));
    std::wstring text(p, ::wcsnlen(p, ::GlobalSize(h) / 2));
    ::GlobalUnlock(h);
    return text;
  }
  // The data of a registered format, when it is on the clipboard.
  static std::optional<std::string> Data(const wchar_t* formatName) {
    Session s;
    HANDLE h = ::GetClipboardData(::RegisterClipboardFormatW(formatName));
    if (!h) return std::nullopt;
    const auto* p = static_cast<const char*>(::GlobalLock(h));
    std::string data(p, ::GlobalSize(h));
    ::GlobalUnlock(h);
    return data;
  }

 private:
  struct Session {
    Session() {
      for (int i = 0; i < 100; ++i) {
        if (::OpenClipboard(nullptr)) return;
        std::this_thread::sleep_for(10ms);
      }
      throw std::runtime_error("cannot open the clipboard");
    }
    ~Session() { ::CloseClipboard(); }
  };
  static void Put(UINT format, const void* data, std::size_t size) {
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(h), data, size);
    ::GlobalUnlock(h);
    Session s;
    ::EmptyClipboard();
    if (!::SetClipboardData(format, h)) {
      ::GlobalFree(h);
      throw std::runtime_error("cannot put data on the clipboard");
    }
  }
};

void Select(HWND box, int start, int end) {
  DWORD_PTR r = 0;
  ::SendMessageTimeoutW(box, EM_SETSEL, static_cast<WPARAM>(start), end, SMTO_NORMAL, 5000, &r);
}

std::pair<int, int> Selection(HWND box) {
  DWORD start = 0, end = 0;
  ::SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// A DWORD 0, as the privacy formats want it.
bool IsDwordZero(const std::optional<std::string>& data) {
  return data && data->size() >= 4 && std::memcmp(data->data(), "\0\0\0\0", 4) == 0;
}

// --- Copy and Cut --------------------------------------------------------------

TEST(Clipboard, CopyPutsTheSelectionMarkedAsPrivate) {
  App app;
  Clipboard::PutText(L"older");
  app.SetText("Text1", L"Hello, world");
  Select(app.Control("Text1"), 7, 12);
  app.Menu("copy");
  EXPECT_EQ(Clipboard::Text(), L"world");
  EXPECT_EQ(app.Text("Text1"), L"Hello, world");
  EXPECT_EQ(Selection(app.Control("Text1")), std::make_pair(7, 12));
  EXPECT_TRUE(Clipboard::Data(L"ExcludeClipboardContentFromMonitorProcessing").has_value());
  EXPECT_TRUE(IsDwordZero(Clipboard::Data(L"CanIncludeInClipboardHistory")));
  EXPECT_TRUE(IsDwordZero(Clipboard::Data(L"CanUploadToCloudClipboard")));
  // Other programs that read only ANSI text get it too.
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_TEXT));
}

TEST(Clipboard, CopyWithNothingSelectedEmptiesTheClipboardText) {
  App app;
  Clipboard::PutText(L"older");
  app.SetText("Text1", L"abc");
  Select(app.Control("Text1"), 1, 1);
  app.Menu("copy");
  EXPECT_EQ(Clipboard::Text(), L"");
}

TEST(Clipboard, CutPutsTheSelectionAndEmptiesTheWholeBox) {
  App app;
  app.SetText("Text1", L"first line\r\nsecond line");
  app.SetText("Text2", L"pw");
  Select(app.Control("Text1"), 12, 18);
  app.Menu("cut");
  EXPECT_EQ(Clipboard::Text(), L"second");
  EXPECT_EQ(app.Text("Text1"), L"");
  EXPECT_EQ(app.Text("Text2"), L"pw");
  EXPECT_TRUE(IsDwordZero(Clipboard::Data(L"CanIncludeInClipboardHistory")));
  // One edit: the box's Undo brings the whole text back.
  app.Undo("Text1");
  EXPECT_EQ(app.Text("Text1"), L"first line\r\nsecond line");
}

// --- Paste ---------------------------------------------------------------------

TEST(Clipboard, PasteReplacesTheSelectionOrInsertsAtTheCaret) {
  App app;
  app.SetText("Text1", L"Hello, world!");
  Clipboard::PutText(L"there");
  Select(app.Control("Text1"), 7, 12);
  app.Menu("paste");
  EXPECT_EQ(app.Text("Text1"), L"Hello, there!");

  Clipboard::PutText(L"\r\nnew line");
  Select(app.Control("Text1"), 13, 13);
  app.Menu("paste");
  EXPECT_EQ(app.Text("Text1"), L"Hello, there!\r\nnew line");
  EXPECT_EQ(Clipboard::Text(), L"\r\nnew line") << "Paste leaves the clipboard as it was";
}

TEST(Clipboard, PasteWithNoTextOnTheClipboardDeletesTheSelection) {
  App app;
  Clipboard::Empty();
  app.SetText("Text1", L"keep DROP keep");
  Select(app.Control("Text1"), 5, 10);
  app.Menu("paste");
  EXPECT_EQ(app.Text("Text1"), L"keep keep");

  Clipboard::PutOnly(L"Torvane test: not text");
  Select(app.Control("Text1"), 0, 5);
  app.Menu("paste");
  EXPECT_EQ(app.Text("Text1"), L"keep");
}

TEST(Clipboard, NothingPastedOrTypedTakesTheBoxPastItsLimit) {
  App app;
  const HWND box = app.Control("Text1");
  const std::wstring full = Shown(Lines(32760));
  app.SetText("Text1", full);
  Clipboard::PutText(L"1234567");
  const std::wstring refusal =
      L"Error: The text box holds at most 32766 characters, and the pasted text would make it "
      L"32767. Nothing was pasted.";
  // Options > Paste, and Ctrl+V in the box itself (which arrives as character 22).
  for (const bool byKey : {false, true}) {
    Select(box, 32760, 32760);
    MessageBoxSeen seen;
    if (byKey) {
      ::PostMessageW(box, WM_CHAR, 0x16, 1);
      seen = app.WaitMessageBox();
    } else {
      seen = app.MenuForMessage("paste");
    }
    EXPECT_EQ(seen.title, L"Error");
    EXPECT_EQ(seen.text, refusal);
    app.Dismiss(seen);
    EXPECT_EQ(app.Text("Text1"), full);
  }
  // What fits is pasted whole by the key, and typing past the limit adds nothing.
  Clipboard::PutText(L"123456");
  Select(box, 32760, 32760);
  ::PostMessageW(box, WM_CHAR, 0x16, 1);
  EXPECT_TRUE(WaitUntil([&] { return app.Text("Text1") == full + L"123456"; }, 5s));
  app.Type("Text1", L"z");
  EXPECT_EQ(app.Text("Text1"), full + L"123456");
}

TEST(Clipboard, PasteTakesTextThatAnotherProgramPutAsAnsi) {
  App app;
  Clipboard::PutAnsi("caf\xE9 \x80");  // é and € in Windows-1252
  app.Menu("paste");
  EXPECT_EQ(app.Text("Text1"), L"caf\x00E9 \x20AC");
}

TEST(Clipboard, CipherTextWithCodeZeroSurvivesCopyClearPaste) {
  App app;
  // ÿ (255) plus the key 1 wraps to code 0, shown as U+2400.
  const std::string plain = "\xFF first\r\n\xFF second \x01\x7F";
  app.SetText("Text1", Shown(plain));
  app.SetText("Text2", L"\x0001");
  app.Click("Command1");
  const std::wstring cipher = app.Text("Text1");
  ASSERT_NE(cipher.find(L'\x2400'), std::wstring::npos);

  Select(app.Control("Text1"), 0, -1);
  app.Menu("copy");
  EXPECT_EQ(Clipboard::Text(), cipher);
  app.Menu("clear");
  ASSERT_EQ(app.Text("Text1"), L"");
  app.Menu("paste");
  EXPECT_EQ(app.Text("Text1"), cipher);
  app.Click("Command2");
  EXPECT_EQ(Bytes(app.Text("Text1")), plain);
}

// --- Clear and the password box --------------------------------------------------

TEST(Clipboard, ClearEmptiesTheTextAndLeavesThePasswordAndTheClipboard) {
  App app;
  Clipboard::PutText(L"on the clipboard");
  app.SetText("Text1", L"some text");
  app.SetText("Text2", L"secret");
  app.Menu("clear");
  EXPECT_EQ(app.Text("Text1"), L"");
  EXPECT_EQ(app.Text("Text2"), L"secret");
  EXPECT_EQ(Clipboard::Text(), L"on the clipboard");
  app.Undo("Text1");
  EXPECT_EQ(app.Text("Text1"), L"some text");
}

TEST(Clipboard, PasswordBoxNeverGivesItsTextToTheClipboard) {
  App app;
  HWND password = app.Control("Text2");
  app.SetText("Text2", L"secret");
  Clipboard::PutText(L"sentinel");
  Select(password, 0, -1);
  DWORD_PTR r = 0;
  // Asked directly, and by the keys: Ctrl+C and Ctrl+X arrive as characters
  // 3 and 24.
  for (UINT msg : {WM_COPY, WM_CUT}) {
    ::SendMessageTimeoutW(password, msg, 0, 0, SMTO_NORMAL, 5000, &r);
  }
  for (WPARAM ch : {WPARAM{0x03}, WPARAM{0x18}}) {
    ::SendMessageTimeoutW(password, WM_CHAR, ch, 1, SMTO_NORMAL, 5000, &r);
  }
  app.Sync();
  EXPECT_EQ(Clipboard::Text(), L"sentinel");
  EXPECT_EQ(app.Text("Text2"), L"secret");

  // The menu's Copy and Cut work on the text box, whatever has the focus.
  ::SendMessageTimeoutW(app.Main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(password), TRUE,
                        SMTO_NORMAL, 5000, &r);
  app.Menu("copy");
  EXPECT_EQ(Clipboard::Text(), L"");
  app.Menu("cut");
  EXPECT_EQ(Clipboard::Text(), L"");
  EXPECT_EQ(app.Text("Text2"), L"secret");

  // Pasting into the password box still works.
  Clipboard::PutText(L"!");
  Select(password, 6, 6);
  ::SendMessageTimeoutW(password, WM_PASTE, 0, 0, SMTO_NORMAL, 5000, &r);
  EXPECT_EQ(app.Text("Text2"), L"secret!");
}

// --- Minimize, Exit and the close box ----------------------------------------------

// --- Keys ------------------------------------------------------------------------

// Posted, so that it passes through the program's message loop, its dialog
// manager and its TranslateMessage, as a pressed key does.
void PostKey(HWND control, WPARAM key) {
  ::PostMessageW(control, WM_KEYDOWN, key, 1);
  ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

TEST(WindowKeys, EscInAnyControlOfTheMainWindowDoesNothing) {
  App app;
  app.SetText("Text1", L"my unsaved text");
  app.SetText("Text2", L"pw");
  for (const char* control : {"Text1", "Text2", "Command1", "Command2"}) {
    PostKey(app.Control(control), VK_ESCAPE);
  }
  // Handled in order: once this character is in, so are the keys before it.
  ::PostMessageW(app.Control("Text1"), WM_CHAR, L'!', 1);
  ASSERT_TRUE(WaitUntil([&] { return app.Text("Text1") == L"!my unsaved text"; }, 5s));
  EXPECT_FALSE(app.WaitForExit(1s)) << "Esc ended the program";
  EXPECT_EQ(app.Text("Text2"), L"pw");
  EXPECT_FALSE(app.FindMessageBox().has_value());
}

TEST(WindowKeys, CtrlASelectsAllInBothBoxes) {
  App app;
  app.SetText("Text1", L"Hello,\r\nworld");
  app.SetText("Text2", L"secret");
  for (const auto& [control, length] : {std::pair{"Text1", 13}, std::pair{"Text2", 6}}) {
    const HWND box = app.Control(control);
    Select(box, 2, 2);
    // What Ctrl+A comes to after TranslateMessage (the Ctrl key's state
    // cannot be set from outside the program).
    ::PostMessageW(box, WM_CHAR, 0x01, 1);
    EXPECT_TRUE(WaitUntil([&] { return Selection(box) == std::pair{0, length}; }, 5s)) << control;
  }
  EXPECT_EQ(app.Text("Text1"), L"Hello,\r\nworld") << "no character 1 typed";
  EXPECT_EQ(app.Text("Text2"), L"secret");
}

TEST(WindowCommands, MinimizeThenRestoreKeepsBothBoxes) {
  App app;
  HWND w = app.Main();
  app.SetText("Text1", L"text to keep\r\nline two");
  app.SetText("Text2", L"pw");
  RECT before{};
  ::GetWindowRect(w, &before);

  app.Menu("mini");
  EXPECT_TRUE(::IsIconic(w));
  EXPECT_TRUE(::IsWindowVisible(w)) << "a minimised window stays on the taskbar";
  EXPECT_TRUE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  // What the taskbar button does.
  ::PostMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !::IsIconic(w); }, 5s));
  app.Sync();
  RECT after{};
  ::GetWindowRect(w, &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.bottom);
  EXPECT_EQ(app.Text("Text1"), L"text to keep\r\nline two");
  EXPECT_EQ(app.Text("Text2"), L"pw");
  EXPECT_TRUE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(WindowCommands, ExitEndsTheProgramAtOnceWithoutAPrompt) {
  App app;
  app.SetText("Text1", L"unsaved text");
  app.SetText("Text2", L"pw");
  const auto start = std::chrono::steady_clock::now();
  app.PostMenu("exit");
  EXPECT_TRUE(app.WaitForExit(1s)) << "still running a second after Exit";
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  RecordProperty("exit_ms", static_cast<int>(took.count()));
  std::printf("Exit to the end of the process: %d ms\n", static_cast<int>(took.count()));
}

TEST(WindowCommands, CloseBoxEndsTheProgram) {
  App app;
  app.SetText("Text1", L"unsaved text");
  // What a click on the close box sends.
  ::PostMessageW(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(app.WaitForExit(1s)) << "still running a second after the close box";
}

// Help > About, then its OK: the main window is back and the About window,
// hidden, still exists.
void OpenAndLeaveAbout(App& app) {
  app.Menu("about");
  HWND about = FindTopLevel(app.ProcessId(), L"TorvaneAbout");
  ASSERT_NE(about, nullptr);
  ASSERT_FALSE(::IsWindowVisible(app.Main()));
  const int ok = *platform::ControlId(FrmAbout::Layout(), "cmdOK");
  DWORD_PTR r = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(about, WM_COMMAND, MAKEWPARAM(ok, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(::GetDlgItem(about, ok)), SMTO_NORMAL,
                                    10000, &r));
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.Main()) != FALSE; }, 5s));
  app.Sync();
  ASSERT_TRUE(::IsWindow(about));
  ASSERT_FALSE(::IsWindowVisible(about));
}

TEST(WindowCommands, CloseBoxEndsTheProgramAfterOtherWindowsWereShown) {
  App app;
  // The About window, a message box of ours, a minimise and restore.
  ASSERT_NO_FATAL_FAILURE(OpenAndLeaveAbout(app));
  app.SetText("Text2", L"pw");
  const MessageBoxSeen box = app.ClickForMessage("Command1");
  app.Dismiss(box);
  app.Menu("mini");
  ::PostMessageW(app.Main(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !::IsIconic(app.Main()); }, 5s));
  app.Sync();
  ::PostMessageW(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(app.WaitForExit(1s)) << "a window of ours kept the program running";
}

TEST(WindowCommands, ExitEndsTheProgramAfterTheAboutWindowWasShown) {
  App app;
  ASSERT_NO_FATAL_FAILURE(OpenAndLeaveAbout(app));
  app.PostMenu("exit");
  EXPECT_TRUE(app.WaitForExit(1s)) << "a window of ours kept the program running";
}

}  // namespace
}  // namespace torvane::e2e
