#include "about/frm_about.h"

#include <array>

#include "about/sys_info.h"
#include "placement/tarvik32.h"

namespace torvane {
namespace {

using platform::ControlKind;
using platform::ControlRow;

constexpr platform::Font kArial825{"Arial", 8.25f};
constexpr platform::Font kDefaultFont{};
constexpr platform::Rgb kBlack{0, 0, 0};
constexpr platform::Rgb kGrey{128, 128, 128};
constexpr platform::Rgb kWhite{255, 255, 255};

// Creation order. The two members of Line1 draw the etched rule above the
// buttons; a line runs from (left, top) to (width, height).
// clang-format off
constexpr std::array kControls = {
    ControlRow{.kind = ControlKind::kPicture, .name = "picIcon", .caption = "",
               .left = 240, .top = 240, .width = 540, .height = 540, .tabIndex = 1,
               .font = kDefaultFont},
    ControlRow{.kind = ControlKind::kButton, .name = "cmdOK", .caption = "OK",
               .left = 4245, .top = 2040, .width = 1260, .height = 345, .tabIndex = 0,
               .font = kDefaultFont, .flags = platform::kDefaultButton | platform::kCancelButton},
    ControlRow{.kind = ControlKind::kButton, .name = "cmdSysInfo", .caption = "&System Info...",
               .left = 4260, .top = 2520, .width = 1245, .height = 345, .tabIndex = 2,
               .font = kDefaultFont},
    ControlRow{.kind = ControlKind::kLine, .name = "Line1(1)", .caption = "",
               .left = 120, .top = 1920, .width = 5684, .height = 1920, .tabIndex = -1,
               .font = kDefaultFont, .foreColor = kGrey},
    ControlRow{.kind = ControlKind::kLabel, .name = "lblDescription",
               .caption = "Want To Send A Comment, Idea or Anything Else About This Program "
                           "Send Them To: comments@torvane.example",
               .left = 1080, .top = 960, .width = 3885, .height = 690, .tabIndex = 3,
               .font = kArial825, .foreColor = kBlack},
    ControlRow{.kind = ControlKind::kLabel, .name = "lblTitle",
               .caption = "Torvane Project's Torvane",
               .left = 1050, .top = 240, .width = 3885, .height = 240, .tabIndex = 5,
               .font = kArial825, .foreColor = kBlack},
    ControlRow{.kind = ControlKind::kLine, .name = "Line1(0)", .caption = "",
               .left = 105, .top = 1920, .width = 5654, .height = 1920, .tabIndex = -1,
               .font = kDefaultFont, .flags = platform::kWideLine, .foreColor = kWhite},
    ControlRow{.kind = ControlKind::kLabel, .name = "lblVersion",
               .caption = "Torvane Project (www.torvane.example)\n"
                           "Programmed by the Torvane Project team",
               .left = 1050, .top = 480, .width = 3885, .height = 465, .tabIndex = 6,
               .font = kArial825},
    ControlRow{.kind = ControlKind::kLabel, .name = "lblDisclaimer",
               .caption = "\xC2\xA9 Torvane Project, www.torvane.example",
               .left = 1080, .top = 1680, .width = 3870, .height = 225, .tabIndex = 4,
               .font = kArial825, .foreColor = kBlack},
};

constexpr platform::WindowLayout kLayout{.className = "TorvaneAbout",
                                       .caption = "About",
                                       .clientWidth = 5730,
                                       .clientHeight = 2955,
                                       .controls = kControls,
                                       .menus = {}};
// clang-format on

using Handler = dispatch::Handler<FrmAbout>;
constexpr std::array kHandlers = {
    Handler{"cmdOK", &FrmAbout::cmdOK_Click},
    Handler{"cmdSysInfo", &FrmAbout::cmdSysInfo_Click},
};

}  // namespace

const platform::WindowLayout& FrmAbout::Layout() {
  return kLayout;
}

std::span<const dispatch::Handler<FrmAbout>> FrmAbout::Handlers() {
  return kHandlers;
}

void FrmAbout::Command(std::string_view name) {
  dispatch::RunHandler(*this, Handlers(), name);
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

void FrmAbout::Form_QueryUnload() {
  // Closing would leave the main window hidden with nothing on screen.
  cmdOK_Click();
}

}  // namespace torvane
