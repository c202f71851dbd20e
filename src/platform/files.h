#pragma once

#include <cstddef>
#include <optional>
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

// Files and folders by wide path.
class Files {
 public:
  virtual ~Files() = default;
  // The file's first bytes, at most maxBytes of them. Throws FileError.
  virtual FirstBytes ReadFirstBytes(const Path& file, std::size_t maxBytes) = 0;
  // Makes the file hold exactly these bytes. All or nothing: on failure an
  // existing file is left as it was and nothing else is left behind. Throws
  // FileError.
  virtual void Replace(const Path& file, std::string_view bytes) = 0;
  // Copies the file's bytes to `destination`, replacing a file already there.
  // Throws SystemError when the source is missing or the destination cannot
  // be written.
  virtual void Copy(const Path& source, const Path& destination) = 0;
  // True when both exist with the same size and last-write time, which a
  // copy keeps: then the one is a copy of the other.
  virtual bool SameFile(const Path& a, const Path& b) const = 0;
  // True for an existing normal file: not a folder, a device, a hidden or a
  // system file.
  virtual bool IsFile(const Path& path) const = 0;
  // Creates the folder unless it exists. Throws SystemError on failure.
  virtual void MakeFolder(const Path& path) = 0;
  // The user's local application-data folder, when the system has one.
  virtual std::optional<Path> LocalAppData() const = 0;
};

}  // namespace torvane::platform
