#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dispatch/handler_table.h"
#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/layout.h"
#include "platform/program.h"
#include "platform/shell.h"
#include "platform/desktop.h"
#include "platform/form.h"
#include "platform/messages.h"
#include "platform/text_box.h"
#include "platform/window_logic.h"
#include "platform/window_loader.h"

namespace torvane {

// The main window: its layout table and its handlers.
class Tarvik final : public platform::WindowLogic {
 public:
  static const platform::WindowLayout& Layout();
  // The handler of each button and menu item, by its name in the layout.
  static std::span<const dispatch::Handler<Tarvik>> Handlers();

  struct Controls {
    platform::Form& form;
    platform::TextBox& Text1;  // the plain or cipher text
    platform::TextBox& Text2;  // the password, masked
  };
  struct Services {
    platform::Messages& messages;
    platform::Desktop& desktop;
    platform::WindowLoader& about;      // frmAbout, created on first use
    platform::CommonDialog& CMDialog1;  // the Open and Save As dialogs
    platform::Files& files;
    platform::Clipboard& clipboard;
    platform::Program& program;
    platform::Shell& shell;
  };

  // Where the start-up copy of the help document goes, and what the shell is
  // given as the working folder when Help opens it.
  static constexpr std::u16string_view kHelpCopy = u"c:\\windows\\encrypthelp.doc";
  static constexpr std::u16string_view kHelpDirectory = u"c:\\";

  Tarvik(Controls controls, Services services) : c_(controls), s_(services) {}

  void Form_Load() override;
  void Command(std::string_view name) override;
  // Text1's own copy, cut and paste (its keys, its context menu, messages)
  // take the same ways as the Options menu's, and text put in by any other
  // route follows the same limit.
  bool FromBox(std::string_view box, platform::BoxRequest request,
               std::u16string_view text) override;
  // Files dropped on the window: the first is loaded as Load loads it.
  void Form_OLEDragDrop(const std::vector<platform::Path>& files) override;

  void Command1_Click();  // Encrypt
  void Command2_Click();  // Decrypt
  void about_Click();     // Help > About
  void load_Click();
  void save_Click();
  void mini_Click();
  void exit_Click();
  void cut_Click();
  void copy_Click();
  void paste_Click();
  void clear_Click();
  void help1_Click();

  // The per-user copy of the help document, for a system folder we may not
  // write to; none when the system has no local application-data folder.
  std::optional<platform::Path> PerUserHelpFolder() const;
  std::optional<platform::Path> PerUserHelpCopy() const;

 private:
  enum class Direction { kEncrypt, kDecrypt };
  void Transform(Direction direction);
  void Error(const std::string& text);
  bool PutSelection();
  void Insert(std::u16string_view text, std::string_view how);
  bool ShowDialog(std::int16_t action);
  void LoadFile(const platform::Path& file);
  void CopyHelp() noexcept;
  platform::Path HelpToOpen() const;

  Controls c_;
  Services s_;
};

}  // namespace torvane
