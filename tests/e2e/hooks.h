#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// A system function replaced, within a test, where the runtime linked into
// this program calls it: its slot in this program's import table, which any
// call from this program goes through; system_<name> stays the system's own.
// The 32-bit names carry the stdcall decoration, the bytes of the arguments.
#if defined(__i386__)
#define TORVANE_SLOT_NAME(name, bytes) "__imp__" #name "@" #bytes
#else
#define TORVANE_SLOT_NAME(name, bytes) "__imp_" #name
#endif
#define TORVANE_IMPORT_SLOT(name, bytes)                                                  \
  extern "C" decltype(&::name) importSlot_##name __asm__(TORVANE_SLOT_NAME(name, bytes)); \
  [[maybe_unused]] const decltype(&::name) system_##name = importSlot_##name

namespace torvane::e2e {

// Puts `with` in the slot for its scope.
template <typename F>
class Hook {
 public:
  Hook(F& slot, F with) : slot_(slot), was_(std::exchange(slot, with)) {}
  ~Hook() { slot_ = was_; }
  Hook(const Hook&) = delete;
  Hook& operator=(const Hook&) = delete;

 private:
  F& slot_;
  const F was_;
};

// A function as GetProcAddress gives it.
template <typename F>
FARPROC AsFound(F* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

// For its scope, the functions a late-loaded library is asked for by name
// (GetProcAddress) are these, where they name one.
class StandIns {
 public:
  explicit StandIns(std::vector<std::pair<const char*, FARPROC>> functions);
  ~StandIns();
  StandIns(const StandIns&) = delete;
  StandIns& operator=(const StandIns&) = delete;
};

// A message box the runtime would show, kept instead as "caption: text" and
// answered OK; put in the MessageBoxW slot with a Hook.
extern std::wstring told;
int WINAPI Tell(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags);

}  // namespace torvane::e2e
