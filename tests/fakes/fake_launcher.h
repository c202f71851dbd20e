#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/call_log.h"
#include "platform/launcher.h"

namespace torvane::fakes {

// A file system by full name: only files marked normal count.
class FakeFileSearch final : public platform::FileSearch, public Logged {
 public:
  explicit FakeFileSearch(CallLog& log, std::string name = "FileSearch")
      : Logged(log, std::move(name)) {}

  enum class Kind { kNormal, kHidden, kSystem, kFolder };
  std::map<std::string, Kind, std::less<>> entries;
  std::vector<std::string> searched;

  bool IsNormalFile(std::string_view fullName) override {
    Note("IsNormalFile");
    searched.emplace_back(fullName);
    const auto it = entries.find(fullName);
    return it != entries.end() && it->second == Kind::kNormal;
  }
};

// Starts only the programs listed in `programs`; anything else fails to
// start, as a missing file or an empty command does.
class FakeProcessStarter final : public platform::ProcessStarter, public Logged {
 public:
  explicit FakeProcessStarter(CallLog& log, std::string name = "Processes")
      : Logged(log, std::move(name)) {}

  std::set<std::string, std::less<>> programs;
  struct Attempt {
    std::string program;
    int windowStyle;
    bool started;
  };
  std::vector<Attempt> attempts;

  void Start(std::string_view program, int windowStyle) override {
    Note("Start");
    const bool ok = programs.count(program) > 0;
    attempts.push_back({std::string(program), windowStyle, ok});
    if (!ok) throw platform::StartError("cannot start " + std::string(program));
  }
};

}  // namespace torvane::fakes
