#pragma once

#include <string>
#include <string_view>

namespace torvane::platform {

// A file or folder as Windows writes it, in UTF-16, given on as it is and
// joined as text. Not std::filesystem::path: its conversions bring the C++
// runtime's locale machinery into the program.
using Path = std::u16string;

// The name without its folder: what follows the last '\', '/' or drive colon.
inline std::u16string_view NameOf(std::u16string_view path) noexcept {
  const auto cut = path.find_last_of(u"\\/:");
  return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace torvane::platform
