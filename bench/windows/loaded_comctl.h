#pragma once

// Which comctl32.dll a running program has loaded. Version 6 comes only
// through a common-controls 6 manifest, from the side-by-side assembly's own
// folder under WinSxS, named for its version; Wine ships the same file in both
// places and tells them apart by that assembly, so the folder is what counts.
// Without the manifest it is version 5 from the system folder.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cwctype>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace torvane::e2e::bench {

struct Comctl {
  std::wstring path;     // empty: none loaded
  std::string assembly;  // the side-by-side version, "6.0.2600.2982"; empty outside WinSxS
};

inline std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

inline Comctl LoadedComctl(DWORD pid) {
  HANDLE h = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!h) throw std::runtime_error("cannot open the process");
  std::vector<HMODULE> modules(512);
  DWORD bytes = 0;
  Comctl found;
  if (::EnumProcessModules(h, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                           &bytes)) {
    modules.resize(std::min<std::size_t>(modules.size(), bytes / sizeof(HMODULE)));
    for (HMODULE m : modules) {
      wchar_t full[MAX_PATH];
      const DWORD n = ::GetModuleFileNameExW(h, m, full, MAX_PATH);
      const std::wstring path(full, n);
      if (Lower(path).ends_with(L"\\comctl32.dll")) found.path = path;
    }
  }
  ::CloseHandle(h);
  // ...\WinSxS\<arch>_microsoft.windows.common-controls_<key>_<version>_<lang>_<hash>\comctl32.dll
  const std::wstring lower = Lower(found.path);
  const std::wstring key = L"\\winsxs\\", name = L"microsoft.windows.common-controls_";
  const std::size_t sxs = lower.find(key), at = lower.find(name);
  if (sxs != std::wstring::npos && at != std::wstring::npos) {
    const std::size_t from = lower.find(L'_', at + name.size()) + 1;
    const std::size_t to = lower.find(L'_', from);
    if (from != 0 && to != std::wstring::npos) {
      for (std::size_t i = from; i < to; ++i) found.assembly += static_cast<char>(lower[i]);
    }
  }
  return found;
}

// "none", "side-by-side 6.0.2600.2982", or the folder of a plain one.
inline std::string Describe(const Comctl& c) {
  if (c.path.empty()) return "none";
  if (!c.assembly.empty()) return "side-by-side " + c.assembly;
  const std::wstring folder = c.path.substr(0, c.path.find_last_of(L'\\'));
  return "from " + std::string(folder.begin(), folder.end());
}

}  // namespace torvane::e2e::bench
