// The About window's handlers and the finding of the system-information tool.
#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "about/sys_info.h"
#include "fakes/fakes.h"

namespace torvane {
namespace {

using namespace std::string_literals;
using Shows = std::vector<fakes::Shown>;

struct AboutTest : ::testing::Test {
  fakes::FakeForm form, mainForm;
  fakes::FakeSystem sys;
  fakes::FakeSysInfo tools;
  FrmAbout about{{form, mainForm}, {sys, sys, tools, tools, tools}};
};

TEST_F(AboutTest, LoadPlacesItAndOkOrTheCloseBoxBringBackTheMainWindow) {
  about.Form_Load();
  EXPECT_EQ(sys.onTop, 1);
  EXPECT_EQ(std::pair(form.left, form.top), std::pair(7395.0f, 4875.0f));  // (19200 - 4410) / 2
  form.visible = true;
  about.Command("cmdOK");
  EXPECT_EQ(std::pair(form.visible, mainForm.visible), std::pair(false, true));
  form.visible = true, mainForm.visible = false;
  about.Form_QueryUnload();
  EXPECT_EQ(std::pair(form.visible, mainForm.visible), std::pair(false, true));
}

TEST_F(AboutTest, SystemInfoStartsTheToolFromEitherLocationOrSaysItIsUnavailable) {
  const Shows none{{"System Information Is Unavailable At This Time", 0, "Torvane"}};
  const std::vector<std::string> fromFolder{"D:\\Tools\\MSINFO32.EXE 1"};
  const struct {
    std::optional<std::pair<std::uint32_t, std::string>> tool;  // the first location's value
    std::string folder;                // the second location's, as stored; empty: none
    std::vector<std::string> started;  // every start tried, with its window style
    Shows shown;
  } rows[] = {
      {{{1, "C:\\My Tools\\msinfo.exe\0"s}}, "", {"C:\\My Tools\\msinfo.exe 1"}, {}},
      {{{1, "\"C:\\q.exe\"\0"s}}, "", {"C:\\q.exe 1"}, {}},
      {{{1, "C:\\t.exe"}}, "", {"C:\\t.exe 1"}, {}},                   // stored without its zero
      {{{2, "%WINDIR%\\m.exe\0"s}}, "", {"<%WINDIR%\\m.exe> 1"}, {}},  // expanded
      {{}, "D:\\Tools\0"s, fromFolder, {}},
      {{}, "\"D:\\Tools\"\0"s, fromFolder, {}},
      {{}, "E:\\Empty\0"s, {}, none},
      {{}, "", {}, none},
      {{{1, std::string(1023, 'x') + '\0'}}, "", {std::string(1023, 'x') + " 1"}, {}},
      {{{1, std::string(1024, 'x') + '\0'}}, "D:\\Tools\0"s, fromFolder, {}},  // too long
      // A value of no bytes, or a tool there that does not start: the first
      // location ends it.
      {{{1, ""}}, "D:\\Tools\0"s, {}, none},
      {{{1, "C:\\gone.exe\0"s}}, "D:\\Tools\0"s, {"C:\\gone.exe 1"}, none},
  };
  tools.normalFiles = {"D:\\Tools\\MSINFO32.EXE"};
  tools.broken = {"C:\\gone.exe"};
  for (const auto& r : rows) {
    tools.keys.clear();
    if (r.tool) tools.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = *r.tool;
    if (!r.folder.empty()) {
      tools.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {1, r.folder};
    }
    tools.started.clear();
    sys.shown.clear();
    about.Command("cmdSysInfo");
    EXPECT_EQ(tools.started, r.started) << (r.tool ? r.tool->second : "-") << r.folder;
    EXPECT_EQ(sys.shown, r.shown) << (r.tool ? r.tool->second : "-") << r.folder;
    EXPECT_EQ(tools.open, 0) << "every key closed";
  }
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
