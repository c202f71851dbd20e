#include "cipher/cipher.h"

#include "platform/secret.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace torvane {

TextTooLong::TextTooLong() : std::length_error("text too long for the cipher") {}

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

// Writes text + key (or text - key) to out, the key block repeating every
// block bytes: one read of each, one write, no modulo.
template <bool kEncrypt>
inline void ShiftBytes(std::uint8_t* out, const std::uint8_t* text, std::size_t size,
                       const std::uint8_t* key, std::size_t block) noexcept {
  for (std::size_t base = 0; base < size; base += block) {
    const std::size_t n = std::min(block, size - base);
    for (std::size_t j = 0; j < n; ++j) {
      if constexpr (kEncrypt) {
        out[base + j] = static_cast<std::uint8_t>(text[base + j] + key[j]);
      } else {
        out[base + j] = static_cast<std::uint8_t>(text[base + j] - key[j]);
      }
    }
  }
}

constexpr std::size_t kVector = 32;
constexpr std::size_t kMaxVectors = 8;  // what fits in registers beside the text
constexpr std::size_t kInRegisters = kVector * kMaxVectors;

// A key block of at most 8 vectors is held in registers, and the loop reads
// only the text, as memcpy does. Always inlined, so that
// ShiftWide compiles it for its own processor.
template <bool kEncrypt>
[[gnu::always_inline]] inline void Shift(std::uint8_t* out, const std::uint8_t* text,
                                         std::size_t size, const std::uint8_t* key,
                                         std::size_t block) noexcept {
  std::size_t done = 0;
  // Not on 32-bit x86: its baseline has no vector registers, and its AVX2 has
  // only eight; there the unrolled loop would only make the exe bigger.
#if defined(__GNUC__) && !defined(__i386__)
  if (block <= kInRegisters && block % kVector == 0) {
    using Vector = std::uint8_t __attribute__((vector_size(kVector)));
    const std::size_t vectors = block / kVector;
    Vector k[kMaxVectors] = {};
    for (std::size_t v = 0; v < vectors; ++v) std::memcpy(&k[v], key + v * kVector, kVector);
    for (; done + block <= size; done += block) {
#pragma GCC unroll 8
      for (std::size_t v = 0; v < kMaxVectors; ++v) {
        if (v < vectors) {
          Vector t;
          std::memcpy(&t, text + done + v * kVector, kVector);
          if constexpr (kEncrypt) {
            t += k[v];
          } else {
            t -= k[v];
          }
          std::memcpy(out + done + v * kVector, &t, kVector);
        }
      }
    }
    platform::SecureWipe(k, sizeof k);  // the key block, as secret as the password
  }
#endif
  ShiftBytes<kEncrypt>(out + done, text + done, size - done, key, block);
}

// The key is left in the vector registers, and a system call that saves
// them puts it where a reader of the process's memory finds it: they are
// cleared after the loop.
#if defined(__GNUC__) && defined(__x86_64__)
inline void ClearVectorRegisters() noexcept {
  __asm__ __volatile__(
      "pxor %%xmm0, %%xmm0\n\tpxor %%xmm1, %%xmm1\n\tpxor %%xmm2, %%xmm2\n\t"
      "pxor %%xmm3, %%xmm3\n\tpxor %%xmm4, %%xmm4\n\tpxor %%xmm5, %%xmm5\n\t"
      "pxor %%xmm6, %%xmm6\n\tpxor %%xmm7, %%xmm7\n\tpxor %%xmm8, %%xmm8\n\t"
      "pxor %%xmm9, %%xmm9\n\tpxor %%xmm10, %%xmm10\n\tpxor %%xmm11, %%xmm11\n\t"
      "pxor %%xmm12, %%xmm12\n\tpxor %%xmm13, %%xmm13\n\tpxor %%xmm14, %%xmm14\n\t"
      "pxor %%xmm15, %%xmm15"
      :
      :
      : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",
        "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
}
#else
inline void ClearVectorRegisters() noexcept {}
#endif

// The same loop in 32-byte vectors where the processor has them.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TORVANE_SHIFT_WIDE 1
template <bool kEncrypt>
__attribute__((target("avx2"))) void ShiftWide(std::uint8_t* out, const std::uint8_t* text,
                                               std::size_t size, const std::uint8_t* key,
                                               std::size_t block) noexcept {
  Shift<kEncrypt>(out, text, size, key, block);
  __builtin_ia32_vzeroall();  // the whole 32 bytes of each register
}
#endif

template <bool kEncrypt>
void ShiftFastest(std::uint8_t* out, const std::uint8_t* text, std::size_t size,
                  const std::uint8_t* key, std::size_t block) noexcept {
#ifdef TORVANE_SHIFT_WIDE
  if (__builtin_cpu_supports("avx2")) return ShiftWide<kEncrypt>(out, text, size, key, block);
#endif
  Shift<kEncrypt>(out, text, size, key, block);
  ClearVectorRegisters();
}

// The key stream for text position j (0-based) is K[(j + 1) mod L]; repeating
// the rotated password to a block lets the inner loop run over whole blocks
// without a modulo. The block is a whole number of 32-byte vectors: up to 8
// of them, held in registers, when the password's length allows; otherwise at
// least 512 bytes, and whole vectors when that stays small, so that no block
// ends in a scalar tail (with short blocks and an odd L the tails doubled the
// cost).
template <bool kEncrypt>
std::string Transform(std::string_view text, std::string_view password) {
  // No password: the text comes back before any position is counted, so
  // there is no counter to overflow.
  const std::size_t L = password.size();
  if (L == 0) return std::string(text);
  if (text.size() > kMaxCipherText) throw TextTooLong();

  constexpr std::size_t kMinBlock = 512;
  const std::size_t vectorStep = std::lcm(L, kVector);
  const std::size_t step = vectorStep <= 1024 ? vectorStep : L;
  const std::size_t block = vectorStep <= kInRegisters ? vectorStep * (kInRegisters / vectorStep)
                                                       : step * ((kMinBlock + step - 1) / step);
  platform::SecretBytes keyBlock;
  auto& key = keyBlock.str();
  key.reserve(block);
  for (std::size_t j = 0; j < L; ++j) {
    const std::size_t from = j + 1 == L ? 0 : j + 1;
    key.push_back(static_cast<char>(UpperCase1252(static_cast<unsigned char>(password[from]))));
  }
  // Repeated by doubling: no modulo per key byte.
  while (key.size() < block) key.append(key, 0, std::min(key.size(), block - key.size()));

  // Written once, straight into the result: filling it with zeros first, or
  // copying the text and shifting it in place, each cost a whole extra pass.
  // The size the callback is given is not used: GCC 12's library passes the
  // capacity it allocated, which can be more than the text.
  std::string out;
  out.resize_and_overwrite(text.size(), [&](char* data, std::size_t) noexcept {
    ShiftFastest<kEncrypt>(reinterpret_cast<std::uint8_t*>(data),
                           reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                           reinterpret_cast<const std::uint8_t*>(key.data()), block);
    return text.size();
  });
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
