#pragma once

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "fakes/call_log.h"
#include "platform/files.h"

namespace torvane::fakes {

// Files as a map from path to contents. A test makes an operation fail by
// giving the path a reason in readFailures or writeFailures; a failed write
// leaves the map as it was, as the real one leaves the disk.
class FakeFiles final : public platform::Files, public Logged {
 public:
  explicit FakeFiles(CallLog& log, std::string name = "Files") : Logged(log, std::move(name)) {}

  std::map<std::filesystem::path, std::string> files;
  std::map<std::filesystem::path, std::string> readFailures;
  std::map<std::filesystem::path, std::string> writeFailures;
  std::size_t lastMaxBytes = 0;

  platform::FirstBytes ReadFirstBytes(const std::filesystem::path& file,
                                      std::size_t maxBytes) override {
    Note("ReadFirstBytes");
    lastMaxBytes = maxBytes;
    if (auto f = readFailures.find(file); f != readFailures.end()) {
      throw platform::FileError(f->second);
    }
    const auto it = files.find(file);
    if (it == files.end()) throw platform::FileError("The file does not exist.");
    const std::string& all = it->second;
    return {all.substr(0, std::min(all.size(), maxBytes)), all.size() > maxBytes};
  }

  void Replace(const std::filesystem::path& file, std::string_view bytes) override {
    Note("Replace");
    if (auto f = writeFailures.find(file); f != writeFailures.end()) {
      throw platform::FileError(f->second);
    }
    files[file] = std::string(bytes);
  }
};

}  // namespace torvane::fakes
