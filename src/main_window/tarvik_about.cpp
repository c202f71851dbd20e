#include "main_window/tarvik.h"

namespace torvane {

// The two windows take turns on the screen: About is shown, main is hidden.
void Tarvik::about_Click() {
  c_.form.Hide();
  platform::Form* about = nullptr;
  try {
    about = &s_.about.Load();  // created and loaded on first use only
  } catch (...) {
    c_.form.Show();  // never leave the program running with no window on screen
    throw;
  }
  about->Show();  // modeless: returns at once
}

}  // namespace torvane
