#include "hooks.h"

#include <cstring>
#include <vector>

TORVANE_IMPORT_SLOT(GetProcAddress, 8);

namespace torvane::e2e {
namespace {

std::vector<std::pair<const char*, FARPROC>> standIns;

FARPROC WINAPI Find(HMODULE module, LPCSTR name) {
  for (const auto& [function, standIn] : standIns) {
    if (!IS_INTRESOURCE(name) && std::strcmp(name, function) == 0) return standIn;
  }
  return system_GetProcAddress(module, name);
}

}  // namespace

std::wstring told;
int WINAPI Tell(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
  told = std::wstring(caption) + L": " + text;
  return IDOK;
}

StandIns::StandIns(std::vector<std::pair<const char*, FARPROC>> functions) {
  standIns = std::move(functions);
  importSlot_GetProcAddress = &Find;
}

StandIns::~StandIns() {
  importSlot_GetProcAddress = system_GetProcAddress;
  standIns.clear();
}

}  // namespace torvane::e2e
