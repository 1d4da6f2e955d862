// Prefix resolution speed: every callsign of MASTER.SCP, each call new to the service (the list
// has no repeats in a row). Reports calls per second for
//   BM_QuickDXCCNumber          the quick check through the in-memory index (GetQuickDXCCNumber)
//   BM_QuickDXCCNumberTables    the same lookup seeking the SQLite tables, the baseline
//   BM_QuickPrefixAnswers       the six answers of torvane resolve in one call
//                               (GetQuickPrefixAnswers)
//   BM_QuickPrefixAnswersAtOnce/T  the same answers for the whole list in one call, on T threads
//                               over the service's one index
//   BM_QuickPrefixBatch/T       the same with each entity's fields once (GetQuickPrefixBatch),
//                               as torvane resolve asks for them
//   BM_IndexBuild               reading the prefix tables into the index, as a service does at
//                               open, on a thread and a connection of its own
//   BM_FullCheck                the full check with no callbook source: call check, record,
//                               prefix merge, distance and heading from home (GetDXDistance,
//                               then GetDXBearing of the same call)
//
//   prefix_bench                      builds the default data in a temporary folder
//   TORVANE_BENCH_DATA=DIR prefix_bench   uses an existing data folder
//   TORVANE_BENCH_ITERATIONS=N        a fixed count, for valgrind --tool=callgrind

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "core/db/data_folder.h"
#include "core/db/database_set.h"
#include "lookup/call_cache.h"
#include "prefix/prefix_lookup.h"
#include "prefix/prefix_reader.h"
#include "prefix/quick_queries.h"
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

BenchData& Data() {
  static BenchData data;
  return data;
}

torvane::TorvaneControl& Control() {
  static torvane::TorvaneControl control([] {
    torvane::Options options;
    options.data_folder = Data().folder();
    return options;
  }());
  return control;
}

const std::vector<std::string>& Calls() {
  static const std::vector<std::string> calls = MasterCalls();
  return calls;
}

torvane::db::DatabaseSet& PrefixDatabases() {
  using namespace torvane;
  static db::DatabaseSet databases;
  static const bool opened =
      databases
          .OpenAtStartup({Data().folder() + "/" + std::string(db::kPrefixDatabase), "",
                          Data().folder() + "/" + std::string(db::kLotwUsersDatabase)})
          .ok();
  if (!opened) std::cerr << "prefix_bench: cannot open the data\n";
  return databases;
}

void BM_QuickDXCCNumber(benchmark::State& state) {
  torvane::TorvaneControl& control = Control();
  const std::vector<std::string>& calls = Calls();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(control.GetQuickDXCCNumber(calls[next]));
    if (++next == calls.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

// The quick getter over the prefix tables themselves, as the lookup read them before the index.
void BM_QuickDXCCNumberTables(benchmark::State& state) {
  using namespace torvane;
  db::DatabaseSet& databases = PrefixDatabases();
  static WebState web;
  static EventDispatcher events(nullptr);
  static PrefixReader reader(databases, PrefixReader::Path::kTables);
  static PrefixLookup lookup(reader, web, events);
  static CallCache cache(lookup, web, events);
  static QuickQueries quick(cache, lookup);
  const std::vector<std::string>& calls = Calls();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(quick.GetQuickDXCCNumber(calls[next]));
    if (++next == calls.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_QuickPrefixAnswers(benchmark::State& state) {
  torvane::TorvaneControl& control = Control();
  const std::vector<std::string>& calls = Calls();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(control.GetQuickPrefixAnswers(calls[next]));
    if (++next == calls.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_QuickPrefixAnswersAtOnce(benchmark::State& state) {
  torvane::TorvaneControl& control = Control();
  const std::vector<std::string>& calls = Calls();
  std::vector<torvane::QuickPrefixAnswers> answers(calls.size());
  const auto threads = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(control.GetQuickPrefixAnswers(calls, answers, threads));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(calls.size()));
}

void BM_QuickPrefixBatch(benchmark::State& state) {
  torvane::TorvaneControl& control = Control();
  const std::vector<std::string>& calls = Calls();
  torvane::QuickPrefixBatch batch;
  const auto threads = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(control.GetQuickPrefixBatch(calls, batch, threads));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(calls.size()));
}

void BM_IndexBuild(benchmark::State& state) {
  torvane::db::DatabaseSet& databases = PrefixDatabases();
  for (auto _ : state) {
    torvane::PrefixReader reader(databases);
    reader.Reload();
    reader.WaitForIndex();
    if (!reader.UsesIndex()) state.SkipWithError("no index was built");
  }
}

void BM_FullCheck(benchmark::State& state) {
  torvane::TorvaneControl& control = Control();
  control.SetHomeLatitude(torvane::Variant(41.71));
  control.SetHomeLongitude(torvane::Variant(-72.73));
  const std::vector<std::string>& calls = Calls();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(control.GetDXDistance(calls[next]));
    benchmark::DoNotOptimize(control.GetDXBearing(calls[next]));
    if (++next == calls.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
  // As the tool does: SQLite's memory statistics take one process-wide lock, which threads
  // reading the tables side by side would queue at.
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  for (auto* registered :
       {benchmark::RegisterBenchmark("BM_QuickDXCCNumber", BM_QuickDXCCNumber),
        benchmark::RegisterBenchmark("BM_QuickDXCCNumberTables", BM_QuickDXCCNumberTables),
        benchmark::RegisterBenchmark("BM_QuickPrefixAnswers", BM_QuickPrefixAnswers),
        benchmark::RegisterBenchmark("BM_QuickPrefixAnswersAtOnce", BM_QuickPrefixAnswersAtOnce)
            ->Arg(1)
            ->Arg(2)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond),
        benchmark::RegisterBenchmark("BM_QuickPrefixBatch", BM_QuickPrefixBatch)
            ->Arg(1)
            ->Arg(2)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond),
        benchmark::RegisterBenchmark("BM_IndexBuild", BM_IndexBuild)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond),
        benchmark::RegisterBenchmark("BM_FullCheck", BM_FullCheck)}) {
    if (const char* iterations = std::getenv("TORVANE_BENCH_ITERATIONS")) {
      registered->Iterations(std::atoll(iterations));
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
