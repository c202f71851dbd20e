#pragma once

#include "platform/files.h"

namespace torvane::win32 {

class Win32Files final : public platform::Files {
 public:
  platform::FirstBytes ReadFirstBytes(const platform::Path& file, std::size_t maxBytes) override;
  // Writes a new file beside the target and moves it over the target, so the
  // target is either the old file or the new one, never a mix.
  void Replace(const platform::Path& file, std::string_view bytes) override;
};

}  // namespace torvane::win32
