#pragma once

#include <windows.h>

#include <string>

#include "platform/files.h"

namespace torvane::win32 {

// The system's text for a Win32 error code, as a sentence (UTF-8).
std::string SystemErrorText(DWORD code);

class Win32Files final : public platform::Files {
 public:
  platform::FileStart ReadStart(const std::filesystem::path& file, std::size_t maxBytes) override;
  // Writes a new file beside the target and moves it over the target, so the
  // target is either the old file or the new one, never a mix.
  void Replace(const std::filesystem::path& file, std::string_view bytes) override;
};

}  // namespace torvane::win32
