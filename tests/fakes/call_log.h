#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvane::fakes {

// One log shared by every fake of a test, so a test can check the order of
// effects across objects (e.g. that MakeTopmost came before anything else).
// Entries are "<object>.<method>", e.g. "Text1.ReplaceAllUndoable".
class CallLog {
 public:
  void Add(std::string entry) { entries_.push_back(std::move(entry)); }
  const std::vector<std::string>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  void Clear() { entries_.clear(); }

  std::optional<std::size_t> IndexOf(std::string_view entry) const {
    const auto it = std::find(entries_.begin(), entries_.end(), entry);
    if (it == entries_.end()) return std::nullopt;
    return static_cast<std::size_t>(it - entries_.begin());
  }
  bool Contains(std::string_view entry) const { return IndexOf(entry).has_value(); }
  std::size_t Count(std::string_view entry) const {
    return static_cast<std::size_t>(std::count(entries_.begin(), entries_.end(), entry));
  }

 private:
  std::vector<std::string> entries_;
};

// Base of every fake: a name for its log entries and the log they go to.
class Logged {
 public:
  Logged(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

 protected:
  void Note(std::string_view method) const { log_.Add(name_ + "." + std::string(method)); }

 private:
  CallLog& log_;
  std::string name_;
};

}  // namespace torvane::fakes
