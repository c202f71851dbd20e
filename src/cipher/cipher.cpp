#include "cipher/cipher.h"

#include "platform/secret.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <utility>

namespace torvane {

TextTooLong::TextTooLong(std::size_t length)
    : std::length_error("text too long for the cipher"), length_(length) {}

unsigned char UpperCase1252(unsigned char c) noexcept {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;
    case 0x9C:
      return 0x8C;
    case 0x9E:
      return 0x8E;
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

namespace {

// The key stream for text position j (0-based) is K[(j + 1) mod L]; repeating
// the rotated password to a block of at least 256 bytes lets the inner loop run
// over whole blocks without a modulo, which the compiler vectorises. A block
// that is also a whole number of 16-byte vectors (when that stays small) leaves
// no scalar tail per block; with short blocks and an odd L the tails doubled
// the cost.
template <bool kEncrypt>
std::string Transform(std::string_view text, std::string_view password) {
  // No password: the text comes back before any position is counted, so
  // there is no counter to overflow.
  const std::size_t L = password.size();
  if (L == 0) return std::string(text);
  if (text.size() > kMaxCipherText) throw TextTooLong(text.size());

  constexpr std::size_t kMinBlock = 256;
  const std::size_t vectorStep = std::lcm(L, std::size_t{16});
  const std::size_t step = vectorStep <= 512 ? vectorStep : L;
  const std::size_t block = step * ((kMinBlock + step - 1) / step);
  platform::SecretBytes keyBlock;
  auto& key = keyBlock.str();
  key.resize(block);
  for (std::size_t j = 0; j < L; ++j) {
    const std::size_t from = j + 1 == L ? 0 : j + 1;
    key[j] = static_cast<char>(UpperCase1252(static_cast<unsigned char>(password[from])));
  }
  // Replicated by doubling copies: a modulo per key byte was a measurable
  // share of the whole transform.
  for (std::size_t filled = L; filled < block;) {
    const std::size_t n = std::min(filled, block - filled);
    std::memcpy(key.data() + filled, key.data(), n);
    filled += n;
  }

  std::string out(text.size(), '\0');
  const auto* in = reinterpret_cast<const std::uint8_t*>(text.data());
  auto* dst = reinterpret_cast<std::uint8_t*>(out.data());
  const auto* k = reinterpret_cast<const std::uint8_t*>(key.data());
  for (std::size_t base = 0; base < text.size(); base += block) {
    const std::size_t n = std::min(block, text.size() - base);
    for (std::size_t j = 0; j < n; ++j) {
      if constexpr (kEncrypt) {
        dst[base + j] = static_cast<std::uint8_t>(in[base + j] + k[j]);
      } else {
        dst[base + j] = static_cast<std::uint8_t>(in[base + j] - k[j]);
      }
    }
  }
  return out;
}

}  // namespace

std::string EncryptText(std::string_view text, std::string_view password) {
  return Transform<true>(text, password);
}

std::string DecryptText(std::string_view text, std::string_view password) {
  return Transform<false>(text, password);
}

}  // namespace torvane
