// The password's string wipes every buffer it lets go of.
#include "platform/secret.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "main_window/tarvik.h"
#include "tarvik_fixture.h"

namespace torvane {
namespace {

// Counts the buffers given back to it, and how many of them still held
// anything but zeros.
struct Returned {
  int buffers = 0;
  int dirty = 0;
};
Returned returned;

template <typename T>
struct CheckingAllocator : std::allocator<T> {
  using value_type = T;
  CheckingAllocator() = default;
  template <typename U>
  CheckingAllocator(const CheckingAllocator<U>&) noexcept {}
  void deallocate(T* p, std::size_t n) noexcept {
    const auto* bytes = reinterpret_cast<const unsigned char*>(p);
    ++returned.buffers;
    if (!std::all_of(bytes, bytes + n * sizeof(T), [](unsigned char b) { return b == 0; }))
      ++returned.dirty;
    std::allocator<T>::deallocate(p, n);
  }
};

using CheckedSecret = platform::Secret<char, CheckingAllocator<char>>;

TEST(SecretTest, EveryBufferIsWipedBeforeItGoesBack) {
  returned = {};
  {
    CheckedSecret s(std::string_view("a password longer than any small-string buffer"));
    s.str() += std::string(100, 'x');  // grows: the first buffer goes back
    s.str().resize(3);                 // what is past size() is wiped too
  }
  EXPECT_EQ(returned.buffers, 2);
  EXPECT_EQ(returned.dirty, 0);
}

TEST(SecretTest, AShortSecretKeptInTheObjectIsWipedWhenItDies) {
  alignas(platform::SecretBytes) unsigned char storage[sizeof(platform::SecretBytes)];
  auto* s = new (storage) platform::SecretBytes(std::string_view("pw!"));
  ASSERT_NE(std::search(storage, storage + sizeof storage, "pw!", "pw!" + 3),
            storage + sizeof storage)
      << "short enough to sit inside the object";
  s->~Secret();
  const char* pw = "pw!";
  EXPECT_EQ(std::search(storage, storage + sizeof storage, pw, pw + 3), storage + sizeof storage);
}

// Encrypt reads the password only through the wiping path.
using PasswordPathTest = TarvikTest;
TEST_F(PasswordPathTest, EncryptReadsThePasswordOnlyAsASecret) {
  Enter(u"Hi!", 0, 0, u"ab");
  window.Command1_Click();
  EXPECT_TRUE(log.Contains("Text2.ReadSecret"));
  EXPECT_FALSE(log.Contains("Text2.Text"));
}

}  // namespace
}  // namespace torvane
