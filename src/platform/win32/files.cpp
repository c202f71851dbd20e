#include "platform/win32/files.h"

#include <algorithm>
#include <cwchar>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace torvane::win32 {
namespace {

constexpr DWORD kChunk = 1 << 20;

[[noreturn]] void Fail(DWORD code) {
  throw platform::FileError(SystemErrorText(code));
}

UniqueHandle Open(const std::filesystem::path& file, DWORD access, DWORD share, DWORD creation) {
  const HANDLE h =
      ::CreateFileW(file.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// The temporary file until it has replaced the target: removed on every other
// way out. Declared before the handle, so the handle is closed first.
struct TempFile {
  std::filesystem::path path;
  bool done = false;
  ~TempFile() {
    if (!done && !path.empty()) ::DeleteFileW(path.c_str());
  }
};

std::wstring Hex(unsigned long value) {
  wchar_t buf[16];
  std::swprintf(buf, 16, L"%lx", value);
  return buf;
}

}  // namespace

std::string SystemErrorText(DWORD code) {
  wchar_t buf[512];
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, 512, nullptr);
  while (n > 0 && (buf[n - 1] == L'\r' || buf[n - 1] == L'\n' || buf[n - 1] == L' ')) --n;
  if (n == 0) return "Windows error " + std::to_string(code) + ".";
  return platform::Utf16ToUtf8(U16(std::wstring_view(buf, n)));
}

platform::FileStart Win32Files::ReadStart(const std::filesystem::path& file, std::size_t maxBytes) {
  const DWORD attrs = ::GetFileAttributesW(file.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    throw platform::FileError("It is a folder, not a file.");
  }
  const UniqueHandle h =
      Open(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (!h) Fail(::GetLastError());

  // One byte past the limit tells whether the file goes on.
  platform::FileStart out;
  out.bytes.resize(maxBytes + 1);
  std::size_t got = 0;
  while (got < out.bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kChunk, out.bytes.size() - got));
    DWORD n = 0;
    if (!::ReadFile(h.get(), out.bytes.data() + got, want, &n, nullptr)) Fail(::GetLastError());
    if (n == 0) break;
    got += n;
  }
  out.more = got > maxBytes;
  out.bytes.resize(std::min(got, maxBytes));
  return out;
}

void Win32Files::Replace(const std::filesystem::path& file, std::string_view bytes) {
  // Refuse up front what the final move would refuse, with a clearer reason
  // and before anything is written.
  const DWORD attrs = ::GetFileAttributesW(file.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES) {
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) throw platform::FileError("It is a folder, not a file.");
    if (attrs & FILE_ATTRIBUTE_READONLY) throw platform::FileError("The file is read-only.");
    // Fails when another program holds the file without sharing it.
    const UniqueHandle probe = Open(
        file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (!probe) Fail(::GetLastError());
  }

  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : L".";
  const std::wstring stem = L"~tv" + Hex(::GetCurrentProcessId()) + L"-";
  TempFile temp;
  UniqueHandle h;
  const unsigned long first = ::GetTickCount();
  for (unsigned long attempt = 0;; ++attempt) {
    temp.path = folder / (stem + Hex(first + attempt) + L".tmp");
    h = Open(temp.path, GENERIC_WRITE, 0, CREATE_NEW);
    if (h) break;
    const DWORD err = ::GetLastError();
    temp.path.clear();  // someone else's file: never delete it
    if ((err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) || attempt == 1000) Fail(err);
  }

  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kChunk, bytes.size() - done));
    DWORD n = 0;
    if (!::WriteFile(h.get(), bytes.data() + done, want, &n, nullptr)) Fail(::GetLastError());
    if (n == 0) Fail(ERROR_WRITE_FAULT);
    done += n;
  }
  if (!::FlushFileBuffers(h.get())) Fail(::GetLastError());
  h.reset();

  if (!::MoveFileExW(temp.path.c_str(), file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(::GetLastError());
  }
  temp.done = true;
}

}  // namespace torvane::win32
