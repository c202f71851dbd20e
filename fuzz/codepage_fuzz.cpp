// The box mapping and the UTF conversions, each input read three ways: as
// bytes, as UTF-16 (little-endian pairs) and as UTF-8.
//
// bytes -> BytesToBox -> BoxToBytes is the identity; BoxToBytes of any
// UTF-16 reports the first character with no single-byte code exactly when
// there is one (judged by a predicate written from the code page's table, not
// by the code under test); the UTF conversions give well-formed output and
// round-trip well-formed input.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "text/codepage.h"

namespace {

using namespace torvane::text;

// The characters of Windows-1252's 0x80..0x9F (in no particular order), and
// the five codes it leaves undefined, which stand for themselves.
constexpr std::array<char16_t, 32> kUpperHalfChars = {
    u'€', u'‚', u'ƒ', u'„', u'…', u'†', u'‡', u'ˆ', u'‰', u'Š', u'‹', u'Œ', u'Ž', u'‘',
    u'’', u'“', u'”', u'•', u'–', u'—', u'˜', u'™', u'š', u'›', u'œ', u'ž', u'Ÿ',  //
    0x81, 0x8D, 0x8F, 0x90, 0x9D};

bool HasBoxCode(char16_t ch) {
  if (ch == u'␀') return true;  // how the box shows code 0
  if (ch >= 0x01 && ch <= 0x7F) return true;
  if (ch >= 0xA0 && ch <= 0xFF) return true;
  return std::find(kUpperHalfChars.begin(), kUpperHalfChars.end(), ch) != kUpperHalfChars.end();
}

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

bool WellFormedUtf16(const std::u16string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] >= 0xD800 && s[i] <= 0xDBFF) {
      if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

// Strict UTF-8: shortest form, no surrogates, nothing above U+10FFFF.
bool WellFormedUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n;
    char32_t cp, min;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      n = 1, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      n = 2, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      n = 3, cp = b & 0x07, min = 0x10000;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;  // cut short
    for (std::size_t k = 1; k <= n; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || IsSurrogate(cp)) return false;
    i += n + 1;
  }
  return true;
}

std::u16string Replace(std::u16string s, char16_t from, char16_t to) {
  std::replace(s.begin(), s.end(), from, to);
  return s;
}

// A lone surrogate becomes U+FFFD, as Utf16ToUtf8 promises.
std::u16string WithLoneSurrogatesReplaced(const std::u16string& s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool high = s[i] >= 0xD800 && s[i] <= 0xDBFF;
    if (high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      out += s.substr(i++, 2);
    } else {
      out += IsSurrogate(s[i]) ? u'\uFFFD' : s[i];
    }
  }
  return out;
}

void BytesRoundTrip(const std::string& bytes) {
  const std::u16string box = BytesToBox(bytes);
  FUZZ_CHECK(box.size() == bytes.size());
  FUZZ_CHECK(box.find(u'\0') == std::u16string::npos);  // an edit control cannot hold it
  const BoxBytes back = BoxToBytes(box);
  FUZZ_CHECK(back.ok());
  FUZZ_CHECK(back.bytes == bytes);
}

void BoxOfAnyCharacters(const std::u16string& box) {
  std::optional<std::size_t> firstUnmapped;
  for (std::size_t i = 0; i < box.size() && !firstUnmapped; ++i) {
    if (!HasBoxCode(box[i])) firstUnmapped = i;
  }
  const BoxBytes result = BoxToBytes(box);
  if (!firstUnmapped) {
    FUZZ_CHECK(result.ok());
    FUZZ_CHECK(BytesToBox(result.bytes) == box);
    return;
  }
  FUZZ_CHECK(!result.ok());
  FUZZ_CHECK(result.bytes.empty());  // nothing half-converted comes back
  const std::size_t i = *firstUnmapped;
  char32_t expected = box[i];
  if (box[i] >= 0xD800 && box[i] <= 0xDBFF && i + 1 < box.size() && box[i + 1] >= 0xDC00 &&
      box[i + 1] <= 0xDFFF) {
    expected = 0x10000 + (char32_t{box[i]} - 0xD800) * 0x400 + (char32_t{box[i + 1]} - 0xDC00);
  }
  FUZZ_CHECK(*result.unmapped == expected);
}

void Utf8Any(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  FUZZ_CHECK(WellFormedUtf16(wide));
  // Malformed input becomes U+FFFD, never a NUL that was not there.
  FUZZ_CHECK(std::count(wide.begin(), wide.end(), u'\0') ==
             std::count(utf8.begin(), utf8.end(), '\0'));
  if (WellFormedUtf8(utf8)) FUZZ_CHECK(Utf16ToUtf8(wide) == utf8);
}

void Utf16Any(const std::u16string& wide) {
  const std::string utf8 = Utf16ToUtf8(wide);
  FUZZ_CHECK(WellFormedUtf8(utf8));
  FUZZ_CHECK(Utf8ToUtf16(utf8) == WithLoneSurrogatesReplaced(wide));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::u16string wide(size / 2, u'\0');
  for (std::size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  BytesRoundTrip(bytes);
  BoxOfAnyCharacters(wide);
  BoxOfAnyCharacters(Replace(wide, u'\0', u'␀'));  // mostly mappable boxes too
  Utf8Any(bytes);
  Utf16Any(wide);
  return 0;
}
