#include "text/codepage.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

namespace torvane::text {
namespace {

std::string AllCodes() {
  std::string s;
  for (int c = 0; c < 256; ++c) s.push_back(static_cast<char>(c));
  return s;
}

// Windows-1252's 27 characters in 0x80..0x9F, written as the characters
// themselves.
const std::map<int, char16_t> kDefinedHigh = {
    {0x80, u'€'}, {0x82, u'‚'}, {0x83, u'ƒ'}, {0x84, u'„'}, {0x85, u'…'}, {0x86, u'†'},
    {0x87, u'‡'}, {0x88, u'ˆ'}, {0x89, u'‰'}, {0x8A, u'Š'}, {0x8B, u'‹'}, {0x8C, u'Œ'},
    {0x8E, u'Ž'}, {0x91, u'‘'}, {0x92, u'’'}, {0x93, u'“'}, {0x94, u'”'}, {0x95, u'•'},
    {0x96, u'–'}, {0x97, u'—'}, {0x98, u'˜'}, {0x99, u'™'}, {0x9A, u'š'}, {0x9B, u'›'},
    {0x9C, u'œ'}, {0x9E, u'ž'}, {0x9F, u'Ÿ'},
};
const int kUndefined[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

TEST(CodePageTest, HighRangeCharacters) {
  ASSERT_EQ(kDefinedHigh.size(), 27u);
  for (const auto& [code, ch] : kDefinedHigh) {
    EXPECT_EQ(CodeToChar(static_cast<unsigned char>(code)), ch) << std::hex << code;
    EXPECT_EQ(CharToCode(ch), code) << std::hex << code;
    // The C1 control of the same value is not that code.
    EXPECT_EQ(CharToCode(static_cast<char16_t>(code)), std::nullopt) << std::hex << code;
  }
  for (int code : kUndefined) {
    EXPECT_EQ(CodeToChar(static_cast<unsigned char>(code)), static_cast<char16_t>(code));
    EXPECT_EQ(CharToCode(static_cast<char16_t>(code)), code);
  }
}

TEST(CodePageTest, LatinOneRangesStandForThemselves) {
  for (int code = 0; code < 256; ++code) {
    if (code >= 0x80 && code <= 0x9F) continue;
    EXPECT_EQ(CodeToChar(static_cast<unsigned char>(code)), static_cast<char16_t>(code));
    EXPECT_EQ(CharToCode(static_cast<char16_t>(code)), code);
  }
  EXPECT_EQ(CodeToChar(0xE9), u'é');
  EXPECT_EQ(CodeToChar(0xFF), u'ÿ');
}

TEST(CodePageTest, ExactlyTheCodePageHasCodes) {
  // Over all of UTF-16: 256 characters have a code, each the one CodeToChar
  // gives back.
  int mapped = 0;
  for (int ch = 0; ch <= 0xFFFF; ++ch) {
    const auto code = CharToCode(static_cast<char16_t>(ch));
    if (!code) continue;
    ++mapped;
    EXPECT_EQ(CodeToChar(*code), ch) << std::hex << ch;
  }
  EXPECT_EQ(mapped, 256);
  EXPECT_EQ(CharToCode(u'Ω'), std::nullopt);
  EXPECT_EQ(CharToCode(kBoxNul), std::nullopt);
  EXPECT_EQ(CharToCode(u'\u0100'), std::nullopt);
}

TEST(CodePageTest, BoxHoldsEveryCode) {
  const std::u16string box = BytesToBox(AllCodes());
  ASSERT_EQ(box.size(), 256u);
  EXPECT_EQ(box[0], u'\u2400');
  EXPECT_EQ(box[1], u'\u0001');
  EXPECT_EQ(box['\r'], u'\r');
  EXPECT_EQ(box['\n'], u'\n');
  EXPECT_EQ(box['\t'], u'\t');
  EXPECT_EQ(box['A'], u'A');
  EXPECT_EQ(box[0x80], u'€');
  EXPECT_EQ(box[0x81], u'\u0081');
  EXPECT_EQ(box[0x9F], u'Ÿ');
  EXPECT_EQ(box[0xA0], u'\u00A0');
  EXPECT_EQ(box[0xFF], u'ÿ');
  EXPECT_EQ(box.find(u'\0'), std::u16string::npos);

  const BoxBytes back = BoxToBytes(box);
  EXPECT_TRUE(back.ok());
  EXPECT_EQ(back.bytes, AllCodes());
}

TEST(CodePageTest, BoxNulStandsForCodeZero) {
  EXPECT_EQ(BytesToBox(std::string("a\0b", 3)), u"a\u2400b");
  const BoxBytes bytes = BoxToBytes(u"\u2400x\u2400");
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(bytes.bytes, std::string("\0x\0", 3));
  EXPECT_EQ(BytesToBox(""), u"");
  EXPECT_EQ(BoxToBytes(u"").bytes, "");
  EXPECT_TRUE(BoxToBytes(u"").ok());
}

TEST(CodePageTest, CharactersWithNoCodeAreReported) {
  // The first one found is named; no bytes are given for a text that has one.
  BoxBytes r = BoxToBytes(u"abΩcλ");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.unmapped, U'Ω');
  EXPECT_EQ(r.bytes, "");

  // A surrogate pair is one character: U+1F600 is D83D DE00.
  r = BoxToBytes(u"ok \xD83D\xDE00 then Ω");
  EXPECT_EQ(r.unmapped, char32_t{0x1F600});
  r = BoxToBytes(u"\U0001F600");
  EXPECT_EQ(r.unmapped, char32_t{0x1F600});
  r = BoxToBytes(u"x\U00010000");
  EXPECT_EQ(r.unmapped, char32_t{0x10000});
  r = BoxToBytes(u"\U0010FFFF");
  EXPECT_EQ(r.unmapped, char32_t{0x10FFFF});

  // Lone halves are reported as themselves.
  const char16_t loneHigh[] = {u'a', 0xD83D, u'b', 0};
  EXPECT_EQ(BoxToBytes(loneHigh).unmapped, char32_t{0xD83D});
  const char16_t highAtEnd[] = {u'a', 0xD83D, 0};
  EXPECT_EQ(BoxToBytes(highAtEnd).unmapped, char32_t{0xD83D});
  const char16_t loneLow[] = {0xDE00, 0xD83D, 0};
  EXPECT_EQ(BoxToBytes(loneLow).unmapped, char32_t{0xDE00});

  // C1 controls other than the five undefined codes have no code, nor has a
  // real U+0000, which a box cannot hold.
  EXPECT_EQ(BoxToBytes(u"\u0080").unmapped, char32_t{0x80});
  EXPECT_EQ(BoxToBytes(u"\u009F").unmapped, char32_t{0x9F});
  EXPECT_EQ(BoxToBytes(std::u16string(1, u'\0')).unmapped, char32_t{0});
  EXPECT_TRUE(BoxToBytes(u"\u0081\u008D\u008F\u0090\u009D").ok());
}

TEST(CodePageTest, Utf8KnownEncodings) {
  EXPECT_EQ(Utf8ToUtf16("Torvane"), u"Torvane");
  EXPECT_EQ(Utf8ToUtf16("\xC3\xA9"), u"é");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"€");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
  EXPECT_EQ(Utf16ToUtf8(u"é"), "\xC3\xA9");
  EXPECT_EQ(Utf16ToUtf8(u"€"), "\xE2\x82\xAC");
  EXPECT_EQ(Utf16ToUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(u"\u2400"), "\xE2\x90\x80");
  EXPECT_EQ(Utf16ToUtf8(u"\u07FF\u0800"), "\xDF\xBF\xE0\xA0\x80");
  EXPECT_EQ(Utf8ToUtf16(""), u"");
  EXPECT_EQ(Utf16ToUtf8(u""), "");
}

TEST(CodePageTest, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC3"
                        "A"),
            u"\uFFFDA");
  EXPECT_EQ(Utf8ToUtf16("\x80z"), u"\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");
  const char16_t loneHigh[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(Utf16ToUtf8(loneHigh),
            "a\xEF\xBF\xBD"
            "b");
  const char16_t loneLow[] = {0xDC00, 0};
  EXPECT_EQ(Utf16ToUtf8(loneLow), "\xEF\xBF\xBD");
}

TEST(CodePageTest, Utf8ThatIsNotAShortestFormCharacterBecomesOneReplacement) {
  // Overlong forms of NUL and '/': a NUL must not appear where none was written.
  EXPECT_EQ(Utf8ToUtf16("a\xC0\x80z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\xAF"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x80\x80\x80"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x8F\xBF\xBF"), u"\uFFFD");  // U+FFFF in four bytes
  // Encoded surrogates, alone or as a pair: UTF-16 out would be ill-formed.
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xBF\x82x"), u"\uFFFDx");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\xBD\xED\xB8\x80"), u"\uFFFD\uFFFD");
  // Past U+10FFFF.
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD");
  // The edges that are characters stay characters.
  EXPECT_EQ(Utf8ToUtf16("\xC2\x80"), u"\u0080");
  EXPECT_EQ(Utf8ToUtf16("\xE0\xA0\x80"), u"\u0800");
  EXPECT_EQ(Utf8ToUtf16("\xED\x9F\xBF\xEE\x80\x80"), u"\uD7FF\uE000");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x90\x80\x80"), u"\xD800\xDC00");
  EXPECT_EQ(Utf8ToUtf16("\xF4\x8F\xBF\xBF"), u"\xDBFF\xDFFF");
}

TEST(CodePageTest, Utf8RoundTripsEveryCodePoint) {
  std::u16string all;
  for (int ch = 1; ch <= 0xFFFF; ++ch) {
    if (ch >= 0xD800 && ch <= 0xDFFF) continue;
    all.push_back(static_cast<char16_t>(ch));
  }
  for (char32_t cp : {0x10000u, 0x1F600u, 0x10FFFFu}) {
    all.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
    all.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
  }
  const std::string utf8 = Utf16ToUtf8(all);
  // 127 one-byte, 1920 two-byte, the rest of the BMP three-byte, 3 four-byte.
  const std::size_t threeByte = 0x10000 - 0x800 - 0x800;
  EXPECT_EQ(utf8.size(), 127 + 1920 * 2 + threeByte * 3 + 3 * 4);
  EXPECT_EQ(Utf8ToUtf16(utf8), all);
}

TEST(CodePageTest, DescribeChar) {
  EXPECT_EQ(DescribeChar(U'Ω'), "\"Ω\" (U+03A9)");
  EXPECT_EQ(DescribeChar(U'A'), "\"A\" (U+0041)");
  EXPECT_EQ(DescribeChar(0x1F600), "\"\xF0\x9F\x98\x80\" (U+1F600)");
  // Characters that would not show are named by code only.
  EXPECT_EQ(DescribeChar(0), "(U+0000)");
  EXPECT_EQ(DescribeChar(0x1F), "(U+001F)");
  EXPECT_EQ(DescribeChar(0x85), "(U+0085)");
  EXPECT_EQ(DescribeChar(0xD800), "(U+D800)");
}

}  // namespace
}  // namespace torvane::text
