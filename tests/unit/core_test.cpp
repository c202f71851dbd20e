// The cipher, the code page and the box mapping, the secret string and the
// layout arithmetic: every expected value is written out by hand.
#include <algorithm>

#include <gtest/gtest.h>

#include "cipher/cipher.h"
#include "dialog/common_dialog.h"
#include "platform/layout.h"
#include "platform/secret.h"
#include "text/codepage.h"

namespace torvane {
namespace {

using namespace std::string_literals;

TEST(Cipher, WorkedExampleAnyCaseOfThePasswordAndTheLimit) {
  EXPECT_EQ(EncryptText("Hi!", "ab"), "\x8A\xAA\x63");  // 72+66, 105+65, 33+66
  EXPECT_EQ(DecryptText("\x8A\xAA\x63", "aB"), "Hi!");  // the password in any case
  EXPECT_EQ(EncryptText(std::string(32766, 'a'), "b").size(), 32766u);
  EXPECT_THROW(EncryptText(std::string(32767, 'a'), "b"), TextTooLong);
  EXPECT_THROW(DecryptText(std::string(32767, 'a'), "b"), TextTooLong);
}

// The rule itself, as a reader would apply it with pencil and paper: byte j
// (from 0) adds the upper-cased password character (j + 1) mod L. Every length
// up to 40 as well as 600: a string's storage grows out of its inline buffer
// there, and the result must still be exactly the text's length.
TEST(Cipher, LongTextsFollowTheRuleAndComeBack) {
  // Windows-1252 capitals: y diaeresis -> 0x9F, s caron -> 0x8A, oe -> 0x8C,
  // z caron -> 0x8E, a grave -> 0xC0; the division sign stays.
  const std::pair<std::string, std::string> passwords[] = {
      {"k", "K"},
      {"secret7", "SECRET7"},
      {"\xFF\x9A\x9C\x9E\xE0\xF7", "\x9F\x8A\x8C\x8E\xC0\xF7"},
      {std::string(63, 'q') + "z", std::string(63, 'Q') + "Z"},
      {std::string(64, 'q') + "z", std::string(64, 'Q') + "Z"}};
  for (const auto& [password, upper] : passwords) {
    std::string text, byHand;
    for (std::size_t j = 0; j < 600; ++j) {
      text += static_cast<char>(j * 7 % 256);
      byHand += static_cast<char>(text[j] + upper[(j + 1) % upper.size()]);
      if (j > 40 && j < 599) continue;
      EXPECT_EQ(EncryptText(text, password), byHand) << upper << ", " << j + 1 << " bytes";
      EXPECT_EQ(DecryptText(byHand, password), text) << upper << ", " << j + 1 << " bytes";
    }
  }
}

TEST(BoxMapping, CodeZeroShowsAsItsSymbolAndUnmappedCharactersAreNamed) {
  EXPECT_EQ(text::BytesToBox("a\0\x8A\xA0"s), u"a\u2400\u0160\u00A0");
  EXPECT_EQ(text::BoxToBytes(u"a\u2400\u0160\u00A0").bytes, "a\0\x8A\xA0"s);
  // The first character without a code is reported whole, and no bytes at all.
  const std::tuple<std::u16string, char32_t, std::string> rows[] = {
      {u"ab\u03A9c\u03BB", U'\u03A9', "\"\u03A9\" (U+03A9)"},
      {u"x\u2192", U'\u2192', "\"\u2192\" (U+2192)"},
      {u"x\U0001F600", U'\U0001F600', "\"\U0001F600\" (U+1F600)"},
      {u"x\U0010FFFF", U'\U0010FFFF', "\"\U0010FFFF\" (U+10FFFF)"},
      {u"x\0"s, U'\0', "(U+0000)"},
      // The ends of the two surrogate ranges, paired and alone.
      {u"x\xDBFF\xDC00", U'\U0010FC00', "\"\U0010FC00\" (U+10FC00)"},
      {u"x\xD800\xDFFF", U'\U000103FF', "\"\U000103FF\" (U+103FF)"},
      {u"x\xDC00\xDC01", U'\xDC00', "(U+DC00)"},
      {u"x\xDBFF", U'\xDBFF', "(U+DBFF)"},
      {u"x\x85", U'\x85', "(U+0085)"}};  // a C1 control shows as a code
  for (const auto& [box, first, described] : rows) {
    EXPECT_EQ(text::BoxToBytes(box).unmapped, first) << described;
    EXPECT_EQ(text::BoxToBytes(box).bytes, "") << described;
    EXPECT_EQ(text::DescribeChar(first), described);
  }
}

// Known forms, the last code point among them; then an over-long NUL, a
// surrogate and a form cut short, none of them a character.
TEST(Utf, KnownEncodingsAndReplacementOfWhatIsNotACharacter) {
  EXPECT_EQ(
      text::Utf8ToUtf16(
          "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF\xC0\x80\xED\xA0\x80"
          "\xE2\x82"),
      u"\u00E9\u20AC\U0001F600\uFFFF\U0010FFFF\uFFFD\uFFFD\uFFFD\uFFFD");
  // A byte that only continues a form, alone: 0x80 is the first of them.
  EXPECT_EQ(text::Utf8ToUtf16("a\x80"
                              "b\x7F"),
            u"a\uFFFDb\x7F");
}

// Hands out heap memory and counts what was not wiped when it comes back.
template <typename T>
struct CheckingAllocator : std::allocator<T> {
  static inline std::size_t unwiped = 0;
  void deallocate(T* p, std::size_t n) {
    unwiped += n - std::count(p, p + n, T{});
    std::allocator<T>::deallocate(p, n);
  }
};

// A wide secret, as the password box's text is read.
TEST(Secret, EveryBufferGivenBackIsWipedWhole) {
  // Its first buffer goes back as it grows, the second when it goes.
  platform::Secret<char16_t, CheckingAllocator<char16_t>>(std::u16string(100, u'p')).str() +=
      std::u16string(400, u'q');
  EXPECT_EQ(CheckingAllocator<char16_t>::unwiped, 0u);
}

TEST(Layout, TwipsAtCommonDpiRoundHalvesAwayFromZero) {
  const std::tuple<float, int, int> rows[] = {{4095, 120, 341}, {4095, 144, 410}, {255, 144, 26},
                                              {7.5f, 96, 1},    {7, 96, 0},       {-7.5f, 96, -1}};
  for (const auto& [twips, dpi, pixels] : rows) {
    EXPECT_EQ(platform::TwipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
  }
}

// A pair with an empty half is dropped: the dialog would take that field for
// the list's end. (Load's and Save's own filters are checked with them.)
TEST(WinFilter, APairWithAnEmptyHalfIsDropped) {
  EXPECT_EQ(dialog::WinFilter("A||B|*.b|"), u"B\0*.b\0\0"s);
}

}  // namespace
}  // namespace torvane
