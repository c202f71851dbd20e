#include "start_and_idle.h"

#include <vector>

#include "loaded_comctl.h"
#include "window_view.h"

namespace torvane::e2e::bench {
namespace {

// The same for every program: time for what a start leaves queued (the first
// paints, Wine's own window set-up) to be done before the working set is read.
constexpr DWORD kSettleMs = 300;

struct Start {
  double ms;
  double idleMiB;
};

// From CreateProcess to the main window visible once the program is idle; then,
// after a WM_NULL round trip and the settle, the current working set (not the
// peak: what the program holds while it waits for the user). Also which
// comctl32.dll it has then and what its window shows, when asked.
Start StartOnce(const Program& program, Comctl* comctl = nullptr, WindowView* view = nullptr) {
  const auto t0 = Clock::now();
  Process p(program.exe);
  HWND main = p.WaitWindow(program.windowClass);
  const double ms = MsSince(t0);
  SendSync(main, WM_NULL, 0, 0);
  ::Sleep(kSettleMs);
  const double mib = MiB(MemoryCounters(p.Id()).WorkingSetSize);
  if (comctl) *comctl = LoadedComctl(p.Id());
  if (view) *view = ViewOf(main);
  p.Close(main);
  return {ms, mib};
}

}  // namespace

void PrintFirstStarts(const Programs& programs) {
  Comctl bare, themed, torvane, same, notepad, shipped;
  WindowView torvaneView, sameView;
  StartOnce(programs.bare, &bare);
  StartOnce(programs.themed, &themed);
  StartOnce(programs.torvane, &torvane, &torvaneView);
  StartOnce(programs.same, &same, &sameView);
  StartOnce(programs.notepad, &notepad);
  if (programs.shipped) StartOnce(*programs.shipped, &shipped);
  // Each floor stands for one kind of program: measured otherwise, its rows
  // would compare with something else.
  if (!bare.path.empty()) throw std::runtime_error("bare_floor.exe has loaded comctl32.dll");
  if (!themed.assembly.starts_with("6.")) {
    throw std::runtime_error("themed_floor.exe has no comctl32.dll version 6: " + Describe(themed));
  }
  if (same.path != torvane.path) {
    throw std::runtime_error(programs.same.name + " has another comctl32.dll: " + Describe(same));
  }
  if (std::string d = ResourceDifference(programs.torvane.exe, programs.same.exe);
      !d.empty() ||
      !(d = Difference(torvaneView, programs.torvane.name, sameView, programs.same.name)).empty()) {
    throw std::runtime_error(programs.same.name + " does not show torvane.exe's window: " + d);
  }
  std::printf("comctl32.dll loaded once idle: %s %s; %s %s; %s %s; %s %s; %s %s",
              programs.torvane.name.c_str(), Describe(torvane).c_str(), programs.same.name.c_str(),
              Describe(same).c_str(), programs.bare.name.c_str(), Describe(bare).c_str(),
              programs.themed.name.c_str(), Describe(themed).c_str(), programs.notepad.name.c_str(),
              Describe(notepad).c_str());
  if (programs.shipped) {
    std::printf("; %s %s", programs.shipped->name.c_str(), Describe(shipped).c_str());
  }
  std::printf(".\n\n");
  std::printf(
      "%s shows the same window as %s: the same icons and manifest, the same %zu "
      "facts of the window and its controls, and the same %dx%d pixels, the caret aside.\n\n",
      programs.same.name.c_str(), programs.torvane.name.c_str(), sameView.facts.size(),
      sameView.width, sameView.height);
}

void PrintStartAndIdleRows(const Programs& programs, int runs) {
  enum { kTorvane, kSame, kBare, kThemed, kNotepad, kShipped };
  std::vector<const Program*> all{&programs.torvane, &programs.same, &programs.bare,
                                  &programs.themed, &programs.notepad};
  if (programs.shipped) all.push_back(&*programs.shipped);
  const int count = static_cast<int>(all.size());
  std::vector<std::vector<double>> ms(all.size()), mib(all.size());
  for (int i = 0; i < runs; ++i) {
    // Each round begins one program further on, and every other one goes
    // the other way round: none always comes first, and each meets its
    // neighbours in both orders.
    for (int k = 0; k < count; ++k) {
      const int step = i % 2 ? count - k : k;
      const int which = (i + step) % count;
      const Start s = StartOnce(*all[which]);
      ms[which].push_back(s.ms);
      mib[which].push_back(s.idleMiB);
    }
  }

  const auto row = [&](const std::string& measure, int subject, int baseline,
                       const std::vector<std::vector<double>>& figures, const std::string& unit,
                       const std::string& goal) {
    PrintRow({measure, all[subject]->name, figures[subject], all[baseline]->name, figures[baseline],
              unit, goal});
  };
  const std::string start =
      "Start-up to a visible, idle main window (CreateProcess, WaitForInputIdle, window visible)";
  row(start, kTorvane, kSame, ms, "ms", "<= 1.02");
  row("the same", kTorvane, kNotepad, ms, "ms", "<= 1.2");
  row("(reference) the same", kTorvane, kBare, ms, "ms", "-");
  row("(reference) the same", kSame, kThemed, ms, "ms", "-");
  row("(reference) the same", kThemed, kBare, ms, "ms", "-");
  row("(reference) the same", kNotepad, kBare, ms, "ms", "-");
  if (programs.shipped) {
    row("(reference) the same, the shipped exe", kShipped, kTorvane, ms, "ms", "-");
  }
  const std::string idle =
      "Working set when idle with an empty box (current, after WM_NULL and a " +
      std::to_string(kSettleMs) + " ms settle)";
  row(idle, kTorvane, kSame, mib, "MiB", "<= 1.01");
  row("the same", kTorvane, kThemed, mib, "MiB", "<= 1.05");
  row("the same", kTorvane, kBare, mib, "MiB", "<= 1.2");
  row("(reference) the same", kSame, kThemed, mib, "MiB", "-");
  row("(reference) the same", kThemed, kBare, mib, "MiB", "-");
  row("(reference) the same", kNotepad, kBare, mib, "MiB", "-");
  if (programs.shipped) {
    row("(reference) the same, the shipped exe", kShipped, kTorvane, mib, "MiB", "-");
  }
}

}  // namespace torvane::e2e::bench
