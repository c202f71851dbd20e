#include "win32/files/file_picker.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "win32/base/error.h"
#include "win32/files/long_path_guard.h"
#include "win32/system/shell.h"
#include "win32/base/system_dll.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

// Room for the longest path Windows knows.
constexpr DWORD kPathRoom = 32768;

// Options that need more of OPENFILENAMEW than the properties give (hooks,
// templates) or change what lpstrFile holds (several files): never passed on.
constexpr DWORD kUnsupported =
    OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE | OFN_ALLOWMULTISELECT;

constexpr const char* kCannotShow = "The file dialog could not be shown.";

platform::Path Terminated(const std::wstring& buffer) {
  return U16(std::wstring_view(buffer.c_str(), std::wcslen(buffer.c_str())));
}

}  // namespace

std::optional<platform::FilePicked> Win32FilePicker::Pick(
    const platform::FilePickRequest& request) {
  std::wstring file(kPathRoom, L'\0');
  const std::wstring start = Wide(request.file);
  if (start.size() < kPathRoom) start.copy(file.data(), start.size());
  std::wstring title(kPathRoom, L'\0');
  const std::wstring filter = Wide(request.filter);
  const std::wstring caption = Wide(request.title);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = request.filterIndex > 0 ? static_cast<DWORD>(request.filterIndex) : 0;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kPathRoom;
  ofn.lpstrFileTitle = title.data();
  ofn.nMaxFileTitle = kPathRoom;
  ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
  // The read-only check box means nothing to this program.
  ofn.Flags = (static_cast<DWORD>(request.flags) & ~kUnsupported) | OFN_EXPLORER | OFN_HIDEREADONLY;

  const bool open = request.kind == platform::FilePickRequest::Kind::kOpen;
  const char* const call = open ? "GetOpenFileNameW" : "GetSaveFileNameW";
  const auto dialog = SystemFunctionOf<decltype(::GetOpenFileNameW)>(L"comdlg32.dll", call);
  const auto lastError =
      SystemFunctionOf<decltype(::CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
  // Without comdlg32 the user hears what a dialog that fails to show says.
  if (!dialog || !lastError) Fail(call, ::GetLastError(), kCannotShow);
  EnsureComForTheShell();
  const LongPathGuard guard(owner_);
  BOOL chosen = dialog(&ofn);
  if (!chosen && lastError() == FNERR_INVALIDFILENAME && file[0] != L'\0') {
    // The remembered name is one the dialog will not start with: start
    // without it rather than never showing the dialog again.
    std::fill(file.begin(), file.end(), L'\0');  // the same buffer: ofn points into it
    chosen = dialog(&ofn);
  }
  if (!chosen) {
    const DWORD err = lastError();
    if (err == 0) return std::nullopt;  // cancelled
    if (err == FNERR_BUFFERTOOSMALL) {
      // The path chosen does not fit even the longest Windows knows: say so,
      // and the choice counts as cancelled. The buffer's first character is
      // the room it needed.
      const std::string text = "The path chosen is too long: it needs room for " +
                               std::to_string(static_cast<unsigned>(file[0])) +
                               " characters, and this program has room for " +
                               std::to_string(kPathRoom) + ".";
      ::MessageBoxW(owner_, WideFromUtf8(text).c_str(), caption.empty() ? nullptr : caption.c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
      return std::nullopt;
    }
    // A common-dialog code (CDERR_, FNERR_), not a GetLastError one.
    Fail(call, err, kCannotShow);
  }
  return platform::FilePicked{Terminated(file), Terminated(title),
                              static_cast<int>(ofn.nFilterIndex)};
}

}  // namespace torvane::win32
