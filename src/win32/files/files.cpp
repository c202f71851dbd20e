#include "win32/files/files.h"

#include <aclapi.h>

#include <algorithm>

#include "win32/base/error.h"
#include "win32/files/file_path.h"
#include "win32/base/handles.h"
#include "win32/files/side_files.h"
#include "win32/base/text.h"

namespace torvane::win32 {
namespace {

constexpr DWORD kChunk = 1 << 20;

// A file error carries the system's sentence: the user reads it after
// "The file could not be saved."
[[noreturn]] void FailFile(const char* call, DWORD code = ::GetLastError()) {
  Fail<platform::FileError>(call, code);
}

UniqueFile Open(const std::wstring& file, DWORD access, DWORD share, DWORD creation,
                DWORD attributes = FILE_ATTRIBUTE_NORMAL, SECURITY_ATTRIBUTES* security = nullptr) {
  return UniqueFile(
      ::CreateFileW(file.c_str(), access, share, security, creation, attributes, nullptr));
}

// The target's access list for the new file, where it can be read, so that
// the text is never open to more people than the target was. Without the
// right to execute: a saved text needs none, and Wine turns it into the Unix
// mode's execute bits. Windows' replace then puts the target's own list on.
UniqueLocal SecurityOf(HANDLE target) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (::GetSecurityInfo(target, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                        nullptr, &sd) != ERROR_SUCCESS) {
    return {};
  }
  GENERIC_MAPPING files{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                        FILE_ALL_ACCESS};
  void* ace = nullptr;
  for (DWORD i = 0; dacl && ::GetAce(dacl, i, &ace); ++i) {
    if (static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    ACCESS_MASK& mask = static_cast<ACCESS_ALLOWED_ACE*>(ace)->Mask;
    ::MapGenericMask(&mask, &files);
    mask &= ~FILE_EXECUTE;
  }
  return UniqueLocal(sd);
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
    if (err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
        !::MoveFileExW(backup->c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
      // The user must learn where the old file is now.
      const std::wstring name = backup->substr(backup->find_last_of(L"\\/") + 1);
      Fail<platform::FileError>("MoveFileExW", ::GetLastError(),
                                "The new text could not be put in place, and the old file could "
                                "not be put back: it is now \"" +
                                    Utf8FromWide(name) + "\", beside where it was.");
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
  const std::wstring file = DiskPath(path);
  const DWORD attrs = ::GetFileAttributesW(file.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    throw platform::FileError("It is a folder, not a file.");
  }
  const UniqueFile h = Open(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (!h) FailFile("CreateFileW");
  RequireDisk(h.get(), path);

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
  std::wstring file = DiskPath(path);
  // Refuse up front what the final replace would refuse, with a clearer
  // reason and before anything is written.
  const DWORD attrs = ::GetFileAttributesW(file.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES) {
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) throw platform::FileError("It is a folder, not a file.");
    if (attrs & FILE_ATTRIBUTE_READONLY) throw platform::FileError("The file is read-only.");
  }
  // Fails when another program holds the file without sharing it.
  UniqueFile target = Open(file, GENERIC_WRITE | READ_CONTROL,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!target && ::GetLastError() != ERROR_FILE_NOT_FOUND) FailFile("CreateFileW");
  const bool exists = static_cast<bool>(target);
  // The new file gets the target's attributes, in case the system's replace
  // does not carry them over (a hidden file stays hidden), and its security.
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  DWORD kept = 0;
  UniqueLocal security;
  if (exists) {
    RequireDisk(target.get(), path);
    // Through a link or a junction, the file it leads to takes the new text,
    // and the files of the swap go beside that file: the link stays a link.
    file = FinalPath(target.get());
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(target.get(), &info)) kept = info.dwFileAttributes & kKept;
    security = SecurityOf(target.get());
    target.reset();
  }

  ClearStrays(file, kNewSuffix);
  // Beside a missing target, a backup may be the only copy of an old file.
  if (exists) ClearStrays(file, kOldSuffix);
  TempFile temp;
  const std::wstring tempPath = SidePath(file, kNewSuffix);
  SECURITY_ATTRIBUTES like{sizeof like, security.get(), FALSE};
  UniqueFile h = Open(tempPath, GENERIC_WRITE, 0, CREATE_NEW, kept ? kept : FILE_ATTRIBUTE_NORMAL,
                      security ? &like : nullptr);
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
  const std::wstring backup = SidePath(file, kOldSuffix);
  PutInPlace(temp, file, exists ? &backup : nullptr);
}

}  // namespace torvane::win32
