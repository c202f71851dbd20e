// The filter list the Win32 file dialogs read.
#include <gtest/gtest.h>

#include "dialog/common_dialog.h"

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

}  // namespace
}  // namespace torvane::dialog
