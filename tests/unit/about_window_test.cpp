#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "fakes/fakes.h"
#include "main_window/tarvik.h"

namespace torvane {
namespace {

using fakes::CallLog;
using Log = std::vector<std::string>;

// Both windows over fakes, wired as the program wires them: Help > About goes
// through the main window's handler table, the About window's through its own.
class AboutWindowTest : public ::testing::Test {
 protected:
  CallLog log;
  fakes::FakeForm mainForm{log, "Main"};
  fakes::FakeTextBox text1{log, "Text1"};
  fakes::FakeTextBox text2{log, "Text2"};
  fakes::FakeForm aboutForm{log, "About"};
  fakes::FakeDesktop desktop{log};
  fakes::FakeMessageBox messages{log};
  fakes::FakeRegistry registry{log};
  fakes::FakeFileSearch files{log};
  fakes::FakeProcessStarter processes{log};
  fakes::FakeWindowLoader loader{log, aboutForm};
  fakes::FakeCommonDialog dialog{log};
  fakes::FakeFiles textFiles{log};
  FrmAbout about{{.form = aboutForm, .mainForm = mainForm},
                 {.messages = messages,
                  .desktop = desktop,
                  .registry = registry,
                  .files = files,
                  .processes = processes}};
  fakes::FakeClipboard clipboard{log};
  fakes::FakeProgram program{log};
  fakes::FakeFileSystem fileSystem{log};
  fakes::FakeShell shell{log};
  Tarvik tarvik{{.form = mainForm, .Text1 = text1, .Text2 = text2},
                {.messages = messages,
                 .desktop = desktop,
                 .about = loader,
                 .CMDialog1 = dialog,
                 .files = textFiles,
                 .clipboard = clipboard,
                 .program = program,
                 .fileSystem = fileSystem,
                 .shell = shell}};

  static constexpr platform::WindowHandle kMain = 0x10;
  static constexpr platform::WindowHandle kAbout = 0x20;

  AboutWindowTest() {
    mainForm.handle = kMain;
    mainForm.visible = true;
    aboutForm.handle = kAbout;
    aboutForm.caption = "About";
    aboutForm.left = 2340;  // where the designer left it
    aboutForm.top = 1935;
    aboutForm.width = 5820;  // outer size
    aboutForm.height = 3405;
    loader.logic = &about;
  }

  void Open() { tarvik.Command("about"); }

  void ClearLog() {
    log.Clear();
    desktop.setWindowPosCalls.clear();
  }

  // Each SetWindowPos asked for the topmost band without moving or sizing.
  std::vector<platform::WindowHandle> TopmostCalls() const {
    std::vector<platform::WindowHandle> windows;
    for (const auto& c : desktop.setWindowPosCalls) {
      EXPECT_EQ(c.insertAfter, platform::kHwndTopmost);
      EXPECT_EQ(c.flags, 3u);
      windows.push_back(c.window);
    }
    return windows;
  }

  void ExpectAboutHiddenMainShown() {
    EXPECT_EQ(log.Entries(), (Log{"Desktop.SetWindowPos", "About.Hide", "Main.Show"}));
    EXPECT_EQ(TopmostCalls(), std::vector<platform::WindowHandle>{kAbout});
    EXPECT_FALSE(aboutForm.visible);
    EXPECT_TRUE(mainForm.visible);
  }
};

TEST_F(AboutWindowTest, HelpAboutHidesMainThenLoadsCentresAndShowsAbout) {
  Open();
  EXPECT_EQ(log.Entries(),
            (Log{"Desktop.SetWindowPos", "Main.Hide", "AboutLoader.Load", "Desktop.SetWindowPos",
                 "About.SetLeft", "About.SetTop", "About.Show"}));
  EXPECT_EQ(TopmostCalls(), (std::vector<platform::WindowHandle>{kMain, kAbout}));
  // Centred on the 19200 x 14400 twip screen, frame included.
  EXPECT_FLOAT_EQ(aboutForm.left, 6690);
  EXPECT_FLOAT_EQ(aboutForm.top, 5497.5f);
  EXPECT_FALSE(mainForm.visible);
  EXPECT_TRUE(aboutForm.visible);
  EXPECT_EQ(loader.created, 1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AboutWindowTest, OkHidesAboutAndBringsMainBackWithItsText) {
  text1.text = u"Line one\r\nLine two";
  text2.text = u"pass";
  Open();
  ClearLog();
  about.Command("cmdOK");
  ExpectAboutHiddenMainShown();
  EXPECT_EQ(text1.text, u"Line one\r\nLine two");
  EXPECT_EQ(text2.text, u"pass");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AboutWindowTest, CloseBoxActsAsOkAndKeepsTheWindowLoaded) {
  Open();
  ClearLog();
  bool cancel = false;
  about.Form_QueryUnload(cancel);
  EXPECT_TRUE(cancel);
  ExpectAboutHiddenMainShown();

  // So the next opening still finds it, without a second Form_Load.
  ClearLog();
  Open();
  EXPECT_EQ(loader.created, 1);
  EXPECT_FALSE(log.Contains("About.SetLeft"));
}

TEST_F(AboutWindowTest, SecondOpeningShowsTheSameWindowWhereItWasLeft) {
  Open();
  about.cmdOK_Click();
  aboutForm.left = 120;  // the user moved it
  aboutForm.top = 45;
  ClearLog();

  Open();
  EXPECT_EQ(log.Entries(),
            (Log{"Desktop.SetWindowPos", "Main.Hide", "AboutLoader.Load", "About.Show"}));
  EXPECT_EQ(TopmostCalls(), std::vector<platform::WindowHandle>{kMain});
  EXPECT_EQ(loader.created, 1);
  EXPECT_FLOAT_EQ(aboutForm.left, 120);
  EXPECT_FLOAT_EQ(aboutForm.top, 45);
  EXPECT_TRUE(aboutForm.visible);
  EXPECT_FALSE(mainForm.visible);
}

TEST_F(AboutWindowTest, SystemInfoLeavesBothWindowsAsTheyWereWhetherOrNotTheToolStarts) {
  Open();

  ClearLog();
  about.Command("cmdSysInfo");  // nothing registered: the message
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(desktop.setWindowPosCalls.empty()) << "System Info does not re-assert topmost";
  EXPECT_TRUE(aboutForm.visible);
  EXPECT_FALSE(mainForm.visible);

  const std::string tool = "C:\\Tools\\msinfo32.exe";
  registry.SetText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", tool);
  processes.programs.insert(tool);
  ClearLog();
  about.Command("cmdSysInfo");
  ASSERT_EQ(processes.attempts.size(), 1u);
  EXPECT_TRUE(processes.attempts[0].started);
  EXPECT_EQ(messages.shown.size(), 1u) << "no second message";
  EXPECT_TRUE(desktop.setWindowPosCalls.empty());
  EXPECT_FALSE(log.Contains("About.Hide"));
  EXPECT_FALSE(log.Contains("Main.Show"));
  EXPECT_TRUE(aboutForm.visible);
  EXPECT_FALSE(mainForm.visible);
}

TEST_F(AboutWindowTest, AWindowThatCannotBeCreatedBringsMainBackAndReportsTheError) {
  loader.failToCreate = true;
  EXPECT_THROW(tarvik.about_Click(), std::runtime_error);
  EXPECT_EQ(log.Entries(),
            (Log{"Desktop.SetWindowPos", "Main.Hide", "AboutLoader.Load", "Main.Show"}));
  EXPECT_TRUE(mainForm.visible);
  EXPECT_FALSE(aboutForm.visible);
}

// --- The layout table ---------------------------------------------------------

const platform::ControlSpec& ControlNamed(std::string_view name) {
  for (const auto& c : FrmAbout::Layout().controls) {
    if (c.name == name) return c;
  }
  throw std::invalid_argument("no control " + std::string(name));
}

TEST(AboutLayout, ControlsInCreationOrderInsideTheClientArea) {
  const auto& layout = FrmAbout::Layout();
  EXPECT_EQ(layout.caption, "About");
  EXPECT_FLOAT_EQ(layout.clientWidth, 5730);
  EXPECT_FLOAT_EQ(layout.clientHeight, 2955);
  EXPECT_TRUE(layout.menus.empty());
  EXPECT_NE(layout.className, Tarvik::Layout().className);

  std::vector<std::string_view> names;
  for (const auto& c : layout.controls) {
    names.push_back(c.name);
    if (c.kind == platform::ControlKind::kLine) {
      EXPECT_LE(c.width, layout.clientWidth) << "a line ends at (width, height)";
      EXPECT_EQ(c.top, c.height) << "the rule is horizontal";
    } else {
      EXPECT_LE(c.left + c.width, layout.clientWidth) << c.name;
      EXPECT_LE(c.top + c.height, layout.clientHeight) << c.name;
    }
  }
  EXPECT_EQ(names, (std::vector<std::string_view>{"picIcon", "cmdOK", "cmdSysInfo", "Line1",
                                                  "lblDescription", "lblTitle", "Line1",
                                                  "lblVersion", "lblDisclaimer"}));
}

TEST(AboutLayout, EnterAndEscBothBelongToOk) {
  // The runtime sends Enter to the one default button and Esc to the one
  // cancel button.
  int defaults = 0, cancels = 0;
  for (const auto& c : FrmAbout::Layout().controls) {
    if (c.flags & platform::kDefaultButton) {
      ++defaults;
      EXPECT_EQ(c.name, "cmdOK");
    }
    if (c.flags & platform::kCancelButton) {
      ++cancels;
      EXPECT_EQ(c.name, "cmdOK");
    }
  }
  EXPECT_EQ(defaults, 1);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(ControlNamed("cmdOK").caption, "OK");
  EXPECT_EQ(ControlNamed("cmdSysInfo").caption, "&System Info...");
  EXPECT_EQ(ControlNamed("cmdOK").tabIndex, 0) << "OK has the focus first";
}

}  // namespace
}  // namespace torvane
