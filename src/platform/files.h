#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace torvane::platform {

// A file operation that failed; what() is the reason as a sentence for the
// user (UTF-8), e.g. "Access is denied."
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FileStart {
  std::string bytes;  // one char per byte, as stored
  bool more = false;  // the file goes on past these bytes
};

// Whole files by wide path. Both operations throw FileError.
class Files {
 public:
  virtual ~Files() = default;
  // The file's first bytes, at most maxBytes of them.
  virtual FileStart ReadStart(const std::filesystem::path& file, std::size_t maxBytes) = 0;
  // Makes the file hold exactly these bytes. All or nothing: on failure an
  // existing file is left as it was and nothing else is left behind.
  virtual void Replace(const std::filesystem::path& file, std::string_view bytes) = 0;
};

}  // namespace torvane::platform
