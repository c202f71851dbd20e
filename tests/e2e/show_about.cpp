// Opens the About window and keeps it on screen for the given number of
// seconds (10 by default): scripts/screenshot.sh takes its picture meanwhile.
#include <thread>

#include "harness.h"

int main(int argc, char** argv) {
  torvane::e2e::App app;
  app.Click("about");
  std::this_thread::sleep_for(std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 10));
}
