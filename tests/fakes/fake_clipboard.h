#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/call_log.h"
#include "platform/clipboard.h"

namespace torvane::fakes {

// The clipboard as one optional text: nullopt is a clipboard with no text on
// it (empty, or holding only pictures or files). Setting `fail` makes every
// call throw, as a clipboard held by another program does.
class FakeClipboard final : public platform::Clipboard, public Logged {
 public:
  explicit FakeClipboard(CallLog& log, std::string name = "Clipboard")
      : Logged(log, std::move(name)) {}

  std::optional<std::u16string> text;
  std::vector<std::u16string> puts;  // every text put, in order
  bool fail = false;

  void PutText(std::u16string_view t) override {
    Note("PutText");
    if (fail) throw std::runtime_error("the clipboard is in use");
    puts.emplace_back(t);
    text = std::u16string(t);
  }
  std::u16string GetText() override {
    Note("GetText");
    if (fail) throw std::runtime_error("the clipboard is in use");
    return text.value_or(u"");
  }
};

}  // namespace torvane::fakes
