// The About window's handlers and the finding of the system-information tool.
#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "about/sys_info.h"
#include "fakes/fakes.h"

namespace torvane {
namespace {

using namespace std::string_literals;

constexpr const char* kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct AboutTest : ::testing::Test {
  fakes::Log log;
  fakes::FakeForm form{log, "About"}, mainForm{log, "Main"};
  fakes::FakeMessages messages{log, "Messages"};
  fakes::FakeDesktop desktop{log, "Desktop"};
  fakes::FakeRegistry registry{log, "Registry"};
  fakes::FakeLauncher launcher{log, "Launcher"};
  FrmAbout about{{.form = form, .mainForm = mainForm},
                 {.messages = messages,
                  .desktop = desktop,
                  .registry = registry,
                  .files = launcher,
                  .processes = launcher}};

  void Value(const char* key, const char* name, std::uint32_t type, std::string bytes) {
    registry.keys[key][name] = {type, std::move(bytes)};
  }
  // What System Info did: the program started, or the message.
  std::string SysInfo() {
    log.clear();
    messages.shown.clear();
    about.Command("cmdSysInfo");
    EXPECT_TRUE(registry.open.empty()) << "every key closed";
    for (auto a : registry.access) EXPECT_EQ(a, platform::kKeyRead);
    if (!messages.shown.empty()) return messages.shown.at(0).text;
    return log.empty() ? "" : log.back();
  }
};

TEST_F(AboutTest, LoadPlacesItAndOkOrTheCloseBoxBringBackTheMainWindow) {
  about.Form_Load();
  EXPECT_EQ(log, (fakes::Log{"Desktop.SetWindowPos", "About.SetLeft", "About.SetTop"}));
  EXPECT_EQ(form.left, (19200 - 4410) / 2.0f);
  form.visible = true;
  about.Command("cmdOK");
  EXPECT_FALSE(form.visible);
  EXPECT_TRUE(mainForm.visible);
  form.visible = true, mainForm.visible = false;
  about.Form_QueryUnload();
  EXPECT_FALSE(form.visible);
  EXPECT_TRUE(mainForm.visible);
}

TEST_F(AboutTest, SystemInfoStartsTheToolFromEitherLocationOrSaysItIsUnavailable) {
  const std::string none = std::string(kSysInfoUnavailable);
  const std::string fromFolder = "Launcher.Start D:\\Tools\\MSINFO32.EXE 1";
  const struct {
    std::string_view name;
    std::string toolPath, folder;  // empty: no such value
    std::uint32_t toolType;
    bool folderHasTool;
    std::string want;
  } rows[] = {
      {"the first location", "C:\\My Tools\\msinfo.exe\0"s, "", platform::kRegSz, false,
       "Launcher.Start C:\\My Tools\\msinfo.exe 1"},
      {"stored in quotes", "\"C:\\q.exe\"\0"s, "", platform::kRegSz, false,
       "Launcher.Start C:\\q.exe 1"},
      {"without its zero", "C:\\t.exe", "", platform::kRegSz, false, "Launcher.Start C:\\t.exe 1"},
      {"expandable", "%WINDIR%\\m.exe\0"s, "", platform::kRegExpandSz, false,
       "Launcher.Start C:\\Win\\m.exe 1"},
      {"the second location", "", "D:\\Tools\0"s, 0, true, fromFolder},
      {"a quoted folder", "", "\"D:\\Tools\"\0"s, 0, true, fromFolder},
      {"no tool in that folder", "", "D:\\Tools\0"s, 0, false, none},
      {"1024 bytes fit", std::string(1023, 'x') + '\0', "", platform::kRegSz, false,
       "Launcher.Start " + std::string(1023, 'x') + " 1"},
      {"1025 do not", std::string(1024, 'x') + '\0', "D:\\Tools\0"s, platform::kRegSz, true,
       fromFolder},
      {"zero bytes", "", "D:\\Tools\0"s, platform::kRegSz, true, none},
      {"no value anywhere", "", "", 0, false, none},
  };
  registry.environment["WINDIR"] = "C:\\Win";
  for (const auto& r : rows) {
    registry.keys.clear();
    if (!r.toolPath.empty() || r.name == "zero bytes") {
      Value(kToolKey, "PATH", r.toolType, r.toolPath);
    }
    if (!r.folder.empty()) Value(kFolderKey, "MSINFO", platform::kRegSz, r.folder);
    launcher.normalFiles.clear();
    if (r.folderHasTool) launcher.normalFiles.insert("D:\\Tools\\MSINFO32.EXE");
    EXPECT_EQ(SysInfo(), r.want) << r.name;
  }
  Value(kToolKey, "PATH", platform::kRegSz, "C:\\t.exe\0"s);
  launcher.failStart = true;
  EXPECT_EQ(SysInfo(), none) << "a start that fails";
}

TEST_F(AboutTest, ValuesConvertAsTheirTypeSays) {
  std::string got = "kept";
  ConvertKeyValue("\x78\x56\x34\x12", 4, platform::kRegDword, got);
  EXPECT_EQ(got, "&h12345678");
  ConvertKeyValue("ab\0cd"s, 5, platform::kRegBinary, got);
  EXPECT_EQ(got, "&h12345678") << "other types leave the value as it was";
  ConvertKeyValue("text\0"s, 5, platform::kRegSz, got);
  EXPECT_EQ(got, "text");
  EXPECT_THROW(ConvertKeyValue("", 0, platform::kRegSz, got), std::out_of_range);
}

}  // namespace
}  // namespace torvane
