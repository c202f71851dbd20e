// A seeded random sequence of user actions against the real program, checking
// after each one that it still runs, shows only the windows it should, and
// that its text box holds what a model of it says.
//   TORVANE_MONKEY_SEED     the seed (default 1)
//   TORVANE_MONKEY_ACTIONS  how many actions (default 300)
// First: <windows.h> renames MessageBox, so it must come before the headers
// that declare the program's own.
#include "harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "about/frm_about.h"
#include "cipher/cipher.h"
#include "file_helpers.h"
#include "main_window/tarvik.h"
#include "platform/layout.h"

namespace torvane::e2e {
namespace {

const std::wstring kUnavailable = L"System Information Is Unavailable At This Time";
constexpr std::size_t kMaxBox = 4000;  // keeps Wine's wrapping of the box quick

std::uint64_t FromEnv(const char* name, std::uint64_t fallback) {
  const char* v = std::getenv(name);
  if (!v || !*v) return fallback;
  return std::strtoull(v, nullptr, 10);
}

void RemoveSysInfoValues() {
  const std::pair<const wchar_t*, const wchar_t*> values[] = {
      {L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH"},
      {L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO"}};
  for (const auto& [key, name] : values) {
    HKEY k = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) continue;
    ::RegDeleteValueW(k, name);
    ::RegCloseKey(k);
  }
}

void PutOnClipboard(const std::wstring& text) {
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::memcpy(::GlobalLock(h), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  ::GlobalUnlock(h);
  for (int i = 0; i < 100 && !::OpenClipboard(nullptr); ++i) std::this_thread::sleep_for(10ms);
  ::EmptyClipboard();
  const bool ok = ::SetClipboardData(CF_UNICODETEXT, h) != nullptr;
  ::CloseClipboard();
  if (!ok) {
    ::GlobalFree(h);
    throw std::runtime_error("cannot put text on the clipboard");
  }
}

struct Visible {
  DWORD pid;
  std::vector<HWND> windows;
};
BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM lp) {
  auto* v = reinterpret_cast<Visible*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == v->pid && ::IsWindowVisible(hwnd)) v->windows.push_back(hwnd);
  return TRUE;
}

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s.push_back(c < 128 ? static_cast<char>(c) : '?');
  return s;
}

template <typename Condition>
bool WaitFor(Condition done, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

class Monkey : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    RemoveSysInfoValues();
    app = std::make_unique<App>();
  }
  void TearDown() override {
    app.reset();
    TempFolderTest::TearDown();
  }

  std::uint64_t Next(std::uint64_t n) { return n == 0 ? 0 : rng() % n; }
  bool OneIn(std::uint64_t n) { return Next(n) == 0; }

  // Lines of random codes, now and then with every code in a row.
  std::string RandomText() {
    std::string s;
    const std::size_t lines = Next(25);
    for (std::size_t i = 0; i < lines; ++i) {
      if (OneIn(6)) {
        s += AllCodes();
      } else {
        const std::size_t n = Next(40);
        for (std::size_t j = 0; j < n; ++j) s.push_back(static_cast<char>(Next(256)));
      }
      s += "\r\n";
    }
    if (OneIn(2)) s += "tail";
    return s;
  }
  // A single-line box: no line-break codes.
  std::string RandomPassword() {
    std::string s;
    const std::size_t n = OneIn(8) ? 0 : 1 + Next(12);
    while (s.size() < n) {
      const char c = static_cast<char>(Next(256));
      if (c != '\r' && c != '\n') s.push_back(c);
    }
    return s;
  }

  HWND Box() const { return app->Control("Text1"); }
  HWND About() const { return FindTopLevel(app->ProcessId(), L"TorvaneAbout"); }

  void SelectRandom() {
    std::size_t a = Next(model.size() + 1), b = Next(model.size() + 1);
    if (a > b) std::swap(a, b);
    selStart = a;
    selEnd = b;
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(Box(), EM_SETSEL, a, static_cast<LPARAM>(b), SMTO_NORMAL, 10000, &r);
    DWORD s = 0, e = 0;
    ::SendMessageW(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    ASSERT_EQ(s, a) << "selection start";
    ASSERT_EQ(e, b) << "selection end";
  }

  void ExpectBox(const std::wstring& title, const std::wstring& text, const MessageBoxSeen& box) {
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.text, text);
    app->Dismiss(box);
  }

  // --- the actions -------------------------------------------------------------

  void TypeText() {
    model = RandomText();
    app->SetText("Text1", Shown(model));
  }
  // Keys over a random selection, one WM_CHAR each, as the keyboard gives them.
  void TypeKeys() {
    ASSERT_NO_FATAL_FAILURE(SelectRandom());
    std::string keys;
    for (std::uint64_t n = 1 + Next(8); n > 0; --n) {
      const char c = static_cast<char>(32 + Next(224));
      keys.push_back(c == '\x7F' ? 'x' : c);  // DEL is a key command, not a character
    }
    app->Type("Text1", Shown(keys));
    app->Sync();
    model = model.substr(0, selStart) + keys + model.substr(selEnd);
  }
  void TypePassword() {
    password = RandomPassword();
    app->SetText("Text2", Shown(password));
  }
  void Transform(bool encrypt) {
    const char* button = encrypt ? "Command1" : "Command2";
    if (model.empty()) {
      ExpectBox(L"Error",
                encrypt ? L"Error: You have to enter text to encrypt."
                        : L"Error: You have to enter text to decrypt.",
                app->ClickForMessage(button));
    } else if (password.empty()) {
      ExpectBox(L"Error", L"Error: You have to enter a password.", app->ClickForMessage(button));
    } else {
      app->Click(button);
      model = encrypt ? EncryptText(model, password) : DecryptText(model, password);
    }
  }
  void Cut() {
    ASSERT_NO_FATAL_FAILURE(SelectRandom());
    app->Menu("cut");
    clipboard = model.substr(selStart, selEnd - selStart);
    model.clear();
  }
  void Copy() {
    ASSERT_NO_FATAL_FAILURE(SelectRandom());
    app->Menu("copy");
    clipboard = model.substr(selStart, selEnd - selStart);
  }
  void Paste() {
    ASSERT_NO_FATAL_FAILURE(SelectRandom());
    app->Menu("paste");
    model = model.substr(0, selStart) + clipboard + model.substr(selEnd);
  }
  void Clear() {
    app->Menu("clear");
    model.clear();
  }
  std::filesystem::path RandomFile() {
    static const wchar_t* const names[] = {L"a.txt", L"b c.txt", L"\u00E9t\u00E9.txt"};
    return folder / names[Next(3)];
  }
  void Save() {
    ExpectBox(L"Important",
              L"It is very important to remember or write down the password you used to "
              L"encrypt the text. This program will not save the password you used to encrypt "
              L"the text.",
              app->MenuForMessage("save"));
    const HWND dialog = app->WaitFileDialog(L"Save Encrypted Text");
    if (OneIn(5)) {
      app->CancelFileDialog(dialog);
      return;
    }
    const auto file = RandomFile();
    const std::wstring name = file.filename().wstring();
    if (files.contains(name)) {  // the dialog asks before it replaces a file
      app->EnterFile(dialog, file.wstring());
      app->Dismiss(app->WaitMessageBoxOver(dialog), IDYES);
      WaitClosed(dialog);
    } else {
      app->ChooseFile(dialog, file.wstring());
    }
    app->Sync();
    files[name] = model + "\r\n";
    ASSERT_EQ(ReadBytes(file), model + "\r\n") << "the saved file";
    ASSERT_EQ(Names().size(), files.size()) << "no temporary file left behind";
  }
  // A file the program saved, or one written here, or the dialog cancelled.
  void Load() {
    const HWND dialog = app->MenuForFileDialog("load", L"Load");
    if (OneIn(5)) {
      app->CancelFileDialog(dialog);
      return;
    }
    const auto file = RandomFile();
    if (OneIn(2) || !files.contains(file.filename().wstring())) {
      std::string bytes = RandomText();
      if (OneIn(3)) bytes += "\r\n";
      WriteBytes(file, bytes);
      files[file.filename().wstring()] = bytes;
    }
    app->ChooseFile(dialog, file.wstring());
    app->Sync();
    model = files[file.filename().wstring()];
    if (model.ends_with("\r\n")) model.resize(model.size() - 2);  // the line end Save adds
  }
  void MinimizeAndRestore() {
    app->Menu("mini");
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(app->Main()); })) << "not minimized";
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(app->Main(), WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_NORMAL, 10000, &r);
    ASSERT_TRUE(WaitFor([&] { return !::IsIconic(app->Main()); })) << "not restored";
  }
  void AboutAndOk() {
    app->Menu("about");
    const HWND about = About();
    ASSERT_TRUE(about && ::IsWindowVisible(about)) << "no About window";
    ASSERT_FALSE(::IsWindowVisible(app->Main())) << "the main window stayed";
    ASSERT_NO_FATAL_FAILURE(ExpectOnly(about));
    const auto id = [](std::string_view name) {
      return *platform::ControlId(FrmAbout::Layout(), name);
    };
    for (std::uint64_t n = Next(3); n > 0; --n) {
      ::PostMessageW(about, WM_COMMAND, MAKEWPARAM(id("cmdSysInfo"), BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(about, id("cmdSysInfo"))));
      ExpectBox(L"Torvane", kUnavailable, app->WaitMessageBox());
      ASSERT_NO_FATAL_FAILURE(ExpectOnly(about));
    }
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(about, WM_COMMAND, MAKEWPARAM(id("cmdOK"), BN_CLICKED),
                          reinterpret_cast<LPARAM>(::GetDlgItem(about, id("cmdOK"))), SMTO_NORMAL,
                          10000, &r);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(app->Main()); })) << "main stayed hidden";
  }
  // With no program for the guide the program says so; with one, it starts
  // it and says nothing. The menu item is sent from a thread of its own so
  // that this one can answer a message while the command is still running.
  void Help() {
    const int item = *platform::MenuId(Tarvik::Layout(), "help1");
    std::atomic<bool> done = false;
    const HWND main = app->Main();
    std::thread sender([&] {
      DWORD_PTR r = 0;
      ::SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(item, 0), 0, SMTO_NORMAL, 30000, &r);
      done = true;
    });
    int boxes = 0;
    while (!done) {
      if (app->FindMessageBox()) {
        ++boxes;
        ExpectBox(L"Error", L"Error opening help file.", app->WaitMessageBox());
      }
      std::this_thread::sleep_for(10ms);
    }
    sender.join();
    EXPECT_LE(boxes, 1);
  }

  // --- the checks --------------------------------------------------------------

  // `shown` is the only visible window of the program.
  void ExpectOnly(HWND shown) {
    Visible v{app->ProcessId(), {}};
    ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&v));
    for (HWND w : v.windows) {
      EXPECT_EQ(w, shown) << "unexpected window \"" << Narrow(WindowText(w)) << "\" of class "
                          << Narrow(ClassName(w));
    }
    EXPECT_EQ(v.windows.size(), 1u);
  }
  void Check() {
    ASSERT_TRUE(app->Running()) << "the program ended";
    app->Sync();
    ASSERT_NO_FATAL_FAILURE(ExpectOnly(app->Main()));
    ASSERT_FALSE(::IsIconic(app->Main()));
    const std::string real = Bytes(app->Text("Text1"));
    if (real != model) {
      std::size_t at = 0;
      while (at < real.size() && at < model.size() && real[at] == model[at]) ++at;
      FAIL() << "the box holds " << real.size() << " bytes, the model " << model.size()
             << "; first difference at " << at;
    }
    ASSERT_EQ(Bytes(app->Text("Text2")), password) << "the password box";
  }

  // Picks one action, names it in `name`, and runs it.
  void Act(std::string& name) {
    struct Choice {
      const char* name;
      int weight;
      void (Monkey::*run)();
    };
    static const Choice choices[] = {
        {"type text", 12, &Monkey::TypeText},
        {"type keys", 4, &Monkey::TypeKeys},
        {"type password", 8, &Monkey::TypePassword},
        {"encrypt", 10, &Monkey::Encrypt},
        {"decrypt", 10, &Monkey::Decrypt},
        {"cut", 5, &Monkey::Cut},
        {"copy", 6, &Monkey::Copy},
        {"paste", 8, &Monkey::Paste},
        {"clear", 3, &Monkey::Clear},
        {"save", 3, &Monkey::Save},
        {"load", 3, &Monkey::Load},
        {"minimize and restore", 2, &Monkey::MinimizeAndRestore},
        {"about", 2, &Monkey::AboutAndOk},
        {"help", 1, &Monkey::Help},
    };
    int total = 0;
    for (const auto& c : choices) total += c.weight;
    int pick = static_cast<int>(Next(static_cast<std::uint64_t>(total)));
    for (const auto& c : choices) {
      if (pick < c.weight) {
        name = c.name;
        // A paste that would make the box too long empties it first.
        if (c.run == &Monkey::Paste && model.size() + clipboard.size() > kMaxBox) {
          name = "clear (box too long to paste into)";
          Clear();
        } else {
          (this->*c.run)();
        }
        ++tally[name];
        return;
      }
      pick -= c.weight;
    }
  }
  void Encrypt() { Transform(true); }
  void Decrypt() { Transform(false); }

  std::unique_ptr<App> app;
  std::mt19937_64 rng;
  std::string model, password, clipboard;
  std::size_t selStart = 0, selEnd = 0;
  std::map<std::wstring, std::string> files;  // what each file in the folder holds
  std::map<std::string, int> tally;           // how often each action ran
};

TEST_F(Monkey, RandomActionsKeepTheBoxAsTheModelSays) {
  const std::uint64_t seed = FromEnv("TORVANE_MONKEY_SEED", 1);
  const std::uint64_t actions = FromEnv("TORVANE_MONKEY_ACTIONS", 300);
  std::printf("monkey: seed %llu, %llu actions\n", static_cast<unsigned long long>(seed),
              static_cast<unsigned long long>(actions));
  std::fflush(stdout);
  rng.seed(seed);
  clipboard = "start";
  PutOnClipboard(Shown(clipboard));

  const auto started = std::chrono::steady_clock::now();
  for (std::uint64_t step = 1; step <= actions; ++step) {
    std::string action = "?";
    try {
      Act(action);
      if (!HasFailure()) Check();
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
    if (HasFailure()) {
      FAIL() << "monkey failed: seed " << seed << ", step " << step << ", action " << action
             << " (rerun with TORVANE_MONKEY_SEED=" << seed << " TORVANE_MONKEY_ACTIONS=" << step
             << ")";
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("monkey: seed %llu, %llu actions passed in %.1f s\n",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(actions),
              seconds);
  for (const auto& [name, n] : tally) std::printf("  %-22s %d\n", name.c_str(), n);
  EXPECT_EQ(Names().size(), files.size()) << "no temporary files left behind";
}

}  // namespace
}  // namespace torvane::e2e
