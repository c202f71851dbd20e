#include "win32/files/file_path.h"

#include "platform/files.h"
#include "win32/base/error.h"
#include "win32/files/side_files.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

constexpr std::wstring_view kSystemPrefixes[] = {L"\\\\.\\", L"\\\\?\\"};

[[noreturn]] void Refuse(std::u16string_view name, const char* what) {
  throw platform::FileError("\"" + Utf8FromWide(Wide(name)) + "\" " + what);
}
constexpr const char* kDeviceName = "is the name of a device, not of a file.";

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
  const DWORD n =
      ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (n == 0 || n >= full.size()) Fail<platform::FileError>("GetFullPathNameW");
  full.resize(n);
  return full;
}

// The \\?\ form is taken as it stands: no device names, no length limit.
std::wstring Literal(const std::wstring& full) {
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// After \\.\ or \\?\, a path on a drive (C:\...), a share (UNC\...) or a
// volume (Volume{...}\...) is a file's; anything else (COM1, pipe\...,
// PhysicalDrive0, C: alone) is a device's.
bool FileInSystemSpace(std::wstring_view rest) {
  const std::size_t slash = rest.find(L'\\');
  if (slash == std::wstring_view::npos || slash + 1 == rest.size()) return false;
  const std::wstring_view root = rest.substr(0, slash);
  return (root.size() == 2 && root[1] == L':') ||
         ::CompareStringOrdinal(root.data(), static_cast<int>(root.size()), L"UNC", 3, TRUE) ==
             CSTR_EQUAL ||
         (root.starts_with(L"Volume{") && root.ends_with(L'}'));
}

}  // namespace

std::wstring DiskPath(const platform::Path& file) {
  const std::wstring path = Wide(file);
  for (const std::wstring_view prefix : kSystemPrefixes) {
    if (!path.starts_with(prefix)) continue;
    if (!FileInSystemSpace(std::wstring_view(path).substr(prefix.size()))) {
      Refuse(std::u16string_view(file).substr(prefix.size()), kDeviceName);
    }
    return path;
  }
  const std::wstring full = FullPath(path);
  if (full.starts_with(kSystemPrefixes[0])) {
    // Windows before 11, and Wine, take COM1, AUX, NUL and the others with
    // any extension, in any folder, for the device. The literal path of the
    // folder and the name reaches a file of that name where there is one.
    const std::size_t cut = path.find_last_of(L"\\/:");
    std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    std::wstring folder = FullPath(cut == std::wstring::npos ? L"." : path.substr(0, cut + 1));
    if (!folder.ends_with(L'\\')) folder += L'\\';
    const std::wstring literal = Literal(folder + name);
    if (::GetFileAttributesW(literal.c_str()) == INVALID_FILE_ATTRIBUTES) {
      Refuse(platform::NameOf(file), kDeviceName);
    }
    return literal;
  }
  // The margin leaves room for the longer names of the files beside it.
  return path.size() < MAX_PATH - kSideLonger ? path : Literal(full);
}

void RequireDisk(HANDLE file, const platform::Path& name) {
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    Refuse(platform::NameOf(name), "is a device or a pipe, not a file.");
  }
}

std::wstring FinalPath(HANDLE file) {
  // A volume mounted in a folder without a drive letter has only its GUID name.
  for (const DWORD volume : {VOLUME_NAME_DOS, VOLUME_NAME_GUID}) {
    std::wstring path;
    DWORD n = MAX_PATH;
    do {
      path.resize(n);  // n: the size it asks for, its terminating zero included
      n = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), volume);
    } while (n >= path.size());
    if (n > 0) return path.substr(0, n);
  }
  Fail<platform::FileError>("GetFinalPathNameByHandleW");
}

}  // namespace torvane::win32
