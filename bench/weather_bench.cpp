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

#include "core/service.h"
#include "import/default_data.h"

namespace {

class BenchData {
 public:
  BenchData() {
    if (const char* given = std::getenv("TORVANE_BENCH_DATA")) {
      folder_ = given;
      return;
    }
    folder_ = (std::filesystem::temp_directory_path() /
               ("torvane-weather-bench-" + std::to_string(::getpid())))
                  .string();
    owned_ = true;
    const auto built = torvane::import::BuildDefaultDataFolder(
        folder_, {"/usr/share/hamradio-files/cty.csv", "/usr/share/libgweather-4/Locations.xml"},
        false);
    if (!built) std::cerr << "cannot build the default data: " << built.error().description << '\n';
  }
  ~BenchData() {
    std::error_code error;
    if (owned_) std::filesystem::remove_all(folder_, error);
  }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  bool owned_ = false;
};

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
