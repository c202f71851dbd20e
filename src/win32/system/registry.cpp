#include "win32/system/registry.h"

#include <windows.h>

#include <string>

#include "win32/base/error.h"

namespace torvane::win32 {
namespace {

// Predefined roots are sign-extended: HKEY_LOCAL_MACHINE is
// (HKEY)(ULONG_PTR)(LONG)0x80000002, so 0xFFFFFFFF80000002 in a 64-bit program.
HKEY RootKey(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY ToHkey(platform::RegKey key) {
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

long Win32Registry::OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                            platform::RegKey& key) {
  const std::string p(path);
  HKEY opened = nullptr;
  const LONG result = ::RegOpenKeyExA(RootKey(root), p.c_str(), 0, access, &opened);
  if (result == ERROR_SUCCESS) key = reinterpret_cast<platform::RegKey>(opened);
  return result;
}

long Win32Registry::QueryValue(platform::RegKey key, std::string_view name, std::uint32_t& type,
                               char* data, std::uint32_t& size) {
  const std::string n(name);
  DWORD t = 0;
  DWORD bytes = size;
  const LONG result = ::RegQueryValueExA(ToHkey(key), n.c_str(), nullptr, &t,
                                         reinterpret_cast<BYTE*>(data), &bytes);
  type = t;
  size = bytes;
  return result;
}

void Win32Registry::CloseKey(platform::RegKey key) {
  ::RegCloseKey(ToHkey(key));
}

std::string Win32Registry::ExpandText(std::string_view text) {
  const std::string in(text);
  std::string out(in.size() + 1, '\0');
  for (;;) {
    // The size it asks for counts the terminating zero.
    const DWORD want =
        ::ExpandEnvironmentStringsA(in.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (want == 0) Fail("ExpandEnvironmentStringsA");
    if (want <= out.size()) {
      out.resize(want - 1);
      return out;
    }
    out.resize(want);
  }
}

static_assert(sizeof(platform::RegKey) >= sizeof(HKEY));

}  // namespace torvane::win32
