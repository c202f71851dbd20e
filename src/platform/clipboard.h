#pragma once

#include <string>
#include <string_view>

namespace torvane::platform {

// The system clipboard, as Unicode text: the box's characters go on and come
// off it as they stand, so nothing is lost on the way.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's contents with the text. The text is marked to be
  // kept out of clipboard history and the cloud clipboard: it may be a secret.
  // Throws when the clipboard cannot be written.
  virtual void PutText(std::u16string_view text) = 0;
  // The clipboard's text; empty when it holds none. Throws when the clipboard
  // cannot be read.
  virtual std::u16string GetText() = 0;
};

}  // namespace torvane::platform
