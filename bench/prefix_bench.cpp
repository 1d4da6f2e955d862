// Prefix resolution speed: every callsign of MASTER.SCP through GetQuickDXCCNumber, each call
// new to the service (the list has no repeats in a row). Reports calls per second.
//
//   prefix_bench                      builds the default data in a temporary folder
//   TORVANE_BENCH_DATA=DIR prefix_bench   uses an existing data folder
//   TORVANE_BENCH_ITERATIONS=N        a fixed count, for valgrind --tool=callgrind

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "torvane/torvane_control.h"

namespace {

std::vector<std::string> MasterCalls() {
  std::vector<std::string> calls;
  std::ifstream in("/usr/share/hamradio-files/MASTER.SCP");
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    calls.push_back(line);
  }
  return calls;
}

using torvane::bench::BenchData;

torvane::TorvaneControl& Control() {
  static BenchData data;
  static torvane::TorvaneControl control([] {
    torvane::Options options;
    options.data_folder = data.folder();
    return options;
  }());
  return control;
}

void BM_QuickDXCCNumber(benchmark::State& state) {
  torvane::TorvaneControl& control = Control();
  static const std::vector<std::string> calls = MasterCalls();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(control.GetQuickDXCCNumber(calls[next]));
    if (++next == calls.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
  auto* quick = benchmark::RegisterBenchmark("BM_QuickDXCCNumber", BM_QuickDXCCNumber);
  if (const char* iterations = std::getenv("TORVANE_BENCH_ITERATIONS")) {
    quick->Iterations(std::atoll(iterations));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
