#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "platform/ui.h"

namespace torvane::fakes {

// The screen, the program's folder, and a record of SetWindowPos calls.
class FakeDesktop final : public platform::Desktop, public Logged {
 public:
  explicit FakeDesktop(CallLog& log, std::string name = "Desktop") : Logged(log, std::move(name)) {}

  float screenWidth = 19200;  // 1280 x 960 pixels at 96 DPI
  float screenHeight = 14400;
  std::filesystem::path appFolder = "/app";

  struct SetWindowPosCall {
    platform::WindowHandle window;
    platform::WindowHandle insertAfter;
    int x, y, cx, cy;
    unsigned flags;
  };
  std::vector<SetWindowPosCall> setWindowPosCalls;

  float ScreenWidthTwips() const override { return screenWidth; }
  float ScreenHeightTwips() const override { return screenHeight; }
  void SetWindowPos(platform::WindowHandle window, platform::WindowHandle insertAfter, int x, int y,
                    int cx, int cy, unsigned flags) override {
    Note("SetWindowPos");
    setWindowPosCalls.push_back({window, insertAfter, x, y, cx, cy, flags});
  }
  std::filesystem::path AppFolder() const override { return appFolder; }
};

}  // namespace torvane::fakes
