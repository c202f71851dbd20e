#include "text/codepage.h"

#include <array>
#include <cstdint>

namespace torvane::text {
namespace {

// 0x80..0x9F; the undefined codes stand for themselves.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

char16_t CodeToChar(unsigned char code) noexcept {
  return (code >= 0x80 && code <= 0x9F) ? kHigh[code - 0x80] : static_cast<char16_t>(code);
}

std::optional<unsigned char> CharToCode(char16_t ch) noexcept {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<unsigned char>(ch);
  for (unsigned i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == ch) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::u16string BytesToBox(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto code = static_cast<unsigned char>(bytes[i]);
    out[i] = code == 0 ? kBoxNul : CodeToChar(code);
  }
  return out;
}

namespace {

template <typename String>
std::optional<char32_t> BoxToBytesInto(std::u16string_view box, String& bytes) {
  bytes.resize(box.size());
  for (std::size_t i = 0; i < box.size(); ++i) {
    const char16_t ch = box[i];
    if (ch == kBoxNul) {
      bytes[i] = '\0';
      continue;
    }
    // A real code 0 cannot come out of an edit control; treat it like any
    // other character with no place in the box's model.
    const auto code = ch == 0 ? std::nullopt : CharToCode(ch);
    if (!code) {
      char32_t cp = ch;
      if (IsHighSurrogate(ch) && i + 1 < box.size() && IsLowSurrogate(box[i + 1])) {
        cp = 0x10000 + ((static_cast<char32_t>(ch) - 0xD800) << 10) + (box[i + 1] - 0xDC00);
      }
      bytes.clear();
      return cp;
    }
    bytes[i] = static_cast<char>(*code);
  }
  return std::nullopt;
}

}  // namespace

BoxBytes BoxToBytes(std::u16string_view box) {
  BoxBytes result;
  result.unmapped = BoxToBytesInto(box, result.bytes);
  return result;
}

std::optional<char32_t> BoxToBytes(std::u16string_view box, platform::SecretBytes& out) {
  return BoxToBytesInto(box, out.str());
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2;
      cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3;
      cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4;
      cp = b & 0x07;
    }
    if (len > 1) {
      if (i + len > s.size()) {
        cp = 0xFFFD;
        len = 1;
      } else {
        for (std::size_t k = 1; k < len; ++k) {
          const auto c = static_cast<unsigned char>(s[i + k]);
          if ((c & 0xC0) != 0x80) {
            cp = 0xFFFD;
            len = k;
            break;
          }
          cp = (cp << 6) | (c & 0x3F);
        }
      }
    }
    // Longer than needed (C0 80 for NUL), a surrogate, or past U+10FFFF: not
    // a character, however well the bytes are shaped.
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (len > 1 && (cp < kShortest[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)) {
      cp = 0xFFFD;
    }
    i += len;
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(cp > 0xFFFF ? u'\uFFFD' : static_cast<char16_t>(cp));
    }
  }
  return out;
}

namespace {
void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}
}  // namespace

std::string DescribeChar(char32_t ch) {
  std::string out = "\"";
  // Control characters and lone surrogates would not show; name them by code only.
  if (ch >= 0x20 && !(ch >= 0x7F && ch < 0xA0) && !(ch >= 0xD800 && ch <= 0xDFFF)) {
    AppendUtf8(out, ch);
    out += "\" (";
  } else {
    out = "(";
  }
  // At least four hex digits, as "U+%04X" writes them; by hand, since
  // printf would bring the C library's whole formatter into the program.
  const auto code = static_cast<std::uint32_t>(ch);
  int digits = 4;
  while (digits < 8 && (code >> (4 * digits)) != 0) ++digits;
  out += "U+";
  for (int i = digits - 1; i >= 0; --i) out += "0123456789ABCDEF"[(code >> (4 * i)) & 0xF];
  return out + ")";
}

}  // namespace torvane::text
