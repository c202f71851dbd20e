#include "win32/files.h"

#include <algorithm>

#include "win32/error.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace torvane::win32 {
namespace {

constexpr DWORD kChunk = 1 << 20;
// Beside the target, for the new file and for the old one while they swap.
// Both suffixes have the same length.
constexpr std::wstring_view kTempSuffix = L".torvane.tmp";
constexpr std::wstring_view kBackupSuffix = L".torvane.bak";

// A file error carries the system's sentence: the user reads it after
// "The file could not be saved."
[[noreturn]] void FailFile(const char* call, DWORD code = ::GetLastError()) {
  Fail<platform::FileError>(call, code);
}

UniqueFile Open(const std::wstring& file, DWORD access, DWORD share, DWORD creation,
                DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  return UniqueFile(
      ::CreateFileW(file.c_str(), access, share, nullptr, creation, attributes, nullptr));
}

// A path of MAX_PATH or more only works in the \\?\ form (short of the
// long-path opt-in of Windows 10), which the system takes literally: so the
// path is made full and canonical first. The margin leaves room for the
// temporary file's longer name beside the target.
std::wstring SystemPath(const platform::Path& file) {
  const std::wstring path = Wide(file);
  if (path.size() < MAX_PATH - kTempSuffix.size() || path.starts_with(L"\\\\?\\")) return path;
  std::wstring full(::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
  const DWORD n =
      ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (n == 0 || n >= full.size()) FailFile("GetFullPathNameW");
  full.resize(n);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// The files beside the target are named after it, so that whoever finds one
// left by a killed Save knows what it is, and the next Save to the same
// target clears it. A name has at most 255 characters: a longer one is cut
// before the suffix (not inside a surrogate pair).
std::wstring SidePath(const std::wstring& target, std::wstring_view suffix) {
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
  std::wstring name = slash == std::wstring::npos ? target : target.substr(slash + 1);
  constexpr std::size_t kMaxName = 255;
  if (name.size() + suffix.size() > kMaxName) {
    std::size_t keep = kMaxName - suffix.size();
    if (name[keep - 1] >= 0xD800 && name[keep - 1] <= 0xDBFF) --keep;
    name.resize(keep);
  }
  return folder + name + std::wstring(suffix);
}

// A file of such a name is one a Save of ours left behind: removed, unless
// something else is in its way.
void ClearStray(const std::wstring& temp) {
  const DWORD attrs = ::GetFileAttributesW(temp.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return;
  const std::wstring name = temp.substr(temp.find_last_of(L"\\/") + 1);
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
    throw platform::FileError("A folder named \"" + Utf8FromWide(name) + "\" is in the way.");
  }
  if (!::DeleteFileW(temp.c_str())) FailFile("DeleteFileW");
}

// The temporary file until it is in the target's place: removed on every
// other way out. Declared before the handle, so the handle is closed first.
struct TempFile {
  std::wstring path;
  bool done = false;
  ~TempFile() {
    if (!done && !path.empty()) ::DeleteFileW(path.c_str());
  }
};

// Puts the written temporary file in the target's place. ReplaceFileW keeps
// the replaced file's attributes, security and streams. It is given a backup
// name because without one Wine's deletes the old file before it moves the
// new one in, and Windows' may leave the old file gone when the move fails;
// with one, the old file is always somewhere. A target that does not exist
// is a plain move, which never overwrites one that appeared since.
void PutInPlace(TempFile& temp, const std::wstring& target, const std::wstring* backup) {
  if (backup) {
    if (::ReplaceFileW(target.c_str(), temp.path.c_str(), backup->c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      temp.done = true;
      ::DeleteFileW(backup->c_str());
      return;
    }
    const DWORD err = ::GetLastError();
    // The old file is under the backup name, the new one still the
    // temporary file: the old one goes back.
    if (err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
      ::MoveFileExW(backup->c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    // A target removed since the check is created instead.
    if (err != ERROR_FILE_NOT_FOUND ||
        ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
      FailFile("ReplaceFileW", err);
    }
  }
  if (!::MoveFileExW(temp.path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    FailFile("MoveFileExW");
  }
  temp.done = true;
}

}  // namespace

platform::FirstBytes Win32Files::ReadFirstBytes(const platform::Path& path, std::size_t maxBytes) {
  const std::wstring file = SystemPath(path);
  const DWORD attrs = ::GetFileAttributesW(file.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    throw platform::FileError("It is a folder, not a file.");
  }
  const UniqueFile h = Open(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (!h) FailFile("CreateFileW");

  // One byte past the limit tells whether the file goes on.
  platform::FirstBytes out;
  out.bytes.resize(maxBytes + 1);
  std::size_t got = 0;
  while (got < out.bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kChunk, out.bytes.size() - got));
    DWORD n = 0;
    if (!::ReadFile(h.get(), out.bytes.data() + got, want, &n, nullptr)) FailFile("ReadFile");
    if (n == 0) break;
    got += n;
  }
  out.more = got > maxBytes;
  out.bytes.resize(std::min(got, maxBytes));
  return out;
}

void Win32Files::Replace(const platform::Path& path, std::string_view bytes) {
  const std::wstring file = SystemPath(path);
  // Refuse up front what the final replace would refuse, with a clearer
  // reason and before anything is written.
  const DWORD attrs = ::GetFileAttributesW(file.c_str());
  const bool exists = attrs != INVALID_FILE_ATTRIBUTES;
  if (exists) {
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) throw platform::FileError("It is a folder, not a file.");
    if (attrs & FILE_ATTRIBUTE_READONLY) throw platform::FileError("The file is read-only.");
    // Fails when another program holds the file without sharing it.
    const UniqueFile probe = Open(
        file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (!probe) FailFile("CreateFileW");
  }

  const std::wstring tempPath = SidePath(file, kTempSuffix);
  ClearStray(tempPath);
  // Beside a missing target, a backup may be the only copy of an old file.
  const std::wstring backup = SidePath(file, kBackupSuffix);
  if (exists) ClearStray(backup);
  TempFile temp;
  // Created with the target's attributes, in case the system's replace does
  // not carry them over.
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  UniqueFile h = Open(tempPath, GENERIC_WRITE, 0, CREATE_NEW,
                      exists && (attrs & kKept) ? attrs & kKept : FILE_ATTRIBUTE_NORMAL);
  if (!h) FailFile("CreateFileW");  // someone else's file by now: never delete it
  temp.path = tempPath;

  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kChunk, bytes.size() - done));
    DWORD n = 0;
    if (!::WriteFile(h.get(), bytes.data() + done, want, &n, nullptr)) FailFile("WriteFile");
    if (n == 0) FailFile("WriteFile", ERROR_WRITE_FAULT);
    done += n;
  }
  if (!::FlushFileBuffers(h.get())) FailFile("FlushFileBuffers");
  h.reset();
  PutInPlace(temp, file, exists ? &backup : nullptr);
}

}  // namespace torvane::win32
