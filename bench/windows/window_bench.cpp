// Window-level benchmarks of torvane.exe, each against a baseline measured in
// the same run and alternated with it: only the ratios carry over to another
// machine. Prints figures; never fails on a time. `make bench` runs it under
// Wine.
//   usage: window_bench [runs [shipped]]   (runs of each timing, 31 by
//          default; shipped: another build of torvane.exe, the shipped 32-bit
//          one, whose start-up and idle memory are measured beside this one's)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "file_helpers.h"
#include "harness.h"
#include "measure.h"
#include "start_and_idle.h"
#include "main_window/tarvik.h"
#include "platform/layout.h"

namespace torvane::e2e {
namespace {

using namespace bench;

constexpr std::size_t kBoxChars = 32000;
const std::wstring kLoadTitle = L"Load";
const std::wstring kSaveTitle = L"Save Encrypted Text";
const std::wstring kWarningTitle = L"Important";

std::wstring NotepadPath() {
  wchar_t dir[MAX_PATH];
  const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
  return std::wstring(dir, n) + L"\\notepad.exe";
}

// Text with a line break every few dozen characters, in plain and in cipher
// form (Wine's edit control wraps a long paragraph in quadratic time): the two
// codes after each line end encrypt to CR LF with the password "pw".
std::string LongText(std::size_t length) {
  std::string s;
  while (s.size() < length) s += std::string(26, 'x') + "\r\n\xB6\xBA";
  s.resize(length);
  return s;
}

std::size_t LongestLine(std::string_view s) {
  std::size_t longest = 0, run = 0;
  for (char c : s) {
    run = (c == '\r' || c == '\n') ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  return longest;
}

// --- Through torvane.exe's window -------------------------------------------

void PostMenu(const App& app, std::string_view item) {
  const auto id = platform::MenuId(Tarvik::Layout(), item);
  if (!id) throw std::logic_error("no menu item " + std::string(item));
  ::PostMessageW(app.Main(), WM_COMMAND, MAKEWPARAM(*id, 0), 0);
}

HWND WaitDialog(const App& app, const std::wstring& title, bool fileDialog) {
  return WaitFor(
      [&]() -> HWND {
        // Any visible dialog of that title: the harness's FindFileDialog would
        // pass over the password warning, which has no file-name box.
        HWND d = FindOf(app.ProcessId(), [&](HWND h) {
          wchar_t cls[16];
          return ::GetClassNameW(h, cls, 16) && std::wstring(cls) == L"#32770" &&
                 WindowText(h) == title;
        });
        if (!d) return nullptr;
        SendSync(d, WM_NULL, 0, 0);  // built once its thread pumps again
        return !fileDialog || FileNameBox(d) ? d : nullptr;
      },
      "dialog");
}

void Press(HWND dialog, int button) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
  WaitFor([&] { return !::IsWindow(dialog); }, "closing of the dialog");
}

void Choose(HWND dialog, const std::filesystem::path& file) {
  const std::wstring name = file.wstring();
  SendSync(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  Press(dialog, IDOK);
}

void ExpectNoMessage(const App& app) {
  app.Sync();
  if (auto box = app.FindMessageBox()) {
    throw std::runtime_error("unexpected message: " +
                             std::string(box->text.begin(), box->text.end()));
  }
}

// The button's click as the button reports it; returns once handled. The
// harness's Click also looks for message boxes, which is not to be timed.
void ClickEncrypt(const App& app) {
  const auto id = platform::ControlId(Tarvik::Layout(), "Command1");
  if (!id) throw std::logic_error("no Encrypt button");
  SendSync(app.Main(), WM_COMMAND, MAKEWPARAM(*id, BN_CLICKED),
           reinterpret_cast<LPARAM>(app.Control("Command1")));
}

// From the menu click to the box holding the file's text.
double LoadMs(App& app, const std::filesystem::path& file, const std::wstring& expected) {
  app.SetText("Text1", L"");
  const auto t0 = Clock::now();
  PostMenu(app, "load");
  Choose(WaitDialog(app, kLoadTitle, true), file);
  app.Sync();
  const double ms = MsSince(t0);
  ExpectNoMessage(app);
  if (app.Text("Text1") != expected) throw std::runtime_error("Load gave another text");
  return ms;
}

// From the menu click, through the password warning, to the file written.
double SaveMs(App& app, const std::filesystem::path& file) {
  const auto t0 = Clock::now();
  PostMenu(app, "save");
  Press(WaitDialog(app, kWarningTitle, false), IDOK);
  Choose(WaitDialog(app, kSaveTitle, true), file);
  app.Sync();
  const double ms = MsSince(t0);
  ExpectNoMessage(app);
  if (ReadBytes(file) != Bytes(app.Text("Text1")) + "\r\n") {
    throw std::runtime_error("Save wrote another text");
  }
  return ms;
}

// The Open dialog alone, opened and cancelled: what the dialog costs.
double DialogMs(App& app) {
  const auto t0 = Clock::now();
  PostMenu(app, "load");
  Press(WaitDialog(app, kLoadTitle, true), IDCANCEL);
  app.Sync();
  return MsSince(t0);
}

double CopyMs(const std::filesystem::path& from, const std::filesystem::path& to) {
  const auto t0 = Clock::now();
  if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) throw std::runtime_error("CopyFileW failed");
  return MsSince(t0);
}

// --- Memory -----------------------------------------------------------------

// A floor holding the text, put in by WM_SETTEXT.
double FloorPeakWithText(const Program& floor, const std::wstring& text) {
  Process p(floor.exe);
  HWND main = p.WaitWindow(floor.windowClass);
  HWND edit = ::FindWindowExW(main, nullptr, L"Edit", nullptr);
  if (!edit) throw std::runtime_error("no edit box");
  SendSync(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendSync(main, WM_NULL, 0, 0);
  return PeakWorkingSetMiB(p.Id());
}

// --- Rows -------------------------------------------------------------------

void PrintEncryptRow(int runs, const std::wstring& shownPlain, const std::wstring& shownCipher) {
  App app;
  app.SetText("Text2", L"pw");
  Row encrypt{"Encrypt of a full box (32000 characters), click to cipher text in the box",
              "torvane.exe",
              {},
              "WM_SETTEXT of the same 32000 characters",
              {},
              "ms",
              "<= 1.5"};
  for (int i = 0; i < runs; ++i) {
    // Both start from a box holding the plain text and end with it holding
    // the cipher text: the baseline only puts it there.
    app.SetText("Text1", shownPlain);
    auto t0 = Clock::now();
    app.SetText("Text1", shownCipher);
    encrypt.baseline.push_back(MsSince(t0));
    app.SetText("Text1", shownPlain);
    t0 = Clock::now();
    ClickEncrypt(app);
    encrypt.subject.push_back(MsSince(t0));
    ExpectNoMessage(app);
    if (app.Text("Text1") != shownCipher) throw std::runtime_error("Encrypt gave another text");
  }
  PrintRow(encrypt);
}

void PrintFileRows(int runs, const TempFolder& folder, const std::filesystem::path& source,
                   const std::wstring& shownPlain) {
  App app;
  const std::string copy = "CopyFileW of a 32000-byte file";
  Row load{"Load of a 32000-byte file: menu, Open dialog, box filled",
           "torvane.exe",
           {},
           copy,
           {},
           "ms",
           "-"};
  Row save{"Save of a 32000-character box: menu, warning, Save As dialog, file written",
           "torvane.exe",
           {},
           copy,
           {},
           "ms",
           "-"};
  Row dialog{"of which the Open dialog alone, opened and cancelled",
             "torvane.exe",
             {},
             copy,
             {},
             "ms",
             "-"};
  std::vector<double> copies;
  // One round first, untimed: the first dialog loads its DLLs.
  CopyMs(source, folder.path() / L"copy.txt");
  LoadMs(app, source, shownPlain);
  SaveMs(app, folder.path() / L"saved.txt");
  DialogMs(app);
  for (int i = 0; i < runs; ++i) {
    const std::wstring n = std::to_wstring(i);
    copies.push_back(CopyMs(source, folder.path() / (L"copy" + n + L".txt")));
    load.subject.push_back(LoadMs(app, source, shownPlain));
    save.subject.push_back(SaveMs(app, folder.path() / (L"saved" + n + L".txt")));
    dialog.subject.push_back(DialogMs(app));
  }
  load.baseline = save.baseline = dialog.baseline = copies;
  PrintRow(load);
  PrintRow(save);
  PrintRow(dialog);
}

// torvane.exe's peak after a full-box Encrypt, with and without Save and Load,
// against the floors holding the same 32000 characters.
void PrintPeakRows(int runs, const Programs& programs, const TempFolder& folder,
                   const std::wstring& shownPlain, const std::wstring& shownCipher) {
  const std::string sameText = ", same text";
  // A reference, not a goal: after the dialogs the program holds what they
  // loaded, as any program that has shown them does.
  Row all{"(reference) peak working set after a full-box Encrypt, Save and Load",
          "torvane.exe",
          {},
          programs.bare.name + sameText,
          {},
          "MiB",
          "-"};
  Row encryptOnly{"(reference) peak working set after a full-box Encrypt only, no dialog",
                  "torvane.exe",
                  {},
                  programs.themed.name + sameText,
                  {},
                  "MiB",
                  "-"};
  for (int i = 0; i < runs; ++i) {
    {
      App app;
      app.SetText("Text2", L"pw");
      app.SetText("Text1", shownPlain);
      app.Click("Command1");
      const auto file = folder.path() / (L"memory" + std::to_wstring(i) + L".txt");
      SaveMs(app, file);
      LoadMs(app, file, shownCipher);
      all.subject.push_back(PeakWorkingSetMiB(app.ProcessId()));
    }
    all.baseline.push_back(FloorPeakWithText(programs.bare, shownCipher));
    {
      App app;
      app.SetText("Text2", L"pw");
      app.SetText("Text1", shownPlain);
      app.Click("Command1");
      encryptOnly.subject.push_back(PeakWorkingSetMiB(app.ProcessId()));
    }
    encryptOnly.baseline.push_back(FloorPeakWithText(programs.themed, shownCipher));
  }
  PrintRow(all);
  PrintRow(encryptOnly);
}

// --- Output -----------------------------------------------------------------

int Run(int runs, const std::wstring& shipped) {
  const std::string wine = WineVersion();
  std::printf("torvane.exe window benchmarks: %d-bit build%s%s",
              static_cast<int>(sizeof(void*) * 8), wine.empty() ? "" : ", under Wine ",
              wine.c_str());
  if (sizeof(void*) == 8) std::printf(" (the 64-bit twin of the shipped 32-bit exe, same sources)");
  if (!shipped.empty()) {
    std::printf("; the shipped 32-bit torvane.exe is started beside it, from %ls", shipped.c_str());
  }
  const int peakRuns = std::max(3, runs / 5);
  std::printf(
      ".\n\nMedians of %d runs (peak working set: %d) with min-max, each alternated with its "
      "baseline in this run.\n\nsame_window_floor.exe: torvane.exe's window and nothing else, "
      "built by the same runtime from the same layout table, with the same icon, manifest and "
      "placement; bare_floor.exe: one window and one multi-line edit box; themed_floor.exe: the "
      "same with a common-controls 6 manifest and InitCommonControlsEx, as a themed program must "
      "be. All are built with torvane.exe's toolchain and options.\n\n",
      runs, peakRuns);

  const Programs programs{
      {"torvane.exe", ProgramFolder() + L"\\torvane.exe", L"TorvaneMain"},
      {"same_window_floor.exe", ProgramFolder() + L"\\same_window_floor.exe", L"TorvaneMain"},
      {"bare_floor.exe", ProgramFolder() + L"\\bare_floor.exe", L"FloorWindow"},
      {"themed_floor.exe", ProgramFolder() + L"\\themed_floor.exe", L"FloorWindow"},
      {"notepad.exe", NotepadPath(), L"Notepad"},
      shipped.empty()
          ? std::nullopt
          : std::optional<Program>({"the shipped 32-bit torvane.exe", shipped, L"TorvaneMain"})};
  PrintFirstStarts(programs);
  PrintHeader();
  PrintStartAndIdleRows(programs, runs);

  const std::string plain = LongText(kBoxChars);
  const std::string cipher = EncryptText(plain, "pw");
  if (LongestLine(plain) > 60 || LongestLine(cipher) > 60) {
    throw std::logic_error("the benchmark text has long lines");
  }
  const std::wstring shownPlain = Shown(plain), shownCipher = Shown(cipher);
  PrintEncryptRow(runs, shownPlain, shownCipher);

  TempFolder folder;
  const auto source = folder.path() / L"source.txt";
  WriteBytes(source, plain);
  PrintFileRows(runs, folder, source, shownPlain);
  PrintPeakRows(peakRuns, programs, folder, shownPlain, shownCipher);
  return 0;
}

}  // namespace
}  // namespace torvane::e2e

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 31;
  try {
    return torvane::e2e::Run(runs, argc > 2 ? argv[2] : L"");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "window_bench: %s\n", e.what());
    return 1;
  }
}
