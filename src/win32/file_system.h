#pragma once

#include "platform/file_system.h"

namespace torvane::win32 {

// Folders and whole-file copies, for the help document's copy.
class Win32FileSystem final : public platform::FileSystem {
 public:
  void Copy(const std::filesystem::path& source, const std::filesystem::path& destination) override;
  bool IsFile(const std::filesystem::path& path) const override;
  void MakeFolder(const std::filesystem::path& path) override;
  std::optional<std::filesystem::path> LocalAppData() const override;
};

}  // namespace torvane::win32
