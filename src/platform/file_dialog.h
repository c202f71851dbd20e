#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/path.h"

namespace torvane::platform {

// Flags of the common dialog, with the values of the Win32 OFN_ options.
inline constexpr std::int32_t kOfnOverwritePrompt = 2;
inline constexpr std::int32_t kOfnFileMustExist = 4096;

// Action values: setting one shows that dialog.
inline constexpr std::int16_t kActionOpen = 1;
inline constexpr std::int16_t kActionSaveAs = 2;

// The common dialog control, driven only through its properties. Every value
// stays until it is set again (or, for Filename, FileTitle and FilterIndex,
// until a confirmed choice updates it).
class CommonDialog {
 public:
  virtual ~CommonDialog() = default;
  virtual void SetDialogTitle(std::string_view title) = 0;  // UTF-8
  // Pairs of a description and a pattern, each element followed by "|".
  virtual void SetFilter(std::string_view filter) = 0;  // UTF-8
  virtual void SetFilename(const Path& file) = 0;
  virtual void SetFlags(std::int32_t flags) = 0;
  virtual void SetFilterIndex(std::int16_t index) = 0;  // from 1
  // Shows the dialog modally, owned by the program's window; returns when the
  // user has confirmed or cancelled.
  virtual void SetAction(std::int16_t action) = 0;

  virtual Path Filename() const = 0;   // the full path after a choice
  virtual Path FileTitle() const = 0;  // empty after a cancel
};

// What the platform's Open or Save As dialog is asked to show.
struct FilePickRequest {
  enum class Kind { kOpen, kSaveAs };
  Kind kind = Kind::kOpen;
  std::u16string title;
  std::u16string filter;  // the Win32 form: every element NUL-ended, then one more NUL
  Path file;
  std::uint32_t flags = 0;
  int filterIndex = 0;
};

// The user's confirmed choice.
struct FilePicked {
  Path path;            // full path
  Path title;           // the name without its folder
  int filterIndex = 0;  // the filter pair in use when the user confirmed
};

// The platform's modal file dialog itself. Cancel is nullopt; a dialog that
// cannot be shown throws.
class FilePicker {
 public:
  virtual ~FilePicker() = default;
  virtual std::optional<FilePicked> Pick(const FilePickRequest& request) = 0;
};

}  // namespace torvane::platform
