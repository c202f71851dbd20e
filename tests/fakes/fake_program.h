#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "platform/program.h"

namespace torvane::fakes {

class FakeProgram final : public platform::Program, public Logged {
 public:
  explicit FakeProgram(CallLog& log, std::string name = "Program") : Logged(log, std::move(name)) {}
  int ends = 0;
  std::vector<std::filesystem::path> arguments;
  std::vector<std::filesystem::path> Arguments() const override {
    Note("Arguments");
    return arguments;
  }
  void End() override {
    Note("End");
    ++ends;
  }
};

}  // namespace torvane::fakes
