// Nearest-station search speed: FindWeatherStation over the default Weather table (every
// station of libgweather's Locations.xml), from positions spread over the globe, each new to
// the search. Most of them lie far from any station, so the 10-mile rule rarely cuts the scan
// short: the figure is close to a full scan per call.
//
//   weather_bench                          builds the default data in a temporary folder
//   TORVANE_BENCH_DATA=DIR weather_bench   uses an existing data folder

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "service/service.h"
#include "bench_data.h"

namespace {

using torvane::bench::BenchData;

torvane::Service& TheService() {
  static BenchData data;
  static torvane::Service service(
      [] {
        torvane::Options options;
        options.data_folder = data.folder();
        return options;
      }(),
      nullptr, nullptr);
  return service;
}

// A grid over the inhabited latitudes, as texts, the way the record holds positions.
std::vector<std::pair<torvane::Variant, torvane::Variant>> Positions() {
  std::vector<std::pair<torvane::Variant, torvane::Variant>> positions;
  for (int latitude = -55; latitude <= 70; latitude += 5) {
    for (int longitude = -177; longitude < 180; longitude += 7) {
      positions.emplace_back(torvane::Variant(std::to_string(latitude) + ".25"),
                             torvane::Variant(std::to_string(longitude) + ".5"));
    }
  }
  return positions;
}

void BM_FindWeatherStation(benchmark::State& state) {
  torvane::Service& service = TheService();
  static const auto positions = Positions();
  std::size_t next = 0;
  for (auto _ : state) {
    const auto& [latitude, longitude] = positions[next];
    benchmark::DoNotOptimize(service.weather().FindWeatherStation(latitude, longitude));
    if (++next == positions.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindWeatherStation)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
