#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fakes/call_log.h"
#include "platform/ui.h"

namespace torvane::fakes {

// Records every message shown and answers with `reply` (1 is IDOK).
class FakeMessageBox final : public platform::MessageBox, public Logged {
 public:
  explicit FakeMessageBox(CallLog& log, std::string name = "MessageBox")
      : Logged(log, std::move(name)) {}

  struct Shown {
    std::string text;
    int flags;
    std::string title;
  };
  std::vector<Shown> shown;
  int reply = 1;

  int Show(std::string_view text, int flags, std::string_view title) override {
    Note("Show");
    shown.push_back({std::string(text), flags, std::string(title)});
    return reply;
  }
};

}  // namespace torvane::fakes
