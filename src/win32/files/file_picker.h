#pragma once

#include <windows.h>

#include "platform/file_dialog.h"

namespace torvane::win32 {

// The Open and Save As dialogs of comdlg32, modal and owned by the program's
// window, so a topmost window never hides them.
class Win32FilePicker final : public platform::FilePicker {
 public:
  explicit Win32FilePicker(HWND owner) : owner_(owner) {}
  std::optional<platform::FilePicked> Pick(const platform::FilePickRequest& request) override;

 private:
  HWND owner_;
};

}  // namespace torvane::win32
