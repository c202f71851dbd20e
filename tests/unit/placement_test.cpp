#include "placement/tarvik32.h"

#include <vector>

#include <gtest/gtest.h>

#include "fakes/fakes.h"

namespace torvane {
namespace {

using fakes::CallLog;
using fakes::FakeDesktop;
using fakes::FakeForm;

class PlacementTest : public ::testing::Test {
 protected:
  CallLog log;
  FakeForm form{log};
  FakeDesktop desktop{log};
};

TEST_F(PlacementTest, MakeTopmostPutsTheWindowInTheTopmostBandOnly) {
  form.handle = 0xBEEF;
  form.left = 300;
  form.top = 450;
  MakeTopmost(form, desktop);

  ASSERT_EQ(desktop.setWindowPosCalls.size(), 1u);
  const auto& call = desktop.setWindowPosCalls[0];
  EXPECT_EQ(call.window, 0xBEEFu);
  EXPECT_EQ(call.insertAfter, static_cast<platform::WindowHandle>(-1));  // HWND_TOPMOST
  EXPECT_EQ(call.x, 0);
  EXPECT_EQ(call.y, 0);
  EXPECT_EQ(call.cx, 0);
  EXPECT_EQ(call.cy, 0);
  EXPECT_EQ(call.flags, 3u);  // SWP_NOSIZE | SWP_NOMOVE
  EXPECT_EQ(log.Entries(), std::vector<std::string>{"Desktop.SetWindowPos"});

  // Again on a window that is already topmost: same call, nothing moved.
  MakeTopmost(form, desktop);
  EXPECT_EQ(desktop.setWindowPosCalls.size(), 2u);
  EXPECT_EQ(form.left, 300);
  EXPECT_EQ(form.top, 450);
}

TEST_F(PlacementTest, CenterFormCentresTheOuterWindow) {
  desktop.screenWidth = 19200;
  desktop.screenHeight = 14400;
  form.width = 4410;
  form.height = 4650;
  CenterForm(form, desktop);
  EXPECT_EQ(form.left, 7395);  // (19200 - 4410) / 2
  EXPECT_EQ(form.top, 4875);   // (14400 - 4650) / 2
  EXPECT_EQ(form.width, 4410);
  EXPECT_EQ(form.height, 4650);
  // Left first, then top; no topmost call of its own.
  EXPECT_EQ(log.Entries(), (std::vector<std::string>{"Form.SetLeft", "Form.SetTop"}));
  EXPECT_TRUE(desktop.setWindowPosCalls.empty());
}

TEST_F(PlacementTest, CenterFormKeepsHalfTwips) {
  desktop.screenWidth = 19200;
  desktop.screenHeight = 14400;
  form.width = 4411;
  form.height = 4651;
  CenterForm(form, desktop);
  EXPECT_EQ(form.left, 7394.5f);
  EXPECT_EQ(form.top, 4874.5f);
}

TEST_F(PlacementTest, WindowAsLargeAsOrLargerThanTheScreen) {
  desktop.screenWidth = 15360;
  desktop.screenHeight = 11520;
  form.width = 15360;
  form.height = 12000;
  CenterForm(form, desktop);
  EXPECT_EQ(form.left, 0);
  EXPECT_EQ(form.top, -240);

  form.width = 16161;
  form.height = 11520;
  CenterForm(form, desktop);
  EXPECT_EQ(form.left, -400.5f);
  EXPECT_EQ(form.top, 0);
}

}  // namespace
}  // namespace torvane
