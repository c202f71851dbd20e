#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cipher/cipher.h"
#include "file_helpers.h"
#include "harness.h"

namespace torvane::e2e {
namespace {

const std::wstring kErrorTitle = L"Error";

std::string AllCodes() {
  std::string s;
  for (int c = 0; c < 256; ++c) s.push_back(static_cast<char>(c));
  return s;
}

TEST(MainWindow, OpensTopmostCentredWithEmptyBoxes) {
  App app;
  HWND w = app.Main();
  EXPECT_EQ(WindowText(w), L"Torvane");
  EXPECT_TRUE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);

  RECT r{};
  ::GetWindowRect(w, &r);
  const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(r.left, (sw - (r.right - r.left)) / 2, 1);
  EXPECT_NEAR(r.top, (sh - (r.bottom - r.top)) / 2, 1);

  // Client area 4320 x 3945 twips at the system DPI.
  HDC dc = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(nullptr, dc);
  RECT c{};
  ::GetClientRect(w, &c);
  EXPECT_NEAR(c.right, 4320 * dpi / 1440, 1);
  EXPECT_NEAR(c.bottom, 3945 * dpi / 1440, 1);

  EXPECT_EQ(app.Text("Text1"), L"");
  EXPECT_EQ(app.Text("Text2"), L"");
  EXPECT_EQ(WindowText(app.Control("Command1")), L"Encrypt");
  EXPECT_EQ(WindowText(app.Control("Command2")), L"Decrypt");
  EXPECT_EQ(WindowText(app.Control("Label3")), L"Select File To Encrypt:");
  EXPECT_EQ(WindowText(app.Control("Label4")), L"Password:");
}

TEST(MainWindow, BoxesHaveTheirKindAndTabOrder) {
  App app;
  HWND text1 = app.Control("Text1"), text2 = app.Control("Text2");
  const LONG s1 = ::GetWindowLongW(text1, GWL_STYLE);
  EXPECT_TRUE(s1 & ES_MULTILINE);
  EXPECT_TRUE(s1 & WS_VSCROLL);
  EXPECT_FALSE(s1 & WS_HSCROLL);
  EXPECT_FALSE(s1 & ES_AUTOHSCROLL) << "long lines must wrap";
  const LONG s2 = ::GetWindowLongW(text2, GWL_STYLE);
  EXPECT_TRUE(s2 & ES_PASSWORD);
  EXPECT_FALSE(s2 & ES_MULTILINE);
  DWORD_PTR mask = 0;
  ::SendMessageTimeoutW(text2, EM_GETPASSWORDCHAR, 0, 0, SMTO_NORMAL, 5000, &mask);
  EXPECT_EQ(mask, static_cast<DWORD_PTR>(L'*'));

  // Tab walks Text1, Text2, Encrypt, Decrypt and round again.
  HWND w = app.Main();
  EXPECT_EQ(::GetNextDlgTabItem(w, text1, FALSE), text2);
  EXPECT_EQ(::GetNextDlgTabItem(w, text2, FALSE), app.Control("Command1"));
  EXPECT_EQ(::GetNextDlgTabItem(w, app.Control("Command1"), FALSE), app.Control("Command2"));
  EXPECT_EQ(::GetNextDlgTabItem(w, app.Control("Command2"), FALSE), text1);
}

TEST(EncryptDecrypt, WorkedExampleAndCaseInsensitivePassword) {
  App app;
  app.Type("Text1", L"Hi!");
  app.Type("Text2", L"ab");
  app.Click("Command1");
  EXPECT_EQ(Bytes(app.Text("Text1")), std::string("\x8A\xAA\x63"));  // 138, 170, 99
  EXPECT_EQ(app.Text("Text2"), L"ab") << "the password stays";

  app.SetText("Text2", L"AB");
  app.Click("Command2");
  EXPECT_EQ(app.Text("Text1"), L"Hi!");
}

TEST(EncryptDecrypt, EveryCodeSurvivesEncryptThenDecrypt) {
  App app;
  std::mt19937 rng(20261206);
  std::string plain = AllCodes();
  for (int i = 0; i < 2000; ++i) plain.push_back(static_cast<char>(rng() & 0xFF));
  const std::string password = "s\xE9same \xFF\x9A!";
  app.SetText("Text1", Shown(plain));
  ASSERT_EQ(Bytes(app.Text("Text1")), plain) << "the box must hold every code as set";
  app.SetText("Text2", Shown(password));

  app.Click("Command1");
  EXPECT_EQ(Bytes(app.Text("Text1")), EncryptText(plain, password));
  app.Click("Command2");
  EXPECT_EQ(Bytes(app.Text("Text1")), plain);
}

TEST(EncryptDecrypt, EncryptIsOneEditTheBoxCanUndo) {
  App app;
  app.SetText("Text1", L"keep me");
  app.SetText("Text2", L"k");
  app.Click("Command1");
  ASSERT_NE(app.Text("Text1"), L"keep me");
  app.Undo("Text1");
  EXPECT_EQ(app.Text("Text1"), L"keep me");
}

struct Refusal {
  const char* name;
  const char* button;
  const wchar_t* text;
  const wchar_t* password;
  const wchar_t* message;
};

class Refusals : public testing::TestWithParam<Refusal> {};

TEST_P(Refusals, ShowTheErrorAndChangeNothing) {
  const Refusal& r = GetParam();
  App app;
  app.SetText("Text1", r.text);
  app.SetText("Text2", r.password);
  const MessageBoxSeen box = app.ClickForMessage(r.button);
  EXPECT_EQ(box.title, kErrorTitle);
  EXPECT_EQ(box.text, r.message);
  EXPECT_TRUE(box.hasIcon);
  app.Dismiss(box);
  EXPECT_EQ(app.Text("Text1"), r.text);
  EXPECT_EQ(app.Text("Text2"), r.password);
}

INSTANTIATE_TEST_SUITE_P(
    Encrypt, Refusals,
    testing::Values(
        Refusal{"BothEmpty", "Command1", L"", L"", L"Error: You have to enter text to encrypt."},
        Refusal{"NoText", "Command1", L"", L"pw", L"Error: You have to enter text to encrypt."},
        Refusal{"NoPassword", "Command1", L"text", L"", L"Error: You have to enter a password."},
        Refusal{"CharacterWithNoCode", "Command1", L"\x3A9 omega", L"pw",
                L"Error: The text contains the character \"\x3A9\" (U+03A9), which this "
                L"program cannot encrypt. Nothing was changed."}),
    [](const auto& p) { return std::string(p.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Decrypt, Refusals,
    testing::Values(
        Refusal{"BothEmpty", "Command2", L"", L"", L"Error: You have to enter text to decrypt."},
        Refusal{"NoPassword", "Command2", L"text", L"", L"Error: You have to enter a password."},
        Refusal{"PasswordWithNoCode", "Command2", L"text", L"p\x3C0",
                L"Error: The password contains the character \"\x3C0\" (U+03C0), which this "
                L"program cannot use in a password. Nothing was changed."}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(EncryptDecrypt, TextAtTheLimitTransformsAndOneMoreIsRefused) {
  App app;
  app.SetText("Text2", L"pw");
  const std::string longest = LongText(32766);
  app.SetText("Text1", Shown(longest));
  app.Click("Command1");
  EXPECT_EQ(Bytes(app.Text("Text1")), EncryptText(longest, "pw"));

  const std::wstring tooLong = Shown(LongText(32767));
  app.SetText("Text1", tooLong);
  const MessageBoxSeen box = app.ClickForMessage("Command1");
  EXPECT_EQ(box.title, kErrorTitle);
  EXPECT_EQ(box.text,
            L"Error: The text is too long to encrypt. It can have at most 32766 characters. "
            L"Nothing was changed.");
  app.Dismiss(box);
  EXPECT_EQ(app.Text("Text1"), tooLong);
}

}  // namespace
}  // namespace torvane::e2e
