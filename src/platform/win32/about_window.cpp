#include "platform/win32/about_window.h"

namespace torvane::win32 {

platform::Form& AboutWindow::Load() {
  if (window_ && window_->hwnd()) return *window_;
  logic_.reset();
  window_.reset();

  auto window = std::make_unique<Window>(
      FrmAbout::Layout(), c_.instance,
      Window::Options{c_.bigIcon, c_.smallIcon, false, [this] { OnClose(); }});
  auto logic = std::make_unique<FrmAbout>(
      FrmAbout::Controls{*window, c_.mainForm},
      FrmAbout::Services{c_.messages, c_.desktop, registry_, files_, processes_});
  window->SetLogic(logic.get());
  window_ = std::move(window);
  logic_ = std::move(logic);
  window_->Load();  // Form_Load, before the window is first shown
  return *window_;
}

void AboutWindow::OnClose() {
  bool cancel = false;
  if (logic_) logic_->Form_QueryUnload(cancel);
  // Destroyed, it is built afresh at the next opening.
  if (!cancel && window_) ::DestroyWindow(window_->hwnd());
}

}  // namespace torvane::win32
