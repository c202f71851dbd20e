#pragma once

#include <string>

#include "fakes/call_log.h"
#include "platform/ui.h"

namespace torvane::fakes {

// A top-level window as plain state. Getters are not logged: reading the
// handle is part of MakeTopmost itself, and geometry reads have no effect.
class FakeForm final : public platform::Form, public Logged {
 public:
  explicit FakeForm(CallLog& log, std::string name = "Form") : Logged(log, std::move(name)) {}

  platform::WindowHandle handle = 0x1234;
  float left = 0, top = 0, width = 4410, height = 4650;  // twips, outer size
  std::string caption = "Torvane";
  bool visible = false;
  platform::WindowState state = platform::WindowState::kNormal;

  platform::WindowHandle Handle() const override { return handle; }
  float Left() const override { return left; }
  float Top() const override { return top; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  void SetLeft(float twips) override {
    Note("SetLeft");
    left = twips;
  }
  void SetTop(float twips) override {
    Note("SetTop");
    top = twips;
  }
  std::string Caption() const override { return caption; }
  bool Visible() const override { return visible; }
  void Show() override {
    Note("Show");
    visible = true;
  }
  void Hide() override {
    Note("Hide");
    visible = false;
  }
  platform::WindowState State() const override { return state; }
  void SetState(platform::WindowState s) override {
    Note("SetState");
    state = s;
  }
};

}  // namespace torvane::fakes
