#include "win32/files/side_files.h"

#include <windows.h>

#include <cstdint>
#include <optional>

#include "platform/files.h"
#include "win32/files/file_path.h"
#include "win32/base/handles.h"

namespace torvane::win32 {
namespace {

// The folder (with its separator) and the start of every side file's name:
// the target's name, cut where the whole would pass 255 characters (not
// inside a surrogate pair), and a dot.
struct Beside {
  std::wstring folder, start;
};
Beside BesideOf(const std::wstring& target, std::wstring_view suffix) {
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::size_t from = slash == std::wstring::npos ? 0 : slash + 1;
  Beside out{target.substr(0, from), target.substr(from)};
  std::size_t keep = 255 - (kSideLonger - kNewSuffix.size() + suffix.size());
  if (out.start.size() > keep) {
    if (out.start[keep - 1] >= 0xD800 && out.start[keep - 1] <= 0xDBFF) --keep;
    out.start.resize(keep);
  }
  out.start += L'.';
  return out;
}

void AppendHex(std::wstring& out, std::uint32_t value) {
  for (int shift = 28; shift >= 0; shift -= 4) out += L"0123456789abcdef"[(value >> shift) & 0xF];
}

std::optional<std::uint32_t> Hex(std::wstring_view digits) {
  std::uint32_t value = 0;
  for (const wchar_t c : digits) {
    const wchar_t lower = c | 0x20;
    if (c >= L'0' && c <= L'9') {
      value = value << 4 | static_cast<std::uint32_t>(c - L'0');
    } else if (lower >= L'a' && lower <= L'f') {
      value = value << 4 | static_cast<std::uint32_t>(lower - L'a' + 10);
    } else {
      return std::nullopt;
    }
  }
  return value;
}

// As the file system compares names.
bool SameName(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool Ours(std::wstring_view name, const Beside& beside, std::wstring_view suffix) {
  const std::size_t n = beside.start.size();
  if (name.size() != n + 16 + suffix.size() || !SameName(name.substr(0, n), beside.start) ||
      !SameName(name.substr(n + 16), suffix)) {
    return false;
  }
  const auto stamp = Hex(name.substr(n, 8));
  const auto check = Hex(name.substr(n + 8, 8));
  return stamp && check && *check == ~*stamp;
}

// Wine shows a Unix link as the file it leads to, and deletes that file for
// the link: a file of ours is the one its folder holds under its name.
bool IsItself(const std::wstring& folder, std::wstring_view name) {
  constexpr DWORD kAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const auto open = [&](const std::wstring& path, DWORD flags) {
    return UniqueFile(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kAll, nullptr,
                                    OPEN_EXISTING, flags, nullptr));
  };
  const UniqueFile file = open(folder + std::wstring(name), 0);
  const UniqueFile where = open(folder.empty() ? L"." : folder, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file || !where) return false;
  try {
    std::wstring expected = FinalPath(where.get());
    if (!expected.ends_with(L'\\')) expected += L'\\';
    return SameName(FinalPath(file.get()), expected.append(name));
  } catch (const platform::FileError&) {
    return false;
  }
}

}  // namespace

std::wstring SidePath(const std::wstring& target, std::wstring_view suffix) {
  // Two Saves at once get different names; were they ever the same, the
  // second's exclusive creation would fail rather than take the first's file.
  static std::uint32_t saves = 0;
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  const std::uint32_t stamp = static_cast<std::uint32_t>(now.QuadPart) ^
                              (::GetCurrentProcessId() << 16) ^ (++saves * 0x9E3779B9u);
  const Beside beside = BesideOf(target, suffix);
  std::wstring path = beside.folder + beside.start;
  AppendHex(path, stamp);
  AppendHex(path, ~stamp);
  return path.append(suffix);
}

void ClearStrays(const std::wstring& target, std::wstring_view suffix) {
  const Beside beside = BesideOf(target, suffix);
  const std::wstring pattern = beside.folder + beside.start + L'*' + std::wstring(suffix);
  WIN32_FIND_DATAW found;
  const UniqueFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0));
  if (!find) return;
  constexpr DWORD kNotOurs = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  do {
    // One that cannot be removed is in use, or not ours to remove.
    if (!(found.dwFileAttributes & kNotOurs) && Ours(found.cFileName, beside, suffix) &&
        IsItself(beside.folder, found.cFileName)) {
      ::DeleteFileW((beside.folder + found.cFileName).c_str());
    }
  } while (::FindNextFileW(find.get(), &found));
}

}  // namespace torvane::win32
