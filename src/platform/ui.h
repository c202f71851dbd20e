#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path.h"
#include "platform/secret.h"

// The thin interfaces the windows' handlers reach the world through. The Win32
// layer implements them; the unit tests implement them as fakes.
namespace torvane::platform {

using WindowHandle = std::uintptr_t;

enum class WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// A top-level window. Positions and sizes are in twips (1/1440 inch), single
// precision; Width and Height are the outer size, frame included.
class Form {
 public:
  virtual ~Form() = default;
  virtual WindowHandle Handle() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual void SetLeft(float twips) = 0;
  virtual void SetTop(float twips) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetState(WindowState state) = 0;
};

// A text box's characters as it shows them (UTF-16). Handlers map them to and
// from bytes through BoxToBytes / BytesToBox.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::u16string Text() const = 0;
  // The text, read into a string that wipes itself: for a password.
  virtual SecretText ReadSecret() const = 0;
  virtual void SetText(std::u16string_view text) = 0;
  virtual std::u16string SelText() const = 0;
  // Replaces the selection (or inserts at the caret) as one edit.
  virtual void SetSelText(std::u16string_view text) = 0;
  // Replaces the whole text as one edit the box's own Undo can take back.
  virtual void ReplaceAllUndoable(std::u16string_view text) = 0;
};

// Message box button-and-icon values.
inline constexpr int kMbOk = 0;
inline constexpr int kMbCritical = 16;
inline constexpr int kMbInformation = 64;
inline constexpr std::string_view kAppTitle = "Torvane";

// The message box: each Show is one modal box.
class Messages {
 public:
  virtual ~Messages() = default;
  // Modal, owned by the program's window on screen. Texts are UTF-8.
  virtual int Show(std::string_view text, int flags = kMbOk,
                   std::string_view title = kAppTitle) = 0;
};

// SetWindowPos, as the placement procedures use it.
inline constexpr WindowHandle kHwndTopmost = static_cast<WindowHandle>(-1);
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;

class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual float ScreenWidthTwips() const = 0;
  virtual float ScreenHeightTwips() const = 0;
  virtual void SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                            int cy, unsigned flags) = 0;
  virtual Path AppFolder() const = 0;
};

}  // namespace torvane::platform

namespace torvane::platform {

// What a text box is asked by its own keys, its context menu or another
// program's message: the clipboard commands, and text put in by any other
// route (EM_REPLACESEL, an input method's result).
enum class BoxRequest { kCopy, kCut, kPaste, kInsert };

// What the runtime calls on a window's handlers: its load event, and a click
// on a control or menu item, by the control's or item's name.
class WindowLogic {
 public:
  virtual ~WindowLogic() = default;
  virtual void Form_Load() = 0;
  virtual void Command(std::string_view name) = 0;
  // A request of a text box (`text`: what kInsert inserts). True: the logic
  // has dealt with it; false: the box does it as it always does.
  virtual bool FromBox(std::string_view /*box*/, BoxRequest /*request*/,
                       std::u16string_view /*text*/) {
    return false;
  }
  // Files dropped on a window whose layout accepts them, in the order given.
  virtual void Form_OLEDragDrop(const std::vector<Path>& /*files*/) {}
};

}  // namespace torvane::platform
