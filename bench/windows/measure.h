#pragma once

// Measuring a started program: timings with a millisecond poll, medians,
// the working set, and the printed rows of figures.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "harness.h"
#include "text/codepage.h"

namespace torvane::e2e::bench {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Looks every millisecond: the harness's own waits poll at 10-20 ms, too
// coarse to time with.
template <class F>
inline auto WaitFor(F ready, const char* what, std::chrono::milliseconds timeout = 30s) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (auto r = ready()) return r;
    if (Clock::now() > deadline) throw std::runtime_error(std::string("no ") + what + " came");
    ::Sleep(1);
  }
}

inline void SendSync(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, 30000, &r)) {
    throw std::runtime_error("a window did not answer");
  }
}

// A started program; ended hard if it is still running at the end.
class Process {
 public:
  explicit Process(const std::wstring& exe) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi_)) {
      throw std::runtime_error("cannot start a program");
    }
  }
  ~Process() {
    if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(pi_.hProcess, 1);
      ::WaitForSingleObject(pi_.hProcess, 5000);
    }
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Handle() const { return pi_.hProcess; }

  // The visible top-level window of that class, once the program is idle.
  HWND WaitWindow(const wchar_t* className) const {
    ::WaitForInputIdle(pi_.hProcess, 30000);
    return WaitFor(
        [&]() -> HWND {
          HWND h = FindTopLevel(pi_.dwProcessId, className);
          return h && ::IsWindowVisible(h) ? h : nullptr;
        },
        "main window");
  }

  void Close(HWND main) const {
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(pi_.hProcess, 5000);
  }

 private:
  PROCESS_INFORMATION pi_{};
};

// A program the benchmarks start: what the table calls it, its file and the
// class of its main window.
struct Program {
  std::string name;
  std::wstring exe;
  const wchar_t* windowClass;
};

inline PROCESS_MEMORY_COUNTERS MemoryCounters(DWORD pid) {
  HANDLE h = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!h) throw std::runtime_error("cannot open the process");
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  const BOOL ok = ::GetProcessMemoryInfo(h, &pmc, sizeof pmc);
  ::CloseHandle(h);
  if (!ok || pmc.WorkingSetSize == 0 || pmc.PeakWorkingSetSize == 0) {
    throw std::runtime_error("no memory counters");
  }
  return pmc;
}

inline double MiB(SIZE_T bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

inline double PeakWorkingSetMiB(DWORD pid) {
  return MiB(MemoryCounters(pid).PeakWorkingSetSize);
}

struct Row {
  std::string measure;
  std::string subjectName;
  std::vector<double> subject;
  std::string baselineName;
  std::vector<double> baseline;
  std::string unit;
  std::string goal;
};

inline std::string Figure(const std::vector<double>& v, const std::string& unit) {
  char buf[96];
  const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  if (v.size() > 1) {
    std::snprintf(buf, sizeof buf, "%.1f %s (%.1f-%.1f)", Median(v), unit.c_str(), *lo, *hi);
  } else {
    std::snprintf(buf, sizeof buf, "%.1f %s", Median(v), unit.c_str());
  }
  return buf;
}

inline void PrintHeader() {
  std::printf("| Measure | Subject | Baseline, same run | Ratio | Goal |\n|---|---|---|---|---|\n");
}

inline void PrintRow(const Row& r) {
  char ratio[32];
  // Three decimals near 1, where goals of 1.01 and 1.02 are told apart; a
  // ratio of hundreds needs none.
  const double q = Median(r.subject) / Median(r.baseline);
  std::snprintf(ratio, sizeof ratio, q < 2 ? "%.3f" : q < 10 ? "%.2f" : "%.0f", q);
  std::printf("| %s | %s: %s | %s: %s | %s | %s |\n", r.measure.c_str(), r.subjectName.c_str(),
              Figure(r.subject, r.unit).c_str(), r.baselineName.c_str(),
              Figure(r.baseline, r.unit).c_str(), ratio, r.goal.c_str());
  std::fflush(stdout);
}

inline std::string WineVersion() {
  const FARPROC f = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
  if (!f) return "";
  return reinterpret_cast<const char* (*)()>(reinterpret_cast<void*>(f))();
}

class TempFolder {
 public:
  TempFolder() {
    wchar_t tmp[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, tmp);
    path_ = std::filesystem::path(std::wstring(tmp, n)) /
            (L"torvane-bench-" + std::to_wstring(::GetCurrentProcessId()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// What the box shows for bytes, and the bytes it shows: the program's own
// mapping, since the benchmarks time it and do not test it.
inline std::wstring Shown(std::string_view bytes) {
  const std::u16string s = text::BytesToBox(bytes);
  return std::wstring(s.begin(), s.end());
}
inline std::string Bytes(std::wstring_view shown) {
  return text::BoxToBytes(std::u16string(shown.begin(), shown.end())).bytes;
}

}  // namespace torvane::e2e::bench
