#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reading registry values through the single-byte (ANSI) calls, one call per
// method, so the reader's open-read-close steps stay visible and testable.
namespace torvane::platform {

using RegKey = std::uintptr_t;  // an open key; 0 is none

inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;

// Access masks.
inline constexpr std::uint32_t kKeyRead = 0x20019;  // query, enumerate, notify, read-control

// Value types.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Result codes (Win32 error codes): 0 is success.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorMoreData = 234;

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA: on 0 `key` is set and must be given to CloseKey.
  virtual long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                       RegKey& key) = 0;
  // RegQueryValueExA: `size` is the buffer's size in, the bytes stored out.
  // A value that does not fit gives kErrorMoreData.
  virtual long QueryValue(RegKey key, std::string_view name, std::uint32_t& type, char* data,
                          std::uint32_t& size) = 0;
  virtual void CloseKey(RegKey key) = 0;
  // ExpandEnvironmentStringsA: each %NAME% becomes that variable's value; a
  // name the environment does not have stays as written.
  virtual std::string ExpandText(std::string_view text) = 0;
};

}  // namespace torvane::platform
