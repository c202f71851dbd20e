// Both windows as designed: every control's place, size, tab stop, font and
// colours, and the menus, in twips, written out as the design tables give
// them. The runtime draws what these tables say, so a wrong number here is a
// control in the wrong place.
#include <gtest/gtest.h>

#include <sstream>

#include "about/frm_about.h"
#include "main_window/tarvik.h"

namespace torvane {
namespace {

std::string Describe(const platform::WindowLayout& w) {
  static constexpr const char* kKinds[] = {"tab", "label", "text", "button", "picture", "line"};
  static constexpr const char* kFlags[] = {"multi", "vscroll", "password", "default",
                                           "cancel", "notab", "wide"};
  std::ostringstream s;
  s << w.className << " \"" << w.caption << "\" " << w.clientWidth << "x" << w.clientHeight
    << (w.acceptsFiles ? " files" : "") << "\n";
  for (const auto& c : w.controls) {
    s << c.name << " " << kKinds[static_cast<int>(c.kind)] << " " << c.left << " " << c.top << " "
      << c.width << " " << c.height << " tab " << c.tabIndex;
    if (!c.font.face.empty()) s << " " << c.font.face << " " << c.font.points;
    for (unsigned f = 0; f < 7; ++f) {
      if (c.flags & (1u << f)) s << " " << kFlags[f];
    }
    for (const auto& [what, rgb] : {std::pair{" fore ", c.foreColor}, {" back ", c.backColor}}) {
      if (rgb) s << what << +rgb->r << "," << +rgb->g << "," << +rgb->b;
    }
    if (c.maxLength) s << " max " << c.maxLength;
    s << "\n";
  }
  for (const auto& m : w.menus) s << (m.level ? "  " : "") << m.name << " " << m.caption << "\n";
  return s.str();
}

TEST(Layout, TheMainWindowIsAsDesigned) {
  EXPECT_EQ(Describe(Tarvik::Layout()),
            "TorvaneMain \"Torvane\" 4320x3945 files\n"
            "SSTab1 tab 0 0 4335 3975 tab 0 Arial 9 notab back 192,192,192\n"
            "Label3 label 120 120 2775 255 tab 1 Arial 9 fore 255,0,0\n"
            "Text1 text 120 360 4095 2355 tab 2 Arial 9 multi vscroll max 32766\n"
            "Label4 label 120 2760 1455 255 tab 3 Arial 9 fore 255,0,0\n"
            "Text2 text 120 3000 4095 315 tab 4 Arial 9 password\n"
            "Command1 button 480 3480 1215 375 tab 5 Arial 8.25\n"
            "Command2 button 2520 3480 1215 375 tab 6 Arial 8.25\n"
            "file &File\n  mini &Minimize\n  a -\n  exit &Exit\n"
            "options &Options\n  save Save\n  load Load\n  d -\n"
            "  cut Cut\n  copy Copy\n  paste Paste\n  clear Clear\n"
            "help &Help\n  about &About\n  help1 &Help\n");
}

TEST(Layout, TheAboutWindowIsAsDesigned) {
  EXPECT_EQ(Describe(FrmAbout::Layout()),
            "TorvaneAbout \"About\" 5730x2955\n"
            "picIcon picture 240 240 540 540 tab 1\n"
            "cmdOK button 4245 2040 1260 345 tab 0 default cancel\n"
            "cmdSysInfo button 4260 2520 1245 345 tab 2\n"
            "Line1(1) line 120 1920 5684 1920 tab -1 fore 128,128,128\n"
            "lblDescription label 1080 960 3885 690 tab 3 Arial 8.25 fore 0,0,0\n"
            "lblTitle label 1050 240 3885 240 tab 5 Arial 8.25 fore 0,0,0\n"
            "Line1(0) line 105 1920 5654 1920 tab -1 wide fore 255,255,255\n"
            "lblVersion label 1050 480 3885 465 tab 6 Arial 8.25\n"
            "lblDisclaimer label 1080 1680 3870 225 tab 4 Arial 8.25 fore 0,0,0\n");
}

// An id that the system or another program sends with a command may name
// nothing: below the controls, past them, below the menus or past them.
TEST(Layout, AnIdOfNoControlOrMenuItemNamesNothing) {
  for (const int id : {99, 107, 999, 1015}) {
    EXPECT_EQ(platform::NameOfId(Tarvik::Layout(), id), "") << id;
  }
}

}  // namespace
}  // namespace torvane
