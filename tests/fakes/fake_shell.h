#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "platform/shell.h"

namespace torvane::fakes {

// Records each document it is asked to open and answers with `result`.
class FakeShell final : public platform::Shell, public Logged {
 public:
  explicit FakeShell(CallLog& log, std::string name = "Shell") : Logged(log, std::move(name)) {}

  struct Call {
    platform::WindowHandle owner;
    std::u16string document;
    std::u16string directory;
    int show;
  };
  std::vector<Call> calls;
  std::intptr_t result = 42;

  std::intptr_t OpenDocument(platform::WindowHandle owner, const std::filesystem::path& document,
                             const std::filesystem::path& directory, int show) override {
    Note("OpenDocument");
    calls.push_back({owner, document.u16string(), directory.u16string(), show});
    return result;
  }
};

}  // namespace torvane::fakes
