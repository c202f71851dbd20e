// The cipher, the code page and the box mapping, the secret string and the
// layout arithmetic: every expected value is written out by hand.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "cipher/cipher.h"
#include "main_window/tarvik.h"
#include "platform/layout.h"
#include "platform/secret.h"
#include "text/codepage.h"

namespace torvane {
namespace {

using namespace std::string_literals;

std::string Codes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s += static_cast<char>(c);
  return s;
}

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
  EXPECT_EQ(EncryptText("Hi!", "ab"), Codes({138, 170, 99}));
  for (const char* password : {"ab", "AB", "aB"}) {
    EXPECT_EQ(DecryptText(Codes({138, 170, 99}), password), "Hi!") << password;
  }
  EXPECT_EQ(EncryptText("Hi!", ""), "Hi!");  // no password: the text as it is
}

TEST(Cipher, LongTextsFollowTheRuleAndComeBack) {
  std::string all;
  for (int i = 0; i < 600; ++i) all += static_cast<char>(i * 7 % 256);
  // Windows-1252 capitals: y diaeresis -> 0x9F, s caron -> 0x8A, oe -> 0x8C,
  // z caron -> 0x8E, a grave -> 0xC0; the division sign stays.
  const struct {
    std::string password, upper;
  } rows[] = {
      {"k", "K"},
      {"secret7", "SECRET7"},
      {Codes({0xFF, 0x9A, 0x9C, 0x9E, 0xE0, 0xF7}), Codes({0x9F, 0x8A, 0x8C, 0x8E, 0xC0, 0xF7})},
      {std::string(63, 'q') + "z", std::string(63, 'Q') + "Z"},
      {std::string(64, 'q') + "z", std::string(64, 'Q') + "Z"}};
  // Every length up to 40 as well: a string's storage grows out of its inline
  // buffer there, and the result must still be exactly the text's length.
  std::vector<std::size_t> lengths{all.size()};
  for (std::size_t n = 0; n <= 40; ++n) lengths.push_back(n);
  for (const auto& r : rows) {
    for (const std::size_t n : lengths) {
      const std::string text = all.substr(0, n), cipher = EncryptText(text, r.password);
      EXPECT_EQ(cipher, ByHand(text, r.upper)) << r.upper << ", " << n << " bytes";
      EXPECT_EQ(DecryptText(cipher, r.password), text) << r.upper << ", " << n << " bytes";
    }
  }
}

TEST(Cipher, TakesTheLimitAndRefusesOneMore) {
  EXPECT_EQ(EncryptText(std::string(kMaxCipherText, 'a'), "b").size(), 32766u);
  EXPECT_THROW(EncryptText(std::string(kMaxCipherText + 1, 'a'), "b"), TextTooLong);
  EXPECT_THROW(DecryptText(std::string(kMaxCipherText + 1, 'a'), "b"), TextTooLong);
}

TEST(CodePage, TheRowThatDiffersFromLatin1AndTheRest) {
  // 0x80..0x9F as the published Windows-1252 table gives them; the five
  // codes it leaves out stand for themselves.
  const char16_t row[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int code = 0; code < 256; ++code) {
    const char16_t ch =
        code >= 0x80 && code <= 0x9F ? row[code - 0x80] : static_cast<char16_t>(code);
    EXPECT_EQ(text::CodeToChar(static_cast<unsigned char>(code)), ch) << code;
    EXPECT_EQ(text::CharToCode(ch), code) << code;
  }
  for (char16_t none : {u'\u03A9', u'\u2400', u'\uFFFD', u'\u0100'}) {
    EXPECT_EQ(text::CharToCode(none), std::nullopt) << int(none);
  }
}

TEST(BoxMapping, CodeZeroShowsAsItsSymbolAndUnmappedCharactersAreNamed) {
  EXPECT_EQ(text::BytesToBox("a\0\x8A\xA0"s), u"a\u2400\u0160\u00A0");
  EXPECT_EQ(text::BoxToBytes(u"a\u2400\u0160\u00A0").bytes, "a\0\x8A\xA0"s);

  const struct {
    std::u16string box;
    char32_t first;
    std::string described;
  } rows[] = {{u"ab\u03A9c\u03BB", U'\u03A9', "\"\u03A9\" (U+03A9)"},
              {u"x\U0001F600", U'\U0001F600', "\"\U0001F600\" (U+1F600)"},
              {std::u16string{u'x', u'\0'}, U'\0', "(U+0000)"},
              {std::u16string{u'x', char16_t(0xD800), u'y'}, U'\xD800', "(U+D800)"}};
  for (const auto& r : rows) {
    const text::BoxBytes got = text::BoxToBytes(r.box);
    EXPECT_EQ(got.unmapped, r.first) << r.described;
    EXPECT_TRUE(got.bytes.empty()) << r.described;
    EXPECT_EQ(text::DescribeChar(r.first), r.described);
  }
  EXPECT_EQ(text::DescribeChar(U'\x85'), "(U+0085)");  // a C1 control shows as a code

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

// Hands out heap memory and, when it comes back, checks that it was wiped.
template <typename T>
struct CheckingAllocator {
  using value_type = T;
  static inline int unwiped = 0;
  CheckingAllocator() = default;
  template <typename U>
  CheckingAllocator(const CheckingAllocator<U>&) {}
  friend bool operator==(CheckingAllocator, CheckingAllocator) { return true; }
  T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) unwiped += p[i] != T{};
    std::allocator<T>().deallocate(p, n);
  }
};

template <typename Char>
void ExpectEveryCopyWiped() {
  using S = platform::Secret<Char, CheckingAllocator<Char>>;
  CheckingAllocator<Char>::unwiped = 0;
  {
    S s(std::basic_string<Char>(100, Char('p')));
    s.str() += std::basic_string<Char>(400, Char('q'));  // the first buffer goes back
  }
  EXPECT_EQ(CheckingAllocator<Char>::unwiped, 0);
}

TEST(Secret, EveryBufferGivenBackIsWiped) {
  ExpectEveryCopyWiped<char>();
  ExpectEveryCopyWiped<char16_t>();
}

TEST(Layout, TwipsAtCommonDpiRoundHalvesAwayFromZero) {
  const struct {
    float twips;
    int dpi, pixels;
  } rows[] = {{4095, 120, 341}, {4095, 144, 410}, {255, 144, 26},  {375, 192, 50},
              {7.5f, 96, 1},    {7, 96, 0},       {-7.5f, 96, -1}, {1440, 192, 192}};
  for (const auto& r : rows) {
    EXPECT_EQ(platform::TwipsToPixels(r.twips, r.dpi), r.pixels) << r.twips << " at " << r.dpi;
  }
  EXPECT_FLOAT_EQ(platform::PixelsToTwips(341, 120), 4092.0f);
  EXPECT_EQ(platform::PointsToLogicalHeight(9, 96), -12);
}

template <typename Logic>
void ExpectOneHandlerPerControl(const platform::WindowLayout& layout) {
  std::vector<std::string_view> clickable;
  for (const auto& c : layout.controls) {
    if (c.kind == platform::ControlKind::kButton) clickable.push_back(c.name);
  }
  for (std::size_t i = 0; i < layout.menus.size(); ++i) {
    const bool hasItems = i + 1 < layout.menus.size() && layout.menus[i + 1].level > 0;
    if (layout.menus[i].caption != "-" && !(layout.menus[i].level == 0 && hasItems)) {
      clickable.push_back(layout.menus[i].name);
    }
  }
  std::vector<std::string_view> handled;
  for (const auto& h : Logic::Handlers()) handled.push_back(h.name);
  std::sort(clickable.begin(), clickable.end());
  std::sort(handled.begin(), handled.end());
  EXPECT_EQ(handled, clickable) << layout.className;
}

TEST(Layout, EveryButtonAndMenuItemHasOneHandlerAndEveryHandlerAControl) {
  ExpectOneHandlerPerControl<Tarvik>(Tarvik::Layout());
  ExpectOneHandlerPerControl<FrmAbout>(FrmAbout::Layout());
}

}  // namespace
}  // namespace torvane
