#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/path.h"
#include "platform/system_error.h"

namespace torvane::platform {

// A file operation that failed; what() is the reason as a sentence for the
// user, e.g. "Access is denied."
class FileError : public SystemError {
 public:
  using SystemError::SystemError;
};

struct FirstBytes {
  std::string bytes;  // one char per byte, as stored
  bool more = false;  // the file goes on past these bytes
};

// Whole files by wide path. Both operations throw FileError.
class Files {
 public:
  virtual ~Files() = default;
  // The file's first bytes, at most maxBytes of them.
  virtual FirstBytes ReadFirstBytes(const Path& file, std::size_t maxBytes) = 0;
  // Makes the file hold exactly these bytes. All or nothing: on failure an
  // existing file is left as it was and nothing else is left behind.
  virtual void Replace(const Path& file, std::string_view bytes) = 0;
};

}  // namespace torvane::platform
