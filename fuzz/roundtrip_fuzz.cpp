// Properties no table can cover for every input: bytes -> box -> bytes is the
// identity, a box's characters come back exactly when each has a code, and
// Decrypt undoes Encrypt for any password.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cipher/cipher.h"
#include "text/codepage.h"

// A failed property is a finding: say which, and abort so that libFuzzer
// saves the input that showed it.
#define FUZZ_CHECK(cond) \
  if (!(cond)) std::fprintf(stderr, "property failed: %s\n", #cond), std::abort()

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  if (size < 1) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const text::BoxBytes back = text::BoxToBytes(text::BytesToBox(bytes));
  FUZZ_CHECK(back.ok() && back.bytes == bytes);

  // The same input read as UTF-16: characters with a code survive the trip;
  // what is reported has none (code 0, a pair's whole character, or one the
  // table lacks), and then no bytes come out.
  std::u16string box(size / 2, u'\0');
  std::memcpy(box.data(), data, box.size() * 2);
  const text::BoxBytes mapped = text::BoxToBytes(box);
  const char32_t c = mapped.unmapped.value_or(0);
  FUZZ_CHECK(mapped.ok() ? text::BytesToBox(mapped.bytes) == box
                         : mapped.bytes.empty() &&
                               (c == 0 || c >= 0x10000 || !text::CharToCode(char16_t(c))));

  const std::size_t split = data[0] % size;
  const std::string password = bytes.substr(0, split), plain = bytes.substr(split);
  FUZZ_CHECK(DecryptText(EncryptText(plain, password), password) == plain);
  return 0;
}
