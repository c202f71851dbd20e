#pragma once

#include <string>

#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "main_window/tarvik.h"

namespace torvane {

// The main window over fakes of everything it reaches.
class TarvikTest : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeForm form{log};
  fakes::FakeTextBox text1{log, "Text1"};
  fakes::FakeTextBox text2{log, "Text2"};
  fakes::FakeMessageBox messages{log};
  fakes::FakeDesktop desktop{log};
  fakes::FakeForm aboutForm{log, "About"};
  fakes::FakeWindowLoader aboutLoader{log, aboutForm};
  fakes::FakeCommonDialog dialog{log};
  fakes::FakeFiles files{log};
  fakes::FakeClipboard clipboard{log};
  fakes::FakeProgram program{log};
  fakes::FakeFileSystem fileSystem{log};
  fakes::FakeShell shell{log};
  Tarvik window{{.form = form, .Text1 = text1, .Text2 = text2},
                {.messages = messages,
                 .desktop = desktop,
                 .about = aboutLoader,
                 .CMDialog1 = dialog,
                 .files = files,
                 .clipboard = clipboard,
                 .program = program,
                 .fileSystem = fileSystem,
                 .shell = shell}};

  // What the user left in the boxes, set straight into the fakes (not logged).
  void Enter(std::u16string text, std::size_t selStart, std::size_t selLength,
             std::u16string password = u"secret") {
    text1.text = std::move(text);
    text1.selStart = selStart;
    text1.selLength = selLength;
    text2.text = std::move(password);
  }

  // The handler's first effect is the topmost placement of the main window.
  void ExpectTopmostFirst() const {
    ASSERT_FALSE(log.Empty());
    EXPECT_EQ(log.Entries().front(), "Desktop.SetWindowPos");
    ASSERT_EQ(desktop.setWindowPosCalls.size(), 1u);
    EXPECT_EQ(desktop.setWindowPosCalls[0].window, form.handle);
    EXPECT_EQ(desktop.setWindowPosCalls[0].insertAfter, platform::kHwndTopmost);
  }

  bool Touched(const std::string& object) const {
    for (const auto& e : log.Entries()) {
      if (e.rfind(object + ".", 0) == 0) return true;
    }
    return false;
  }
};

}  // namespace torvane
