#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/secret.h"

namespace torvane::text {

// Windows-1252, fixed whatever the system's code page, so a cipher file means
// the same on every machine. The five codes it leaves undefined (0x81 0x8D
// 0x8F 0x90 0x9D) map to the C1 control characters of the same value, as
// Windows' own conversion does.
char16_t CodeToChar(unsigned char code) noexcept;
std::optional<unsigned char> CharToCode(char16_t ch) noexcept;

// The text box cannot hold code 0, so it shows it as this character.
inline constexpr char16_t kBoxNul = u'\u2400';

// What a box shows for a byte string: every code its character, 0 as kBoxNul.
std::u16string BytesToBox(std::string_view bytes);

// The byte string a box's characters stand for. A character with no
// single-byte code is never replaced: the first one found is reported instead
// (as a code point, so a surrogate pair is reported whole).
struct BoxBytes {
  std::string bytes;
  std::optional<char32_t> unmapped;
  bool ok() const noexcept { return !unmapped.has_value(); }
};
BoxBytes BoxToBytes(std::u16string_view box);
// The same into a string that wipes itself, for a password: on a character
// with no code, `out` is left empty and the character is returned.
std::optional<char32_t> BoxToBytes(std::u16string_view box, platform::SecretBytes& out);

// UTF-8 to UTF-16 for the texts the handlers hand the common dialog.
std::u16string Utf8ToUtf16(std::string_view utf8);

// How a message names a character: the character and its code point, e.g.
// "Ω" (U+03A9).
std::string DescribeChar(char32_t ch);

}  // namespace torvane::text
