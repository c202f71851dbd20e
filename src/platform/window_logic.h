#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/path.h"

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
