// The common dialog's properties over a recording file picker.
#include <gtest/gtest.h>

#include "dialog/common_dialog.h"
#include "fakes/fakes.h"

namespace torvane::dialog {
namespace {

using namespace std::string_literals;

TEST(WinFilter, PairsBecomeNulEndedFieldsAndBrokenPairsGo) {
  const struct {
    std::string_view name;
    std::string filter;
    std::u16string want;
  } rows[] = {
      {"two pairs", "Text Files|*.txt|All Files|*.*|", u"Text Files\0*.txt\0All Files\0*.*\0\0"s},
      {"no last bar", "A|*.a", u"A\0*.a\0\0"s},
      {"nothing", "", u""},
      {"a description alone", "A|*.a|B|", u"A\0*.a\0\0"s},
      {"an empty description", "|*.a|B|*.b|", u"B\0*.b\0\0"s},
      {"an empty pattern", "A||B|*.b", u"B\0*.b\0\0"s},
      {"a NUL ends its field", "Te\0xt|*.txt\0junk|"s, u"Te\0*.txt\0\0"s},
  };
  for (const auto& r : rows) EXPECT_EQ(WinFilter(r.filter), r.want) << r.name;
}

struct CommonDialogTest : ::testing::Test {
  fakes::Log log;
  fakes::FakeFilePicker picker{log, "Picker"};
  CommonDialogControl dialog{picker};
};

TEST_F(CommonDialogTest, OpenAsksFileMustExistAndSaveAsAsksBeforeReplacing) {
  dialog.SetDialogTitle("Load");
  dialog.SetFilter("A|*.a|");
  dialog.SetFilterIndex(2);
  dialog.SetFlags(0x1000 | 0x8);  // OFN_FILEMUSTEXIST, OFN_NOCHANGEDIR
  picker.answers = {std::nullopt, std::nullopt};
  dialog.SetAction(platform::kActionOpen);
  dialog.SetAction(platform::kActionSaveAs);
  ASSERT_EQ(picker.requests.size(), 2u);
  EXPECT_EQ(picker.requests[0].flags, 0x1000u | 0x8);
  EXPECT_EQ(picker.requests[1].flags, 0x8u | 0x2) << "no must-exist; OFN_OVERWRITEPROMPT";
  EXPECT_EQ(dialog.Flags(), 0x1000 | 0x8) << "the property stays as set";
  EXPECT_EQ(picker.requests[1].title, u"Load");
  EXPECT_EQ(picker.requests[1].filter, u"A\0*.a\0\0"s);
  EXPECT_EQ(picker.requests[1].filterIndex, 2);
  EXPECT_THROW(dialog.SetAction(3), std::invalid_argument);
}

TEST_F(CommonDialogTest, AChoiceSetsNameAndTitleAndACancelEmptiesOnlyTheTitle) {
  picker.answers = {std::filesystem::path("/d/first.a"), std::nullopt};
  dialog.SetAction(platform::kActionOpen);
  EXPECT_EQ(dialog.Filename(), "/d/first.a");
  EXPECT_EQ(dialog.FileTitle(), "first.a");
  dialog.SetAction(platform::kActionSaveAs);
  EXPECT_TRUE(dialog.FileTitle().empty());
  EXPECT_EQ(dialog.Filename(), "/d/first.a");
  EXPECT_EQ(picker.requests[1].file, "/d/first.a") << "the next dialog starts there";
}

}  // namespace
}  // namespace torvane::dialog
