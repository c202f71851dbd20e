#pragma once

// Whole programs from their start: the time to a visible, idle main window and
// the working set once idle with an empty box, for torvane.exe, its three
// floors and notepad.exe, and the shipped 32-bit torvane.exe where it runs,
// started in turn.
#include <optional>

#include "measure.h"

namespace torvane::e2e::bench {

struct Programs {
  Program torvane, same, bare, themed, notepad;
  std::optional<Program> shipped;
};

// Starts each program once, untimed (it brings the files into the cache for
// all alike), and says which comctl32.dll each has loaded once idle. Throws
// when a floor is not what it stands for: the same-window floor must show
// torvane.exe's window as torvane.exe shows it.
void PrintFirstStarts(const Programs& programs);

// Starts each program `runs` times, in turn, and prints the rows.
void PrintStartAndIdleRows(const Programs& programs, int runs);

}  // namespace torvane::e2e::bench
