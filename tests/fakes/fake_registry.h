#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fakes/call_log.h"
#include "platform/registry.h"

namespace torvane::fakes {

// Keys and values in memory, with the rules the reader relies on: a value
// that does not fit the caller's buffer is refused with ERROR_MORE_DATA, and
// an account may be set up to read but not write. Every handle it gives out
// is tracked, so a test can see that each one was closed exactly once.
class FakeRegistry final : public platform::Registry, public Logged {
 public:
  explicit FakeRegistry(CallLog& log, std::string name = "Registry")
      : Logged(log, std::move(name)) {}

  struct Value {
    std::uint32_t type;
    std::string bytes;  // as stored
  };

  // Setting up (not logged).
  void Set(std::string_view key, std::string_view value, std::uint32_t type, std::string bytes,
           std::uint32_t root = platform::kHkeyLocalMachine) {
    keys_[{root, std::string(key)}][std::string(value)] = Value{type, std::move(bytes)};
  }
  // A string value as the system stores it: with its terminating zero.
  void SetText(std::string_view key, std::string_view value, std::string_view text) {
    Set(key, value, platform::kRegSz, std::string(text) + '\0');
  }
  void AddKey(std::string_view key, std::uint32_t root = platform::kHkeyLocalMachine) {
    keys_[{root, std::string(key)}];
  }

  bool readOnlyAccount = false;  // an open asking for write rights is refused

  // What happened.
  std::vector<std::string> openedPaths;  // every open asked for, granted or not
  std::vector<std::uint32_t> accessAsked;
  int badHandleUses = 0;  // queries or closes of a handle that is not open

  std::size_t OpenHandles() const { return open_.size(); }

  long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
               platform::RegKey& key) override {
    Note("OpenKey");
    openedPaths.emplace_back(path);
    accessAsked.push_back(access);
    const auto it = keys_.find({root, std::string(path)});
    if (it == keys_.end()) return platform::kErrorFileNotFound;
    if (readOnlyAccount && (access & platform::kKeyWriteRights))
      return platform::kErrorAccessDenied;
    key = nextHandle_++;
    open_.emplace(key, it->first);
    return platform::kErrorSuccess;
  }

  long QueryValue(platform::RegKey key, std::string_view name, std::uint32_t& type, char* data,
                  std::uint32_t& size) override {
    Note("QueryValue");
    const auto handle = open_.find(key);
    if (handle == open_.end()) {
      ++badHandleUses;
      return 6;  // ERROR_INVALID_HANDLE
    }
    const auto& values = keys_.at(handle->second);
    const auto it = values.find(std::string(name));
    if (it == values.end()) return platform::kErrorFileNotFound;
    const std::string& bytes = it->second.bytes;
    type = it->second.type;
    if (bytes.size() > size) {
      size = static_cast<std::uint32_t>(bytes.size());
      return platform::kErrorMoreData;
    }
    std::copy(bytes.begin(), bytes.end(), data);
    size = static_cast<std::uint32_t>(bytes.size());
    return platform::kErrorSuccess;
  }

  void CloseKey(platform::RegKey key) override {
    Note("CloseKey");
    if (open_.erase(key) == 0) ++badHandleUses;
  }

  // %NAME% of these becomes the value; other text stays.
  std::map<std::string, std::string> environment;
  std::string ExpandText(std::string_view text) override {
    Note("ExpandText");
    std::string out(text);
    for (const auto& [name, value] : environment) {
      const std::string token = "%" + name + "%";
      for (std::size_t at = out.find(token); at != std::string::npos;
           at = out.find(token, at + value.size())) {
        out.replace(at, token.size(), value);
      }
    }
    return out;
  }

 private:
  using KeyId = std::pair<std::uint32_t, std::string>;
  std::map<KeyId, std::map<std::string, Value>> keys_;
  std::map<platform::RegKey, KeyId> open_;
  platform::RegKey nextHandle_ = 0x100;
};

}  // namespace torvane::fakes
