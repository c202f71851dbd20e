// The help document: its start-up copy and the Help command, with the real
// file system, registry and shell of the Wine prefix.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "harness.h"
#include "text/codepage.h"

namespace torvane::e2e {
namespace {

const std::wstring kFixed = L"c:\\windows\\encrypthelp.doc";
constexpr const wchar_t* kProgId = L"TorvaneTest.Document";

std::wstring LocalAppData() {
  wchar_t path[MAX_PATH];
  if (::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
    throw std::runtime_error("no local application-data folder");
  return path;
}
std::wstring OwnFolder() {
  return LocalAppData() + L"\\Torvane";
}
std::wstring OwnCopy() {
  return OwnFolder() + L"\\encrypthelp.doc";
}
std::wstring TempFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetTempPathW(MAX_PATH, path);
  return std::wstring(path, n);
}

bool IsFile(const std::wstring& path) {
  const DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadAll(const std::wstring& path) {
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string data(::GetFileSize(f, nullptr), '\0');
  DWORD got = 0;
  ::ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
  ::CloseHandle(f);
  data.resize(got);
  return data;
}

void WriteAll(const std::wstring& path, const std::string& data) {
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a test file");
  DWORD written = 0;
  ::WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  ::CloseHandle(f);
}

void Remove(const std::wstring& path) {
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!::DeleteFileW(path.c_str())) ::RemoveDirectoryW(path.c_str());
}

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(::towlower(c));
  return s;
}

// The association goes into both hives: Windows reads the user's first,
// Wine 8 only the machine's.
const HKEY kHives[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
const std::wstring kDocKey = L"Software\\Classes\\.doc";
const std::wstring kProgIdKey = std::wstring(L"Software\\Classes\\") + kProgId;

std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& key) {
  wchar_t value[512];
  DWORD size = sizeof value;
  if (::RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

void SetDefault(const std::wstring& key, const std::wstring& value) {
  int written = 0;
  for (HKEY root : kHives) {
    HKEY k = nullptr;
    if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS) {
      continue;  // the machine's classes need rights that Windows may not give
    }
    if (::RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
        ERROR_SUCCESS) {
      ++written;
    }
    ::RegCloseKey(k);
  }
  if (written == 0) throw std::runtime_error("cannot write the association");
}

// A .doc association that is not the tests' own: it must be left alone.
bool ForeignDocAssociation() {
  for (HKEY root : kHives) {
    const auto value = DefaultValue(root, kDocKey);
    if (value && *value != kProgId) return true;
  }
  return false;
}

// Each test starts and ends with no copies of the guide, no .doc association
// of the tests' own, and no record of the stub.
class HelpDocument : public testing::Test {
 protected:
  const std::wstring record = TempFolder() + L"torvane-open-stub.txt";

  void SetUp() override {
    if (ForeignDocAssociation()) GTEST_SKIP() << "a program is associated with .doc here";
    CleanUp();
  }
  void TearDown() override { CleanUp(); }

  void CleanUp() {
    for (HKEY root : kHives) {
      if (DefaultValue(root, kDocKey) == kProgId) ::RegDeleteTreeW(root, kDocKey.c_str());
      ::RegDeleteTreeW(root, kProgIdKey.c_str());
    }
    Remove(kFixed);
    Remove(OwnCopy());
    Remove(OwnFolder());
    Remove(record);
  }

  // .doc opens with the stub, which records how it was started.
  void AssociateStub() {
    SetDefault(kDocKey, kProgId);
    const std::wstring stub = ProgramFolder() + L"\\open_stub.exe";
    SetDefault(kProgIdKey + L"\\shell\\open\\command",
               L"\"" + stub + L"\" \"" + record + L"\" \"%1\"");
  }
  // .doc names a type that no program opens.
  void AssociateNothing() { SetDefault(kDocKey, kProgId); }

  struct Started {
    std::wstring folder;
    std::wstring commandLine;
  };
  std::optional<Started> WaitForStub(std::chrono::milliseconds timeout = 15s) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (auto data = ReadAll(record)) {
        std::istringstream in(*data);
        std::string folder, line;
        std::getline(in, folder);
        std::getline(in, line);
        const auto wide = [](const std::string& s) {
          const std::u16string u = text::Utf8ToUtf16(s);
          return std::wstring(u.begin(), u.end());
        };
        return Started{wide(folder), wide(line)};
      }
      std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
  }
};

TEST_F(HelpDocument, StartCopiesTheGuideToTheFixedPathReplacingAnOlderCopy) {
  const auto shipped = ReadAll(ProgramFolder() + L"\\help.doc");
  ASSERT_TRUE(shipped.has_value()) << "help.doc must be built beside torvane.exe";
  EXPECT_EQ(shipped->rfind("{\\rtf1", 0), 0u) << "help.doc is an RTF document";
  {
    App app;
    EXPECT_EQ(ReadAll(kFixed), shipped);
    EXPECT_FALSE(app.FindMessageBox().has_value()) << "the start is silent";
  }
  WriteAll(kFixed, "an older guide");
  App app;
  EXPECT_EQ(ReadAll(kFixed), shipped);
  EXPECT_FALSE(IsFile(OwnCopy())) << "no per-user copy when the fixed one could be written";
}

TEST_F(HelpDocument, HelpWithNoProgramForTheTypeShowsTheMessage) {
  App app;
  ASSERT_TRUE(IsFile(kFixed));
  // First with .doc unknown (a fresh Wine prefix knows no .doc), then with
  // .doc naming a type that no program opens.
  for (int arrangement = 0; arrangement < 2; ++arrangement) {
    SCOPED_TRACE(arrangement);
    if (arrangement == 1) AssociateNothing();
    const MessageBoxSeen box = app.MenuForMessage("help1");
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.text, L"Error opening help file.");
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(::GetWindow(box.hwnd, GW_OWNER), app.Main()) << "owned by the main window";
    app.Dismiss(box);
    EXPECT_TRUE(app.Running());
  }
}

TEST_F(HelpDocument, HelpStartsTheAssociatedProgramWithTheCopy) {
  AssociateStub();
  App app;
  app.Menu("help1");  // no message box may appear
  const auto started = WaitForStub();
  ASSERT_TRUE(started.has_value()) << "the associated program was not started";
  EXPECT_NE(Lower(started->commandLine).find(Lower(kFixed)), std::wstring::npos)
      << std::string(started->commandLine.begin(), started->commandLine.end());
  EXPECT_EQ(Lower(started->folder), L"c:\\") << "the working folder given to the shell";
  EXPECT_FALSE(app.FindMessageBox().has_value());
}

TEST_F(HelpDocument, UnwritableFixedPathGivesAPerUserCopyThatHelpOpens) {
  // A folder where the copy should go: the fixed path cannot be written.
  ASSERT_TRUE(::CreateDirectoryW(kFixed.c_str(), nullptr));
  AssociateStub();
  App app;
  EXPECT_EQ(ReadAll(OwnCopy()), ReadAll(ProgramFolder() + L"\\help.doc"));
  EXPECT_FALSE(app.FindMessageBox().has_value()) << "the start is silent";
  app.Menu("help1");
  const auto started = WaitForStub();
  ASSERT_TRUE(started.has_value());
  EXPECT_NE(Lower(started->commandLine).find(Lower(OwnCopy())), std::wstring::npos)
      << std::string(started->commandLine.begin(), started->commandLine.end());
}

TEST_F(HelpDocument, WithoutTheGuideBesideTheProgram) {
  // A copy of the program in a folder of its own, with no help.doc.
  const std::wstring folder = TempFolder() + L"torvane no help";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring exe = folder + L"\\torvane.exe";
  ASSERT_TRUE(::CopyFileW((ProgramFolder() + L"\\torvane.exe").c_str(), exe.c_str(), FALSE));
  AssociateStub();
  {
    // Nothing to copy and no earlier copy: a silent start, then the message.
    App app(exe);
    EXPECT_FALSE(app.FindMessageBox().has_value());
    EXPECT_FALSE(IsFile(kFixed));
    EXPECT_FALSE(IsFile(OwnCopy()));
    const MessageBoxSeen box = app.MenuForMessage("help1");
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.text, L"Error opening help file.");
    app.Dismiss(box);
  }
  {
    // A copy from an earlier start is still there: Help opens it as it is.
    WriteAll(kFixed, "{\\rtf1 an older guide}");
    App app(exe);
    app.Menu("help1");
    const auto started = WaitForStub();
    ASSERT_TRUE(started.has_value());
    EXPECT_NE(Lower(started->commandLine).find(Lower(kFixed)), std::wstring::npos);
    EXPECT_EQ(ReadAll(kFixed), "{\\rtf1 an older guide}");
  }
  Remove(exe);
  Remove(folder);
}

}  // namespace
}  // namespace torvane::e2e
