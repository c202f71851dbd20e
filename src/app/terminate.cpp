// What std::terminate does in this program. The C++ runtime's own handler
// writes the exception's type to stderr, which a windowed program does not
// have, and brings a demangler for it: 46 KiB of the exe for a text nobody
// sees. Defined here, the runtime's one is never linked. It can only be
// reached by a fault outside the handlers: each of those stops its
// exceptions where Windows calls the program (win32/base/guard.h).
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
  std::abort();
}

}  // namespace __gnu_cxx
