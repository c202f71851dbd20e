// The file picker against a stand-in for comdlg32's dialogs, for the answers
// the real ones give only now and then: a remembered name they refuse, a
// path too long for any buffer, a failure.
#include <windows.h>
// After <windows.h>.
#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <objbase.h>

#include <vector>

#include "file_helpers.h"
#include "hooks.h"
#include "platform/system_error.h"
#include "win32/files/file_picker.h"

TORVANE_IMPORT_SLOT(MessageBoxW, 16);

namespace torvane::e2e {
namespace {

// What each dialog was asked: the dialog, its flags, its file name at the
// start. Each answer in turn: an error code, or 0 and the file chosen (none:
// cancelled).
std::vector<std::wstring> asked;
std::vector<std::pair<DWORD, std::wstring>> answers;
DWORD lastError = 0;

BOOL Answer(const wchar_t* dialog, OPENFILENAMEW* ofn) {
  asked.push_back(std::wstring(dialog) + L" " + std::to_wstring(ofn->Flags) + L" " +
                  ofn->lpstrFile);
  const auto [error, file] = answers.at(asked.size() - 1);
  lastError = error;
  if (error == FNERR_BUFFERTOOSMALL) *reinterpret_cast<WORD*>(ofn->lpstrFile) = 40000;
  if (error || file.empty()) return FALSE;  // no error: cancelled
  file.copy(ofn->lpstrFile, file.size()), ofn->lpstrFile[file.size()] = L'\0';
  ofn->nFilterIndex = 3;
  return TRUE;
}
// In place of the answers, a dialog window of the kind comdlg32 makes.
BOOL (*openWindow)(OPENFILENAMEW*) = nullptr;
BOOL WINAPI Open(OPENFILENAMEW* ofn) {
  if (openWindow) return openWindow(ofn);
  return Answer(L"open", ofn);
}
BOOL WINAPI SaveAs(OPENFILENAMEW* ofn) {
  return Answer(L"save", ofn);
}
DWORD WINAPI LastError() {
  return lastError;
}
// comdlg32 as the picker finds it.
std::vector<std::pair<const char*, FARPROC>> Dialogs() {
  return {{"GetOpenFileNameW", AsFound(&Open)},
          {"GetSaveFileNameW", AsFound(&SaveAs)},
          {"CommDlgExtendedError", AsFound(&LastError)}};
}

// Flags asked for: file-must-exist 0x1000, with a hook 0x20 and several
// files 0x200 that the picker never passes on; it adds Explorer 0x80000 and
// no read-only box 0x4, so the dialog gets 0x81004.
TEST(FilePicker, ARefusedRememberedNameIsDroppedAndARareAnswerIsSaid) {
  const StandIns dialogs(Dialogs());
  const Hook boxes(importSlot_MessageBoxW, &Tell);
  win32::Win32FilePicker picker(nullptr);
  platform::FilePickRequest request{platform::FilePickRequest::Kind::kOpen,
                                    u"Load",
                                    u"",
                                    u"C:\\gone\\a?.txt",
                                    0x1000 | 0x20 | 0x200,
                                    1};
  const auto pick = [&](std::vector<std::pair<DWORD, std::wstring>> given) {
    asked.clear(), answers = std::move(given), told.clear();
    try {
      const auto picked = picker.Pick(request);
      return picked ? std::string(picked->path.begin(), picked->path.end()) + " " +
                          std::to_string(picked->filterIndex)
                    : "cancelled";
    } catch (const platform::SystemError& e) {
      return e.what() + (" " + e.call() + " ") + std::to_string(e.code());
    }
  };
  EXPECT_EQ(pick({{FNERR_INVALIDFILENAME, L""}, {0, L"C:\\b.txt"}}), "C:\\b.txt 3");
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"open 528388 C:\\gone\\a?.txt", L"open 528388 "}));
  EXPECT_EQ(pick({{0, L""}}), "cancelled");
  // The shell's parts of the dialog want COM in a single-threaded apartment.
  APTTYPE apartment{};
  APTTYPEQUALIFIER qualifier{};
  ASSERT_EQ(::CoGetApartmentType(&apartment, &qualifier), S_OK);
  EXPECT_EQ(apartment, APTTYPE_MAINSTA);
  // Refused with nothing remembered: the dialog cannot be shown at all.
  request.kind = platform::FilePickRequest::Kind::kSaveAs, request.file.clear();
  EXPECT_EQ(pick({{FNERR_INVALIDFILENAME, L""}, {0, L"C:\\b.txt"}}),
            "The file dialog could not be shown. GetSaveFileNameW 12290");
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"save 528388 "}));
  // The first character of the buffer is the room that was needed.
  EXPECT_EQ(pick({{FNERR_BUFFERTOOSMALL, L""}}), "cancelled");
  EXPECT_EQ(told,
            L"Load: The path chosen is too long: it needs room for 40000 characters, and "
            L"this program has room for 32768.");
}

// The dialog's folder and the name typed in its box, and whether OK went
// through to the dialog.
std::wstring folder, typed;
bool wentThrough = false;
INT_PTR CALLBACK DialogOf(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == CDM_GETFOLDERPATH) {
    auto* out = reinterpret_cast<wchar_t*>(lp);
    out[folder.copy(out, wp - 1)] = L'\0';
    ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, static_cast<LONG_PTR>(folder.size() + 1));
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wp) == IDOK) wentThrough = true;
  return msg == WM_COMMAND;
}
BOOL OkPressed(OPENFILENAMEW* ofn) {
  const struct {
    DLGTEMPLATE dialog;
    WORD menu, cls, title;
  } empty{{WS_POPUP, 0, 0, 0, 0, 99, 99}, 0, 0, 0};
  const HWND dialog =
      ::CreateDialogIndirectParamW(nullptr, &empty.dialog, ofn->hwndOwner, &DialogOf, 0);
  ::SetWindowTextW(dialog, L"Load");
  ::CreateWindowExW(0, L"EDIT", typed.c_str(), WS_CHILD, 0, 0, 99, 20, dialog,
                    reinterpret_cast<HMENU>(edt1), nullptr, nullptr);
  wentThrough = false;
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  ::DestroyWindow(dialog);
  lastError = 0;  // then cancelled
  return FALSE;
}

// The path the dialog would build at OK from 260 characters on is refused
// before the dialog sees it: a name with a drive or a network name as typed,
// one from the root on the folder's drive, any other joined to the folder.
TEST(FilePicker, APathThatTheDialogWouldBuildOf260IsRefusedBeforeItSeesIt) {
  const StandIns dialogs(Dialogs());
  const Hook boxes(importSlot_MessageBoxW, &Tell);
  openWindow = &OkPressed;
  const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                                       nullptr, nullptr);
  win32::Win32FilePicker picker(owner);
  const std::wstring deep = L"C:\\" + std::wstring(252, L'f');  // 255 characters
  const std::tuple<std::wstring, std::wstring, int> rows[] = {
      {deep, std::wstring(3, L'n'), 0},  // 255 + a backslash + 3
      {deep, std::wstring(4, L'n'), 260},
      {deep + L"\\", std::wstring(3, L'n'), 0},  // the folder's own backslash
      {L"C:\\", std::wstring(257, L'n'), 260},
      {L"C:\\" + std::wstring(255, L'f'), L"D:", 0},  // as typed, not joined to 258
      {deep, L"D:" + std::wstring(258, L'n'), 260},
      {deep, L"\\\\s\\" + std::wstring(255, L'n'), 0},
      {deep, L"\\\\s\\" + std::wstring(256, L'n'), 260},
      {deep, L"\\" + std::wstring(256, L'n'), 0},  // after the drive's "C:"
      {deep, L"\\" + std::wstring(257, L'n'), 260},
  };
  for (const auto& [in, name, refused] : rows) {
    folder = in, typed = name, told.clear();
    picker.Pick({platform::FilePickRequest::Kind::kOpen, u"Load", u"", u"", 0, 1});
    EXPECT_EQ(std::pair(told, wentThrough),
              std::pair(refused ? L"Load: The path is too long: " + std::to_wstring(refused) +
                                      L" characters, and this dialog takes at most 259.\nPlease "
                                      L"choose a shorter one."
                                : L"",
                        !refused))
        << in.size() << " + " << name.size();
  }
  openWindow = nullptr;
  ::DestroyWindow(owner);
}

}  // namespace
}  // namespace torvane::e2e
