#include "cipher/cipher.h"

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace torvane {
namespace {

std::string Bytes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s.push_back(static_cast<char>(c));
  return s;
}

std::string AllCodes() {
  std::string s;
  for (int c = 0; c < 256; ++c) s.push_back(static_cast<char>(c));
  return s;
}

// A slow reference, written straight from the description: upper-case the
// password by looking each character up in two parallel lists, then walk the
// text 1-based, appending one character at a time.
const std::string kLower =
    "abcdefghijklmnopqrstuvwxyz"
    "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE"
    "\x9A\x9C\x9E\xFF";
const std::string kUpper =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC\xDD\xDE"
    "\x8A\x8C\x8E\x9F";

std::string ReferenceUpper(const std::string& p) {
  std::string k;
  for (char ch : p) {
    const auto at = kLower.find(ch);
    k.push_back(at == std::string::npos ? ch : kUpper[at]);
  }
  return k;
}

std::string ReferenceTransform(const std::string& text, const std::string& password, int sign) {
  const std::string key = ReferenceUpper(password);
  const int len = static_cast<int>(key.size());
  if (len == 0) return text;
  std::string out;
  for (int i = 1; i <= static_cast<int>(text.size()); ++i) {
    const int a = static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)]);
    const int k = (i % len) + 1;
    const int b = static_cast<unsigned char>(key[static_cast<std::size_t>(k - 1)]);
    out += static_cast<char>((a + sign * b) & 255);
  }
  return out;
}

TEST(CipherTest, WorkedExample) {
  EXPECT_EQ(EncryptText("Hi!", "ab"), Bytes({138, 170, 99}));
  for (const char* password : {"ab", "AB", "aB", "Ab"}) {
    EXPECT_EQ(DecryptText(Bytes({138, 170, 99}), password), "Hi!") << password;
  }
}

TEST(CipherTest, KeyStartsAtTheSecondPasswordCharacter) {
  const std::string zeros(7, '\0');
  // Positions 1..7 use K[2], K[3], K[1], K[2], K[3], K[1], K[2].
  EXPECT_EQ(EncryptText(zeros, "ABC"), "BCABCAB");
  // A one-character password keys every position.
  EXPECT_EQ(EncryptText(Bytes({0, 1, 2}), "Z"), "Z[\\");
  // A password longer than the text: only characters 2 .. N+1 are used.
  EXPECT_EQ(EncryptText(std::string(3, '\0'), "0123456789"), "123");
  EXPECT_EQ(DecryptText("123", "0123456789"), std::string(3, '\0'));
}

TEST(CipherTest, UpperCaseTable) {
  const int pairs[][2] = {
      {'a', 'A'},
      {'m', 'M'},
      {'z', 'Z'},
      {0xE0, 0xC0},
      {0xE9, 0xC9},
      {0xF6, 0xD6},
      {0xF8, 0xD8},
      {0xFE, 0xDE},
      {0x9A, 0x8A},
      {0x9C, 0x8C},
      {0x9E, 0x8E},
      {0xFF, 0x9F},
      // Unchanged: already upper, no upper-case form, or just outside the ranges.
      {'A', 'A'},
      {'Z', 'Z'},
      {'`', '`'},
      {'{', '{'},
      {'1', '1'},
      {0xF7, 0xF7},
      {0xDF, 0xDF},
      {0xB5, 0xB5},
      {0xC0, 0xC0},
      {0xDE, 0xDE},
      {0x8A, 0x8A},
      {0x9F, 0x9F},
      {0x9B, 0x9B},
      {0x9D, 0x9D},
      {0x83, 0x83},
      {0xAA, 0xAA},
      {0xBA, 0xBA},
      {0, 0}};
  for (const auto& [lower, upper] : pairs) {
    EXPECT_EQ(UpperCase1252(static_cast<unsigned char>(lower)), upper) << "code " << lower;
  }

  // 26 ASCII letters, 30 in 0xE0..0xFE, and four in 0x9A..0xFF change; upper
  // case is idempotent.
  int changed = 0;
  for (int c = 0; c < 256; ++c) {
    const unsigned char u = UpperCase1252(static_cast<unsigned char>(c));
    if (u != c) ++changed;
    EXPECT_EQ(UpperCase1252(u), u) << "code " << c;
  }
  EXPECT_EQ(changed, 60);
}

TEST(CipherTest, PasswordIsCaseInsensitive) {
  const std::string text = "Attack at dawn\r\n" + AllCodes();
  EXPECT_EQ(EncryptText(text, "abc"), EncryptText(text, "ABC"));
  EXPECT_EQ(EncryptText(text, "\xE9t\xE9\xFF\x9A"), EncryptText(text, "\xC9T\xC9\x9F\x8A"));

  // The upper-cased code is what shifts: position 1 uses password character 2.
  const std::string zero(1, '\0');
  EXPECT_EQ(EncryptText(zero, "x\xFF"), Bytes({0x9F}));
  EXPECT_EQ(EncryptText(zero, "x\x9C"), Bytes({0x8C}));
  EXPECT_EQ(EncryptText(zero, "\xFD"), Bytes({0xDD}));
  EXPECT_EQ(EncryptText(zero, "\xF7"), Bytes({0xF7}));
  EXPECT_EQ(EncryptText(zero, "\xDF"), Bytes({0xDF}));

  const std::string cipher = EncryptText(text, "key");
  EXPECT_EQ(DecryptText(cipher, "KEY"), text);
  EXPECT_EQ(DecryptText(cipher, "kEy"), text);
  EXPECT_NE(DecryptText(cipher, "kez"), text);
}

TEST(CipherTest, HighCodesAndTheWrapAt256) {
  // 0x80 has no lower/upper form, so every code moves by 128.
  const std::string shifted = EncryptText(AllCodes(), "\x80");
  ASSERT_EQ(shifted.size(), 256u);
  EXPECT_EQ(static_cast<unsigned char>(shifted[0]), 128);
  EXPECT_EQ(static_cast<unsigned char>(shifted[127]), 255);
  EXPECT_EQ(static_cast<unsigned char>(shifted[128]), 0);
  EXPECT_EQ(static_cast<unsigned char>(shifted[255]), 127);
  std::string sorted = shifted;
  std::sort(sorted.begin(), sorted.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
  EXPECT_EQ(sorted, AllCodes());
  EXPECT_EQ(DecryptText(shifted, "\x80"), AllCodes());

  // 56 + 200 == 256 gives 0, and back.
  EXPECT_EQ(EncryptText(Bytes({56}), "\xC8"), Bytes({0}));
  EXPECT_EQ(DecryptText(Bytes({0}), "\xC8"), Bytes({56}));
  // 200 + 200 == 400 -> 144; 3 - 247 == -244 -> 12.
  EXPECT_EQ(EncryptText(Bytes({200}), "\xC8"), Bytes({144}));
  EXPECT_EQ(DecryptText(Bytes({3}), "\xF7"), Bytes({12}));
}

TEST(CipherTest, ShiftsCommute) {
  const std::string text = std::string("The quick brown fox\r\n") + AllCodes();
  const std::string p = "Secret";
  const std::string q = "\xE9t\xE9!x\xFF";
  const std::string twice = EncryptText(EncryptText(text, p), q);
  EXPECT_NE(twice, text);
  EXPECT_EQ(DecryptText(DecryptText(twice, p), q), text);
  EXPECT_EQ(DecryptText(DecryptText(twice, q), p), text);
  EXPECT_EQ(EncryptText(EncryptText(text, q), p), twice);
}

TEST(CipherTest, EmptyTextAndEmptyPassword) {
  EXPECT_EQ(EncryptText("", "pw"), "");
  EXPECT_EQ(DecryptText("", "pw"), "");
  EXPECT_EQ(EncryptText("", ""), "");
  EXPECT_EQ(EncryptText(AllCodes(), ""), AllCodes());
  EXPECT_EQ(DecryptText(AllCodes(), ""), AllCodes());
  // Blanks are a real password and a real text.
  EXPECT_EQ(EncryptText(" ", " "), "@");
}

TEST(CipherTest, LengthLimit) {
  // '!' is 33 and 'a' is 97: every position becomes 130.
  const std::string longest(32766, 'a');
  EXPECT_EQ(EncryptText(longest, "!"), std::string(32766, static_cast<char>(130)));
  EXPECT_EQ(DecryptText(std::string(32766, static_cast<char>(130)), "!"), longest);

  for (std::size_t size : {std::size_t{32767}, std::size_t{32768}, std::size_t{100000}}) {
    const std::string tooLong(size, 'a');
    try {
      (void)EncryptText(tooLong, "!");
      ADD_FAILURE() << "EncryptText accepted " << size << " characters";
    } catch (const TextTooLong& e) {
      EXPECT_EQ(e.length(), size);
    }
    EXPECT_THROW((void)DecryptText(tooLong, "pw"), TextTooLong);
    EXPECT_THROW((void)DecryptText(tooLong, "pw"), std::length_error);
  }
  // With no password nothing is transformed, so no counter overflows.
  EXPECT_EQ(EncryptText(std::string(32767, 'a'), ""), std::string(32767, 'a'));
}

TEST(CipherTest, MatchesReferenceAcrossBlockSizes) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text.push_back(static_cast<char>((i * 37 + 11) & 255));
  for (std::size_t len : {1,   2,   3,   7,   9,   16,  31,  33,   63,   64,   65,   127, 128,
                          129, 255, 256, 257, 511, 512, 513, 1000, 2999, 3000, 3001, 5000}) {
    std::string password;
    for (std::size_t i = 0; i < len; ++i)
      password.push_back(static_cast<char>((i * 101 + 7) & 255));
    EXPECT_EQ(EncryptText(text, password), ReferenceTransform(text, password, +1)) << len;
    EXPECT_EQ(DecryptText(text, password), ReferenceTransform(text, password, -1)) << len;
  }
}

TEST(CipherTest, RandomisedAgainstReferenceAndRoundTrip) {
  std::mt19937 rng(0x70a7e);
  std::uniform_int_distribution<int> code(0, 255);
  std::uniform_int_distribution<int> textLength(0, 2000);
  std::uniform_int_distribution<int> passwordLength(1, 150);
  const auto randomBytes = [&](std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(code(rng));
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    // Now and then the longest text the cipher takes.
    const std::size_t n =
        round % 50 == 49 ? kMaxCipherText : static_cast<std::size_t>(textLength(rng));
    const std::string text = randomBytes(n);
    const std::string password = randomBytes(static_cast<std::size_t>(passwordLength(rng)));

    const std::string cipher = EncryptText(text, password);
    ASSERT_EQ(cipher, ReferenceTransform(text, password, +1)) << "round " << round;
    ASSERT_EQ(DecryptText(text, password), ReferenceTransform(text, password, -1))
        << "round " << round;
    ASSERT_EQ(DecryptText(cipher, password), text) << "round " << round;
    ASSERT_EQ(DecryptText(cipher, ReferenceUpper(password)), text) << "round " << round;
  }
}

}  // namespace
}  // namespace torvane
