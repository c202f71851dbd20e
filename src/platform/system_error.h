#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace torvane::platform {

// A request to the system that failed. what() is a sentence for the user
// (UTF-8); code() and call() say which call failed and how, for a report. A
// failure found before any call (a folder where a file was wanted) has code 0
// and no call.
class SystemError : public std::runtime_error {
 public:
  explicit SystemError(const std::string& sentence, std::uint32_t code = 0, std::string call = {})
      : std::runtime_error(sentence), code_(code), call_(std::move(call)) {}
  std::uint32_t code() const noexcept { return code_; }
  const std::string& call() const noexcept { return call_; }

 private:
  std::uint32_t code_;
  std::string call_;
};

}  // namespace torvane::platform
