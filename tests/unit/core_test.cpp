// The cipher, the code page and the box mapping, the secret string and the
// layout arithmetic: every expected value is written out by hand.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "cipher/cipher.h"
#include "dialog/common_dialog.h"
#include "platform/layout.h"
#include "platform/secret.h"
#include "text/codepage.h"

namespace torvane {
namespace {

using namespace std::string_literals;

// The rule itself, as a reader would apply it with pencil and paper:
// position j (from 0) adds the upper-cased password character (j + 1) mod L.
std::string ByHand(std::string_view text, std::string_view upperPassword) {
  std::string out(text);
  for (std::size_t j = 0; j < out.size(); ++j) {
    out[j] = static_cast<char>(out[j] + upperPassword[(j + 1) % upperPassword.size()]);
  }
  return out;
}

TEST(Cipher, WorkedExampleAnyCaseOfThePassword) {
  EXPECT_EQ(EncryptText("Hi!", "ab"),
            "\x8A\xAA"
            "c");  // 72+66, 105+65, 33+66
  for (const char* password : {"ab", "AB", "aB"}) {
    EXPECT_EQ(DecryptText("\x8A\xAA"
                          "c",
                          password),
              "Hi!")
        << password;
  }
  EXPECT_EQ(EncryptText("Hi!", ""), "Hi!");  // no password: the text as it is
}

TEST(Cipher, LongTextsFollowTheRuleAndComeBack) {
  std::string all;
  for (int i = 0; i < 600; ++i) all += static_cast<char>(i * 7 % 256);
  // Windows-1252 capitals: y diaeresis -> 0x9F, s caron -> 0x8A, oe -> 0x8C,
  // z caron -> 0x8E, a grave -> 0xC0; the division sign stays.
  const std::pair<std::string, std::string> passwords[] = {
      {"k", "K"},
      {"secret7", "SECRET7"},
      {"\xFF\x9A\x9C\x9E\xE0\xF7", "\x9F\x8A\x8C\x8E\xC0\xF7"},
      {std::string(63, 'q') + "z", std::string(63, 'Q') + "Z"},
      {std::string(64, 'q') + "z", std::string(64, 'Q') + "Z"}};
  // Every length up to 40 as well: a string's storage grows out of its inline
  // buffer there, and the result must still be exactly the text's length.
  std::vector<std::size_t> lengths{all.size()};
  for (std::size_t n = 0; n <= 40; ++n) lengths.push_back(n);
  for (const auto& [password, upper] : passwords) {
    for (const std::size_t n : lengths) {
      const std::string text = all.substr(0, n), cipher = EncryptText(text, password);
      EXPECT_EQ(cipher, ByHand(text, upper)) << upper << ", " << n << " bytes";
      EXPECT_EQ(DecryptText(cipher, password), text) << upper << ", " << n << " bytes";
    }
  }
}

TEST(Cipher, TakesTheLimitAndRefusesOneMore) {
  EXPECT_EQ(EncryptText(std::string(32766, 'a'), "b").size(), 32766u);
  EXPECT_THROW(EncryptText(std::string(32767, 'a'), "b"), TextTooLong);
  EXPECT_THROW(DecryptText(std::string(32767, 'a'), "b"), TextTooLong);
}

// A few codes as the published table gives them, and what must hold for all:
// each code has a character of its own, and no other character has a code.
TEST(CodePage, KnownPointsAndEveryCodeThereAndBack) {
  const std::pair<unsigned char, char16_t> points[] = {
      {0x41, u'A'},      {0x7F, 0x7F},      {0x80, u'\u20AC'}, {0x81, 0x81}, {0x8A, u'\u0160'},
      {0x9A, u'\u0161'}, {0x9F, u'\u0178'}, {0xA0, u'\u00A0'}, {0xFF, 0xFF}};
  for (const auto& [code, ch] : points) EXPECT_EQ(text::CodeToChar(code), ch) << code;
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(text::CharToCode(text::CodeToChar(static_cast<unsigned char>(code))), code) << code;
  }
  int mapped = 0;
  for (char32_t ch = 0; ch <= 0xFFFF; ++ch) mapped += text::CharToCode(char16_t(ch)).has_value();
  EXPECT_EQ(mapped, 256);
}

TEST(BoxMapping, CodeZeroShowsAsItsSymbolAndUnmappedCharactersAreNamed) {
  EXPECT_EQ(text::BytesToBox("a\0\x8A\xA0"s), u"a\u2400\u0160\u00A0");
  EXPECT_EQ(text::BoxToBytes(u"a\u2400\u0160\u00A0").bytes, "a\0\x8A\xA0"s);
  // The first character without a code is reported whole, and no bytes at all.
  const std::tuple<std::u16string, char32_t, std::string> rows[] = {
      {u"ab\u03A9c\u03BB", U'\u03A9', "\"\u03A9\" (U+03A9)"},
      {u"x\U0001F600", U'\U0001F600', "\"\U0001F600\" (U+1F600)"},
      {u"x\0"s, U'\0', "(U+0000)"},
      {u"x\xD800y", U'\xD800', "(U+D800)"},
      {u"x\x85", U'\x85', "(U+0085)"}};  // a C1 control shows as a code
  for (const auto& [box, first, described] : rows) {
    EXPECT_EQ(text::BoxToBytes(box).unmapped, first) << described;
    EXPECT_EQ(text::BoxToBytes(box).bytes, "") << described;
    EXPECT_EQ(text::DescribeChar(first), described);
  }
  platform::SecretBytes password;
  EXPECT_EQ(text::BoxToBytes(u"pa\u03A9", password), U'\u03A9');
  EXPECT_TRUE(password.empty());
}

TEST(Utf, KnownEncodingsAndReplacementOfWhatIsNotACharacter) {
  EXPECT_EQ(text::Utf8ToUtf16("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"\u00E9\u20AC\U0001F600");
  EXPECT_EQ(text::Utf8ToUtf16("a\xC0\x80z"), u"a\uFFFDz");    // over-long NUL
  EXPECT_EQ(text::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");    // a surrogate
  EXPECT_EQ(text::Utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");  // cut short
}

// Hands out heap memory and counts what was not wiped when it comes back.
template <typename T>
struct CheckingAllocator : std::allocator<T> {
  static inline std::size_t unwiped = 0;
  CheckingAllocator() = default;
  template <typename U>
  CheckingAllocator(const CheckingAllocator<U>&) {}
  void deallocate(T* p, std::size_t n) {
    unwiped += n - std::count(p, p + n, T{});
    std::allocator<T>::deallocate(p, n);
  }
};

template <typename Char>
std::size_t Unwiped() {
  CheckingAllocator<Char>::unwiped = 0;
  {
    platform::Secret<Char, CheckingAllocator<Char>> s(std::basic_string<Char>(100, Char('p')));
    s.str() += std::basic_string<Char>(400, Char('q'));  // the first buffer goes back
  }
  return CheckingAllocator<Char>::unwiped;
}

TEST(Secret, EveryBufferGivenBackIsWiped) {
  EXPECT_EQ(Unwiped<char>(), 0u);
  EXPECT_EQ(Unwiped<char16_t>(), 0u);
}

TEST(Layout, TwipsAtCommonDpiRoundHalvesAwayFromZero) {
  const std::tuple<float, int, int> rows[] = {{4095, 120, 341}, {4095, 144, 410}, {255, 144, 26},
                                              {7.5f, 96, 1},    {7, 96, 0},       {-7.5f, 96, -1}};
  for (const auto& [twips, dpi, pixels] : rows) {
    EXPECT_EQ(platform::TwipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
  }
  EXPECT_FLOAT_EQ(platform::PixelsToTwips(341, 120), 4092.0f);
  EXPECT_EQ(platform::PointsToLogicalHeight(9, 96), -12);
}

// Load's and Save's filters as the file dialogs read them, and a pair with an
// empty half dropped: the dialog would take that field for the list's end.
TEST(WinFilter, PairsBecomeNulEndedFieldsAndAPairWithAnEmptyHalfGoes) {
  EXPECT_EQ(dialog::WinFilter("(*.txt)|*.txt|(*.*)|*.*|"), u"(*.txt)\0*.txt\0(*.*)\0*.*\0\0"s);
  EXPECT_EQ(dialog::WinFilter("A||B|*.b|"), u"B\0*.b\0\0"s);
}

}  // namespace
}  // namespace torvane
