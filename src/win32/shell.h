#pragma once

#include <windows.h>

#include "platform/file_system.h"
#include "platform/shell.h"

namespace torvane::win32 {

// ShellExecute and the file dialogs may run shell extensions that need COM on
// this thread. Done once, on first use rather than at start-up; ole32 is found
// at run time, so it is no import of the program.
void EnsureComForTheShell() noexcept;

class Win32Shell final : public platform::Shell {
 public:
  std::intptr_t OpenDocument(platform::WindowHandle owner, const std::filesystem::path& document,
                             const std::filesystem::path& directory, int show) override;
};

class Win32FileSystem final : public platform::FileSystem {
 public:
  void Copy(const std::filesystem::path& source, const std::filesystem::path& destination) override;
  bool IsFile(const std::filesystem::path& path) const override;
  void MakeFolder(const std::filesystem::path& path) override;
  std::optional<std::filesystem::path> LocalAppData() const override;
};

}  // namespace torvane::win32
