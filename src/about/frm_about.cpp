#include "about/frm_about.h"

#include <array>

#include "about/sys_info.h"
#include "placement/tarvik32.h"

namespace torvane {
namespace {

using platform::ControlKind;
using platform::ControlSpec;

constexpr platform::Font kArial825{"Arial", 8.25f};
constexpr platform::Font kDefaultFont{};
constexpr platform::Rgb kBlack{0, 0, 0};
constexpr platform::Rgb kGrey{128, 128, 128};
constexpr platform::Rgb kWhite{255, 255, 255};

// Creation order. The two Line1 members draw the etched rule above the buttons.
constexpr std::array kControls = {
    ControlSpec{ControlKind::kPicture, "picIcon", "", 240, 240, 540, 540, 1, kDefaultFont},
    ControlSpec{ControlKind::kButton, "cmdOK", "OK", 4245, 2040, 1260, 345, 0, kDefaultFont,
                platform::kDefaultButton | platform::kCancelButton},
    ControlSpec{ControlKind::kButton, "cmdSysInfo", "&System Info...", 4260, 2520, 1245, 345, 2,
                kDefaultFont},
    ControlSpec{ControlKind::kLine, "Line1", "", 120, 1920, 5684, 1920, -1, kDefaultFont, 0, kGrey},
    ControlSpec{ControlKind::kLabel, "lblDescription",
                "Want To Send A Comment, Idea or Anything Else About This Program Send Them To: "
                "comments@torvane.example",
                1080, 960, 3885, 690, 3, kArial825, 0, kBlack},
    ControlSpec{ControlKind::kLabel, "lblTitle", "Torvane Project's Torvane", 1050, 240, 3885, 240,
                5, kArial825, 0, kBlack},
    ControlSpec{ControlKind::kLine, "Line1", "", 105, 1920, 5654, 1920, -1, kDefaultFont,
                platform::kWideLine, kWhite},
    ControlSpec{ControlKind::kLabel, "lblVersion",
                "Torvane Project (www.torvane.example)\nProgrammed by the Torvane Project team",
                1050, 480, 3885, 465, 6, kArial825},
    ControlSpec{ControlKind::kLabel, "lblDisclaimer",
                "\xC2\xA9 Torvane Project, www.torvane.example", 1080, 1680, 3870, 225, 4,
                kArial825, 0, kBlack},
};

constexpr platform::WindowSpec kLayout{"TorvaneAbout", "About", 5730, 2955, kControls, {}};

struct Handler {
  std::string_view name;
  void (FrmAbout::*click)();
};
constexpr std::array kHandlers = {
    Handler{"cmdOK", &FrmAbout::cmdOK_Click},
    Handler{"cmdSysInfo", &FrmAbout::cmdSysInfo_Click},
};

}  // namespace

const platform::WindowSpec& FrmAbout::Layout() {
  return kLayout;
}

void FrmAbout::Command(std::string_view name) {
  for (const auto& h : kHandlers) {
    if (h.name == name) {
      (this->*h.click)();
      return;
    }
  }
}

void FrmAbout::Form_Load() {
  MakeTopmost(c_.form, s_.desktop);
  CenterForm(c_.form, s_.desktop);
}

void FrmAbout::cmdOK_Click() {
  MakeTopmost(c_.form, s_.desktop);
  c_.form.Hide();  // stays loaded: the next opening shows it where it was
  c_.mainForm.Show();
}

void FrmAbout::cmdSysInfo_Click() {
  StartSysInfo({s_.registry, s_.files, s_.processes, s_.messages});
}

void FrmAbout::Form_QueryUnload(bool& cancel) {
  // Closing would leave the main window hidden with nothing on screen.
  cancel = true;
  cmdOK_Click();
}

}  // namespace torvane
