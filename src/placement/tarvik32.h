#pragma once

#include "platform/desktop.h"
#include "platform/form.h"

namespace torvane {

// Puts the window in the topmost band without moving or resizing it. Every
// handler calls it first, so the window re-asserts its place on each action.
void MakeTopmost(const platform::Form& form, platform::Desktop& desktop);

// Centres the whole outer window on the screen, in single-precision twips. A
// window larger than the screen gets a negative left or top.
void CenterForm(platform::Form& form, const platform::Desktop& desktop);

}  // namespace torvane
