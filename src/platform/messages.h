#pragma once

#include <string_view>

namespace torvane::platform {

// Message box button-and-icon values.
inline constexpr int kMbOk = 0;
inline constexpr int kMbCritical = 16;
inline constexpr int kMbInformation = 64;
inline constexpr std::string_view kAppTitle = "Torvane";

// The message box: each Show is one modal box.
class Messages {
 public:
  virtual ~Messages() = default;
  // Modal, owned by the program's window on screen. Texts are UTF-8.
  virtual int Show(std::string_view text, int flags = kMbOk,
                   std::string_view title = kAppTitle) = 0;
};

}  // namespace torvane::platform
