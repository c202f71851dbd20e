// Properties no table can cover for every input: bytes -> box -> bytes is the
// identity, a box's characters come back exactly when each has a code, and
// Decrypt undoes Encrypt for any password.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "cipher/cipher.h"
#include "fuzz_check.h"
#include "text/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  if (size < 1) return 0;
  const std::size_t split = data[0] % size;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const text::BoxBytes back = text::BoxToBytes(text::BytesToBox(bytes));
  FUZZ_CHECK(back.ok() && back.bytes == bytes);

  // The same input read as UTF-16: characters with a code survive the trip.
  std::u16string box(size / 2, u'\0');
  std::memcpy(box.data(), data, box.size() * 2);
  const text::BoxBytes mapped = text::BoxToBytes(box);
  if (mapped.ok()) {
    FUZZ_CHECK(text::BytesToBox(mapped.bytes) == box);
  } else {
    // What is reported has no code: code 0, a pair's whole character, or one
    // the table lacks.
    FUZZ_CHECK(mapped.bytes.empty());
    const char32_t c = *mapped.unmapped;
    FUZZ_CHECK(c == 0 || c >= 0x10000 || !text::CharToCode(static_cast<char16_t>(c)));
  }

  const std::string password = bytes.substr(0, split), plain = bytes.substr(split);
  FUZZ_CHECK(DecryptText(EncryptText(plain, password), password) == plain);
  return 0;
}
