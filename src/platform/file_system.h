#pragma once

#include <optional>

#include "platform/path.h"

namespace torvane::platform {

// The few file operations the program needs beyond reading and writing text.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Copies the file's bytes to `destination`, replacing a file already there.
  // Throws SystemError when the source is missing or the destination
  // cannot be written.
  virtual void Copy(const Path& source, const Path& destination) = 0;
  // True for an existing normal file; false for a folder or nothing.
  virtual bool IsFile(const Path& path) const = 0;
  // Creates the folder unless it exists. Throws SystemError on failure.
  virtual void MakeFolder(const Path& path) = 0;
  // The user's local application-data folder, when the system has one.
  virtual std::optional<Path> LocalAppData() const = 0;
};

}  // namespace torvane::platform
