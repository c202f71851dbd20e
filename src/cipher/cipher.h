#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace torvane {

// The longest text the cipher transforms. The position counter is a signed
// 16-bit value that overflows when it advances past 32767, so 32767 itself is
// already out of reach.
inline constexpr std::size_t kMaxCipherText = 32766;

class TextTooLong : public std::length_error {
 public:
  TextTooLong();
};

// Texts and passwords are byte strings, one char per Windows-1252 code.
// Character i (1-based) is shifted by the code of upper-cased password
// character (i mod L) + 1, modulo 256. An empty password returns the text
// unchanged, whatever its length. Otherwise a text longer than kMaxCipherText
// throws TextTooLong and nothing is returned. The key made from the password
// is wiped before returning.
std::string EncryptText(std::string_view text, std::string_view password);
std::string DecryptText(std::string_view text, std::string_view password);

// The fixed Windows-1252 upper-casing used for passwords, whatever the locale.
unsigned char UpperCase1252(unsigned char code) noexcept;

}  // namespace torvane
