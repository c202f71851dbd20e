#pragma once

#include "platform/file_system.h"

namespace torvane::win32 {

// Folders and whole-file copies, for the help document's copy.
class Win32FileSystem final : public platform::FileSystem {
 public:
  void Copy(const platform::Path& source, const platform::Path& destination) override;
  bool IsFile(const platform::Path& path) const override;
  void MakeFolder(const platform::Path& path) override;
  std::optional<platform::Path> LocalAppData() const override;
};

}  // namespace torvane::win32
