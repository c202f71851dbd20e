#pragma once

#include "platform/launcher.h"

namespace torvane::win32 {

class Win32FileSearch final : public platform::FileSearch {
 public:
  bool IsNormalFile(std::string_view fullName) override;
};

// CreateProcessW with the path as the program name and, quoted, as the
// command line: a path with spaces starts that program and no other.
class Win32ProcessStarter final : public platform::ProcessStarter {
 public:
  void Start(std::string_view program, int windowStyle) override;
};

}  // namespace torvane::win32
