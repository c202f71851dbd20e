#pragma once

#include <string>
#include <string_view>

#include "platform/file_dialog.h"

namespace torvane::dialog {

// "Text|*.txt|All|*.*|" -> u"Text\0*.txt\0All\0*.*\0\0", the filter form of the
// Win32 file dialogs. The trailing bar is optional; a description left without
// a pattern is dropped, since the dialog reads the list in pairs, and so is a
// pair with an empty half, which the dialog would read as the list's end. A
// field ends at a NUL.
std::u16string WinFilter(std::string_view filter);

// The common dialog's property logic over the platform's file dialog.
class CommonDialogControl final : public platform::CommonDialog {
 public:
  explicit CommonDialogControl(platform::FilePicker& picker) : picker_(picker) {}

  void SetDialogTitle(std::string_view title) override { title_ = title; }
  void SetFilter(std::string_view filter) override { filter_ = filter; }
  void SetFilename(const platform::Path& file) override { filename_ = file; }
  void SetFlags(std::int32_t flags) override { flags_ = flags; }
  void SetFilterIndex(std::int16_t index) override { filterIndex_ = index; }
  void SetAction(std::int16_t action) override;

  platform::Path Filename() const override { return filename_; }
  platform::Path FileTitle() const override { return fileTitle_; }

 private:
  platform::FilePicker& picker_;
  std::string title_;
  std::string filter_;
  platform::Path filename_;
  std::int32_t flags_ = 0;
  std::int16_t filterIndex_ = 0;
  platform::Path fileTitle_;
};

}  // namespace torvane::dialog
