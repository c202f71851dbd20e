#pragma once

#include <windows.h>

#include <memory>

#include "about/frm_about.h"
#include "win32/system/launcher.h"
#include "win32/system/registry.h"
#include "win32/windows/window.h"
#include "platform/window_loader.h"

namespace torvane::win32 {

// frmAbout, built the first time it is asked for and kept (hidden, not
// destroyed) between openings.
class AboutWindow final : public platform::WindowLoader {
 public:
  struct Context {
    HINSTANCE instance;
    HICON bigIcon;    // not owned
    HICON smallIcon;  // not owned
    platform::Form& mainForm;
    platform::Messages& messages;
    platform::Desktop& desktop;
  };

  explicit AboutWindow(Context context) : c_(context) {}
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  platform::Form& Load() override;

 private:
  void OnClose();

  Context c_;
  Win32Registry registry_;
  Win32FileSearch files_;
  Win32ProcessStarter processes_;
  // The window goes after its logic, which refers to it.
  std::unique_ptr<Window> window_;
  std::unique_ptr<FrmAbout> logic_;
};

}  // namespace torvane::win32
