#pragma once

#include "platform/registry.h"

namespace torvane::win32 {

// The registry through advapi32's single-byte calls, in the program's own
// registry view (a 32-bit program on 64-bit Windows reads the 32-bit one).
class Win32Registry final : public platform::Registry {
 public:
  long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
               platform::RegKey& key) override;
  long QueryValue(platform::RegKey key, std::string_view name, std::uint32_t& type, char* data,
                  std::uint32_t& size) override;
  void CloseKey(platform::RegKey key) override;
  std::string ExpandText(std::string_view text) override;
};

}  // namespace torvane::win32
