#pragma once

#include <string_view>

#include "platform/system_error.h"

// Finding and starting another program. Paths are the single-byte text the
// registry's ANSI calls give (the system's code page), passed on unchanged.
namespace torvane::platform {

class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // True when a normal file has exactly this full name: folders, hidden and
  // system files do not count.
  virtual bool IsNormalFile(std::string_view fullName) = 0;
};

// Window styles for a started program.
inline constexpr int kShowNormalFocus = 1;

class StartError : public SystemError {
 public:
  using SystemError::SystemError;
};

class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts the program and returns at once; the program runs on its own.
  // Throws StartError when it cannot be started.
  virtual void Start(std::string_view program, int windowStyle) = 0;
};

}  // namespace torvane::platform
