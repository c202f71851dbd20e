#include "app/about_window.h"

namespace torvane::win32 {

platform::Form& AboutWindow::Load() {
  if (window_) return *window_;
  auto window = std::make_unique<Window>(FrmAbout::Layout(), c_.instance,
                                         Window::Options{.bigIcon = c_.bigIcon,
                                                         .smallIcon = c_.smallIcon,
                                                         .endsProgram = false,
                                                         .onClose = [this] { OnClose(); }});
  auto logic =
      std::make_unique<FrmAbout>(FrmAbout::Controls{.form = *window, .mainForm = c_.mainForm},
                                 FrmAbout::Services{.messages = c_.messages,
                                                    .desktop = c_.desktop,
                                                    .registry = registry_,
                                                    .files = files_,
                                                    .processes = processes_});
  window->SetLogic(logic.get());
  window_ = std::move(window);
  logic_ = std::move(logic);
  window_->Load();  // Form_Load, before the window is first shown
  return *window_;
}

void AboutWindow::OnClose() {
  // The logic always keeps the window (the close box acts as OK), so it is
  // never destroyed before the program ends.
  logic_->Form_QueryUnload();
}

}  // namespace torvane::win32
