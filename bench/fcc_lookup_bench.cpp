// Speed of a full lookup of a new US call from the local FCC licence database: the call
// check, the licence search, the mapping of the record with its ZIP position, and the
// distances. Needs a data folder with the prefix database and an imported FCC database:
//
//   python3 bench/make_uls_weekly.py /tmp/uls
//   torvane db build-default /tmp/fccbench
//   torvane import fcc /tmp/uls --data-folder /tmp/fccbench
//   TORVANE_BENCH_DATA=/tmp/fccbench fcc_lookup_bench
//
// The plain call check with no callbook source runs beside it as the baseline.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/db/data_folder.h"
#include "core/db/sqlite.h"
#include "core/files.h"
#include "torvane/torvane_control.h"

namespace {

const char* DataFolder() { return std::getenv("TORVANE_BENCH_DATA"); }

// Calls of the licence database, spread over the whole table.
std::vector<std::string> LicensedCalls(const std::string& folder) {
  std::vector<std::string> calls;
  const std::string path = torvane::files::ResolvePath(
      torvane::files::Join(folder, std::string(torvane::db::kFccDatabase)));
  auto connection = torvane::db::Connection::Open(path, torvane::db::Connection::Mode::kReadWrite);
  if (!connection) return calls;
  auto statement = connection->Prepare(
      "SELECT DISTINCT CallSign FROM Amateur WHERE rowid % 13 = 0 LIMIT 200000");
  if (!statement) return calls;
  while (true) {
    auto stepped = statement->Step();
    if (!stepped.ok() || !*stepped) break;
    calls.push_back(statement->ColumnText(0));
  }
  return calls;
}

void RunLookups(benchmark::State& state, const char* source) {
  const char* folder = DataFolder();
  if (folder == nullptr) {
    state.SkipWithError("set TORVANE_BENCH_DATA to a data folder with an FCC database");
    return;
  }
  const std::vector<std::string> calls = LicensedCalls(folder);
  if (calls.empty()) {
    state.SkipWithError("the data folder has no FCC licences");
    return;
  }
  torvane::Options options;
  options.data_folder = folder;
  torvane::TorvaneControl control(options);
  control.SetCDSource(source);
  control.SetHomeLatitude(torvane::Variant(41.71));
  control.SetHomeLongitude(torvane::Variant(-72.73));
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(control.GetFirstName(calls[next]));
    next = (next + 1) % calls.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_FullLookupFromTheFccDatabase(benchmark::State& state) { RunLookups(state, "FCC"); }
void BM_FullLookupWithoutCallbook(benchmark::State& state) { RunLookups(state, "none"); }

BENCHMARK(BM_FullLookupFromTheFccDatabase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullLookupWithoutCallbook)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
