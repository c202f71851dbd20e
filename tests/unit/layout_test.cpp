#include "platform/layout.h"

#include <array>
#include <set>

#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "main_window/tarvik.h"

namespace torvane::platform {
namespace {

struct TwipsCase {
  float twips;
  int dpi;
  int pixels;
};

TEST(LayoutTest, TwipsToPixelsAtCommonDpi) {
  // Worked by hand: twips * dpi / 1440, halves away from zero.
  const TwipsCase cases[] = {
      {1440, 96, 96},  {1440, 120, 120}, {1440, 144, 144}, {1440, 192, 192},
      {15, 96, 1},     {12, 120, 1},     {10, 144, 1},     {7.5f, 192, 1},
      {4320, 96, 288}, {4320, 120, 360}, {4320, 144, 432}, {4320, 192, 576},
      {4095, 96, 273}, {4095, 120, 341}, {4095, 144, 410}, {4095, 192, 546},  // 341.25, 409.5
      {2355, 96, 157}, {2355, 120, 196}, {2355, 144, 236}, {2355, 192, 314},  // 196.25, 235.5
      {255, 96, 17},   {255, 120, 21},   {255, 144, 26},   {255, 192, 34},    // 21.25, 25.5
      {375, 96, 25},   {375, 120, 31},   {375, 144, 38},   {375, 192, 50},    // 31.25, 37.5
      {7.5f, 96, 1},   {7, 96, 0},       {8, 96, 1},       {22.5f, 96, 2},  // 0.5, 0.47, 0.53, 1.5
      {0, 96, 0},      {0, 192, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(LayoutTest, NegativeTwipsRoundAwayFromZero) {
  const TwipsCase cases[] = {
      {-1440, 96, -96},   {-7.5f, 96, -1},    {-7, 96, 0},     {-22.5f, 96, -2},
      {-4095, 144, -410}, {-4095, 120, -341}, {-400, 96, -27},  // -26.67
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(LayoutTest, PixelsToTwips) {
  EXPECT_FLOAT_EQ(PixelsToTwips(96, 96), 1440);
  EXPECT_FLOAT_EQ(PixelsToTwips(1, 96), 15);
  EXPECT_FLOAT_EQ(PixelsToTwips(1, 120), 12);
  EXPECT_FLOAT_EQ(PixelsToTwips(1, 144), 10);
  EXPECT_FLOAT_EQ(PixelsToTwips(1, 192), 7.5f);
  EXPECT_FLOAT_EQ(PixelsToTwips(-3, 96), -45);
  EXPECT_FLOAT_EQ(PixelsToTwips(1280, 96), 19200);
  EXPECT_FLOAT_EQ(PixelsToTwips(0, 120), 0);

  // Pixels survive the trip through twips at every DPI.
  for (int dpi : {96, 120, 144, 192}) {
    for (int px = -2000; px <= 2000; ++px) {
      ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px) << px << " px at " << dpi;
    }
  }
}

TEST(LayoutTest, FontHeights) {
  // points * dpi / 72, negative (character height).
  EXPECT_EQ(PointsToLogicalHeight(9, 96), -12);
  EXPECT_EQ(PointsToLogicalHeight(8.25f, 96), -11);
  EXPECT_EQ(PointsToLogicalHeight(9, 120), -15);
  EXPECT_EQ(PointsToLogicalHeight(8.25f, 120), -14);  // 13.75
  EXPECT_EQ(PointsToLogicalHeight(9, 144), -18);
  EXPECT_EQ(PointsToLogicalHeight(8.25f, 144), -17);  // 16.5
  EXPECT_EQ(PointsToLogicalHeight(9, 192), -24);
  EXPECT_EQ(PointsToLogicalHeight(8.25f, 192), -22);
  EXPECT_EQ(PointsToLogicalHeight(12, 96), -16);
}

constexpr std::array kTestControls = {
    ControlSpec{.kind = ControlKind::kLabel, .name = "first", .caption = "A", .tabIndex = 0},
    ControlSpec{.kind = ControlKind::kButton, .name = "second", .caption = "B", .tabIndex = 1},
};
constexpr std::array kTestMenus = {
    MenuSpec{.name = "menu", .caption = "&Menu", .level = 0},
    MenuSpec{.name = "item", .caption = "&Item", .level = 1},
    MenuSpec{.name = "other", .caption = "&Other", .level = 1},
};
constexpr WindowSpec kTestWindow{.className = "Test",
                                 .caption = "Test",
                                 .clientWidth = 100,
                                 .clientHeight = 100,
                                 .controls = kTestControls,
                                 .menus = kTestMenus};

TEST(LayoutTest, CommandIds) {
  EXPECT_EQ(ControlId(kTestWindow, "first"), 100);
  EXPECT_EQ(ControlId(kTestWindow, "second"), 101);
  EXPECT_EQ(ControlId(kTestWindow, "item"), std::nullopt);
  EXPECT_EQ(ControlId(kTestWindow, ""), std::nullopt);
  EXPECT_EQ(MenuId(kTestWindow, "menu"), 1000);
  EXPECT_EQ(MenuId(kTestWindow, "other"), 1002);
  EXPECT_EQ(MenuId(kTestWindow, "first"), std::nullopt);

  EXPECT_EQ(NameOfId(kTestWindow, 100), "first");
  EXPECT_EQ(NameOfId(kTestWindow, 101), "second");
  EXPECT_EQ(NameOfId(kTestWindow, 1001), "item");
  for (int unknown : {-1, 0, 1, 2, 99, 102, 999, 1003, 5000}) {
    EXPECT_EQ(NameOfId(kTestWindow, unknown), "") << unknown;
  }
}

TEST(LayoutTest, MainWindowIdsAreDistinctAndRoundTrip) {
  const WindowSpec& layout = Tarvik::Layout();
  std::set<int> ids;
  for (const auto& c : layout.controls) {
    const auto id = ControlId(layout, c.name);
    ASSERT_TRUE(id.has_value()) << c.name;
    EXPECT_EQ(NameOfId(layout, *id), c.name);
    ids.insert(*id);
  }
  for (const auto& m : layout.menus) {
    const auto id = MenuId(layout, m.name);
    ASSERT_TRUE(id.has_value()) << m.name;
    EXPECT_EQ(NameOfId(layout, *id), m.name);
    ids.insert(*id);
  }
  EXPECT_EQ(ids.size(), layout.controls.size() + layout.menus.size());
  // Clear of the dialog ids (IDOK 1 .. IDHELP 9 and the rest below 100).
  EXPECT_GE(*ids.begin(), 100);
}

// A dead menu item or button, or a handler no control reaches, fails here.
template <typename Logic>
void ExpectHandlersMatchTheLayout() {
  std::multiset<std::string_view> clickable, handled;
  const WindowSpec& table = Logic::Layout();
  for (const auto& c : table.controls) {
    if (c.kind == ControlKind::kButton) clickable.insert(c.name);
  }
  for (const auto& m : table.menus) {
    if (m.level > 0 && m.caption != "-") clickable.insert(m.name);
  }
  for (const auto& h : Logic::Handlers()) handled.insert(h.name);
  EXPECT_EQ(handled, clickable) << table.caption;
}

TEST(LayoutHandlers, EveryButtonAndMenuItemHasOneHandlerAndEveryHandlerAControl) {
  ExpectHandlersMatchTheLayout<Tarvik>();
  ExpectHandlersMatchTheLayout<FrmAbout>();
}

}  // namespace
}  // namespace torvane::platform
