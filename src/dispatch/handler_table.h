#pragma once

#include <span>
#include <string_view>

// How a window's logic finds the handler of a control or menu item: one table
// of names and member functions per window, searched by this one function.
namespace torvane::dispatch {

template <typename Logic>
struct Handler {
  std::string_view name;  // the control's or menu item's name in the layout
  void (Logic::*click)();
};

// Runs the handler of that name; false when the table has none.
template <typename Logic>
bool RunHandler(Logic& logic, std::span<const Handler<Logic>> handlers, std::string_view name) {
  for (const auto& h : handlers) {
    if (h.name == name) {
      (logic.*h.click)();
      return true;
    }
  }
  return false;
}

}  // namespace torvane::dispatch
