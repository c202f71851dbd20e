// EncryptText / DecryptText against memcpy of the same size, in one run, so
// the ratio is what matters, not the machine. The 1 MiB case goes through the
// cipher in chunks of the longest text it takes, as a caller would have to.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "cipher/cipher.h"

namespace {

constexpr std::size_t kOneMiB = std::size_t{1} << 20;

std::string Pattern(std::size_t size, unsigned seed) {
  std::string s(size, '\0');
  unsigned x = seed;
  for (char& c : s) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 16);
  }
  return s;
}

// The destination half a page from the source, modulo the page. Two strings
// of 32766 bytes allocated in turn lie 16 bytes apart modulo 4 KiB, and on
// some processors glibc's memcpy runs twenty times slower for that (14.5
// against 0.7 us on this project's AMD machine): the baseline would measure
// that penalty, not a copy.
char* HalfAPageFrom(const char* src, std::string& room) {
  constexpr std::size_t kPage = 4096;
  const auto apart =
      reinterpret_cast<std::uintptr_t>(room.data()) - reinterpret_cast<std::uintptr_t>(src);
  return room.data() + (kPage / 2 - apart % kPage + kPage) % kPage;
}

void BM_Memcpy(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string src = Pattern(size, 1);
  std::string room(size + 4096, '\0');
  char* const dst = HalfAPageFrom(src.data(), room);
  for (auto _ : state) {
    benchmark::DoNotOptimize(dst);
    std::memcpy(dst, src.data(), size);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(size));
}

template <bool kEncrypt>
void BM_Cipher(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string text = Pattern(size, 2);
  const std::string password = Pattern(static_cast<std::size_t>(state.range(1)), 3);
  for (auto _ : state) {
    for (std::size_t at = 0; at < size; at += torvane::kMaxCipherText) {
      const std::size_t n = std::min(torvane::kMaxCipherText, size - at);
      const std::string_view chunk(text.data() + at, n);
      std::string out =
          kEncrypt ? torvane::EncryptText(chunk, password) : torvane::DecryptText(chunk, password);
      benchmark::DoNotOptimize(out.data());
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(size));
}

void CipherArgs(benchmark::internal::Benchmark* b) {
  for (std::int64_t size : {std::int64_t{torvane::kMaxCipherText}, std::int64_t{kOneMiB}}) {
    for (std::int64_t passwordLength : {1, 7, 64}) b->Args({size, passwordLength});
  }
  b->ArgNames({"bytes", "password"});
}

// Medians of several repetitions: one run of each swings by a third on a
// shared machine.
constexpr int kRepetitions = 7;
BENCHMARK(BM_Memcpy)
    ->Arg(torvane::kMaxCipherText)
    ->Arg(kOneMiB)
    ->ArgName("bytes")
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Cipher<true>)
    ->Name("BM_Encrypt")
    ->Apply(CipherArgs)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Cipher<false>)
    ->Name("BM_Decrypt")
    ->Apply(CipherArgs)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

std::string BytesArg(const std::string& name) {
  const auto at = name.find("bytes:");
  if (at == std::string::npos) return {};
  return name.substr(at, name.find('/', at) - at);
}

// The usual console output, with each time kept for the ratios printed after.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" && !r.error_occurred) {
        times_.emplace_back(r.run_name.str(), r.GetAdjustedRealTime());
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // In name order: the repetitions ran interleaved.
  void PrintRatios() {
    std::sort(times_.begin(), times_.end());
    std::map<std::string, double> memcpy;
    for (const auto& [name, time] : times_) {
      if (name.rfind("BM_Memcpy/", 0) == 0) memcpy[BytesArg(name)] = time;
    }
    std::printf("\nMedian time against memcpy of the same size, in this run:\n");
    for (const auto& [name, time] : times_) {
      const auto base = memcpy.find(BytesArg(name));
      if (name.rfind("BM_Memcpy/", 0) == 0 || base == memcpy.end() || base->second <= 0) continue;
      std::printf("  %-40s %8.1f x memcpy\n", name.c_str(), time / base->second);
    }
  }

 private:
  std::vector<std::pair<std::string, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  // The repetitions of all benchmarks in random order, so that a slow spell
  // of the machine falls on the cipher and on memcpy alike.
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  argc = count;
  argv = args.data();
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
