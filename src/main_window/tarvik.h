#pragma once

#include <string>
#include <string_view>

#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/layout.h"
#include "platform/ui.h"
#include "platform/window_loader.h"

namespace torvane {

// The main window: its layout table and its handlers.
class Tarvik final : public platform::WindowLogic {
 public:
  static const platform::WindowSpec& Layout();

  struct Controls {
    platform::Form& form;
    platform::TextBox& Text1;  // the plain or cipher text
    platform::TextBox& Text2;  // the password, masked
  };
  struct Services {
    platform::MessageBox& messages;
    platform::Desktop& desktop;
    platform::WindowLoader& about;      // frmAbout, created on first use
    platform::CommonDialog& CMDialog1;  // the Open and Save As dialogs
    platform::Files& files;
  };

  Tarvik(Controls controls, Services services) : c_(controls), s_(services) {}

  void Form_Load() override;
  void Command(std::string_view name) override;

  void Command1_Click();  // Encrypt
  void Command2_Click();  // Decrypt
  void about_Click();     // Help > About
  void load_Click();
  void save_Click();

 private:
  enum class Direction { kEncrypt, kDecrypt };
  void Transform(Direction direction);
  void Error(const std::string& text);

  Controls c_;
  Services s_;
};

}  // namespace torvane
