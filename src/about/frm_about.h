#pragma once

#include <span>
#include <string_view>

#include "dispatch/handler_table.h"
#include "platform/launcher.h"
#include "platform/layout.h"
#include "platform/registry.h"
#include "platform/desktop.h"
#include "platform/form.h"
#include "platform/messages.h"
#include "platform/window_logic.h"

namespace torvane {

// The About window: its layout table and its handlers.
class FrmAbout final : public platform::WindowLogic {
 public:
  static const platform::WindowLayout& Layout();
  // The handler of each button, by its name in the layout.
  static std::span<const dispatch::Handler<FrmAbout>> Handlers();

  struct Controls {
    platform::Form& form;
    platform::Form& mainForm;  // shown again by OK
  };
  struct Services {
    platform::Messages& messages;
    platform::Desktop& desktop;
    platform::Registry& registry;
    platform::FileSearch& files;
    platform::ProcessStarter& processes;
  };

  FrmAbout(Controls controls, Services services) : c_(controls), s_(services) {}

  void Form_Load() override;
  void Command(std::string_view name) override;

  void cmdOK_Click();
  void cmdSysInfo_Click();
  // The close box and the system menu's Close: they act as OK, and the
  // window stays loaded.
  void Form_QueryUnload();

 private:
  Controls c_;
  Services s_;
};

}  // namespace torvane
