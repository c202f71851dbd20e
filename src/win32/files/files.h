#pragma once

#include <string>

#include "platform/files.h"

namespace torvane::win32 {

// Reading and saving the box's files (files.cpp), and the folders and
// whole-file copies of the help document (file_system.cpp).
class Win32Files final : public platform::Files {
 public:
  platform::FirstBytes ReadFirstBytes(const platform::Path& file, std::size_t maxBytes) override;
  // Writes a new file beside the target and moves it over the target, so the
  // target is either the old file or the new one, never a mix.
  void Replace(const platform::Path& file, std::string_view bytes) override;
  void Copy(const platform::Path& source, const platform::Path& destination) override;
  bool SameFile(const platform::Path& a, const platform::Path& b) const override;
  bool IsFile(const platform::Path& path) const override;
  void MakeFolder(const platform::Path& path) override;
  std::optional<platform::Path> LocalAppData() const override;
};

// The one rule of "is it a file" for the runtime: it exists and is a normal
// file, not a folder, a device, a hidden or a system file.
bool IsNormalFile(const std::wstring& path);

}  // namespace torvane::win32
