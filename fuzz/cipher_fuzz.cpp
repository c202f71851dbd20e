// EncryptText / DecryptText against a plain per-character model of the
// cipher, for any text and password, on both sides of the length limit.
//
// Input: a shape byte, a 16-bit stretch, the password (length-prefixed by
// FuzzedDataProvider's scheme), then the text. Long texts are made by
// repeating the given text, so the limit is reached without huge inputs.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cipher/cipher.h"
#include "fuzz_check.h"

namespace {

using torvane::kMaxCipherText;

// The password upper-casing, written out from its table: a-z, and the
// accented small letters 0xE0..0xFE but for the division sign 0xF7, move down
// by 0x20; four letters have their capitals elsewhere in 0x80..0x9F.
FUZZ_NO_COVERAGE unsigned char Upper(unsigned char c) {
  if ('a' <= c && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (0xE0 <= c && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  if (c == 0x9A) return 0x8A;  // s caron
  if (c == 0x9C) return 0x8C;  // oe
  if (c == 0x9E) return 0x8E;  // z caron
  if (c == 0xFF) return 0x9F;  // y diaeresis
  return c;
}

// Character i (1-based) moves by upper-cased password character (i mod L) + 1.
FUZZ_NO_COVERAGE std::string Model(const std::string& text, const std::string& password,
                                   int direction) {
  std::string out = text;
  const std::size_t L = password.size();
  for (std::size_t i = 1, k = 1 % L; i <= text.size(); ++i, k = k + 1 == L ? 0 : k + 1) {
    const auto key = Upper(static_cast<unsigned char>(password[k]));  // k is i mod L
    const auto c = static_cast<unsigned char>(text[i - 1]);
    out[i - 1] = static_cast<char>(static_cast<unsigned char>(c + direction * key));
  }
  return out;
}

FUZZ_NO_COVERAGE std::string Stretch(std::string seed, std::size_t length, std::uint16_t filler) {
  if (seed.empty()) seed = {static_cast<char>(filler), static_cast<char>(filler >> 8), '\0'};
  std::string out = seed;
  while (out.size() < length) out.append(out, 0, std::min(out.size(), length - out.size()));
  out.resize(length);
  return out;
}

template <typename F>
void ExpectRefused(F transform, std::size_t length) {
  bool refused = false;
  try {
    transform();
  } catch (const torvane::TextTooLong& e) {
    refused = true;
    FUZZ_CHECK(e.length() == length);
  }
  FUZZ_CHECK(refused);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto shape = in.ConsumeIntegral<std::uint8_t>();
  const auto stretch = in.ConsumeIntegral<std::uint16_t>();
  const std::string password = in.ConsumeRandomLengthString(2048);
  std::string text = in.ConsumeRemainingBytesAsString();
  switch (shape % 4) {
    case 1:  // around the limit: kMaxCipherText - 64 .. + 63
      text = Stretch(text, kMaxCipherText - 64 + stretch % 128, stretch);
      break;
    case 2:  // anywhere up to four times the limit
      text = Stretch(text, stretch * std::size_t{2}, stretch);
      break;
    default:
      break;
  }

  if (password.empty()) {
    FUZZ_CHECK(torvane::EncryptText(text, password) == text);
    FUZZ_CHECK(torvane::DecryptText(text, password) == text);
    return 0;
  }
  if (text.size() > kMaxCipherText) {
    ExpectRefused([&] { return torvane::EncryptText(text, password); }, text.size());
    ExpectRefused([&] { return torvane::DecryptText(text, password); }, text.size());
    return 0;
  }
  const std::string cipher = torvane::EncryptText(text, password);
  FUZZ_CHECK(cipher == Model(text, password, +1));
  FUZZ_CHECK(torvane::DecryptText(cipher, password) == text);
  FUZZ_CHECK(torvane::DecryptText(text, password) == Model(text, password, -1));
  return 0;
}
