// The code page against the C library's own Windows-1252 tables (iconv), a
// conversion written by other hands: every code, and every UTF-16 unit back.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>

#include "text/codepage.h"

namespace torvane::text {
namespace {

// The character iconv gives a code, or none where Windows-1252 leaves it undefined.
std::optional<char16_t> Iconv1252(unsigned char code) {
  const iconv_t cd = iconv_open("UTF-16LE", "CP1252");
  char in[1] = {static_cast<char>(code)};
  unsigned char out[4] = {};
  char *from = in, *to = reinterpret_cast<char*>(out);
  std::size_t left = 1, room = sizeof out;
  const bool ok = cd != reinterpret_cast<iconv_t>(-1) && iconv(cd, &from, &left, &to, &room) == 0;
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  if (!ok) return std::nullopt;
  return static_cast<char16_t>(out[0] | out[1] << 8);
}

TEST(Windows1252, EveryCodeIsTheCharacterTheCLibraryGivesIt) {
  ASSERT_EQ(Iconv1252(0x80), u'\u20AC') << "iconv knows no CP1252 here";
  int undefined = 0;
  for (int code = 0; code < 256; ++code) {
    const auto want = Iconv1252(static_cast<unsigned char>(code));
    // Undefined in the code page: the C1 control of the same value.
    undefined += !want;
    const char16_t ch = want.value_or(static_cast<char16_t>(code));
    EXPECT_EQ(CodeToChar(static_cast<unsigned char>(code)), ch) << std::hex << code;
    EXPECT_EQ(CharToCode(ch), code) << std::hex << code;
  }
  EXPECT_EQ(undefined, 5) << "0x81 0x8D 0x8F 0x90 0x9D";
}

TEST(Windows1252, NoOtherCharacterHasACode) {
  int mapped = 0;
  for (int ch = 0; ch < 0x10000; ++ch) mapped += CharToCode(static_cast<char16_t>(ch)).has_value();
  EXPECT_EQ(mapped, 256);
}

}  // namespace
}  // namespace torvane::text
