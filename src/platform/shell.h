#pragma once

#include <cstdint>

#include "platform/path.h"
#include "platform/form.h"

namespace torvane::platform {

// Show commands of the shell.
inline constexpr int kSwShowNormal = 1;

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a document with the program associated with its type (the type's
  // default action, no parameters), owned by `owner`. Returns the shell's
  // result: greater than 32 when the document was handed to a program.
  virtual std::intptr_t OpenDocument(WindowHandle owner, const Path& document,
                                     const Path& directory, int show) = 0;
};

}  // namespace torvane::platform
