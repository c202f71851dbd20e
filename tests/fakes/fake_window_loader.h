#pragma once

#include <stdexcept>
#include <string>

#include "fakes/call_log.h"
#include "fakes/fake_form.h"
#include "platform/window_loader.h"

namespace torvane::fakes {

// A lazily built window over a FakeForm: the first Load "creates" it and runs
// its logic's Form_Load; later ones hand back the same form as it was left.
class FakeWindowLoader final : public platform::WindowLoader, public Logged {
 public:
  FakeWindowLoader(CallLog& log, FakeForm& form, std::string name = "AboutLoader")
      : Logged(log, std::move(name)), form_(form) {}

  platform::WindowLogic* logic = nullptr;
  bool failToCreate = false;
  int created = 0;

  platform::Form& Load() override {
    Note("Load");
    if (created == 0) {
      if (failToCreate) throw std::runtime_error("cannot create the window");
      ++created;
      if (logic) logic->Form_Load();
    }
    return form_;
  }

 private:
  FakeForm& form_;
};

}  // namespace torvane::fakes
