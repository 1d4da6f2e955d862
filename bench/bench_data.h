#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "import/default_data.h"

namespace torvane::bench {

// The data folder a benchmark runs on: TORVANE_BENCH_DATA when set, otherwise the default
// data built from Debian's files in a temporary folder that is removed at the end.
class BenchData {
 public:
  BenchData() {
    if (const char* given = std::getenv("TORVANE_BENCH_DATA")) {
      folder_ = given;
      return;
    }
    folder_ = (std::filesystem::temp_directory_path() /
               ("torvane-bench-" + std::to_string(::getpid())))
                  .string();
    owned_ = true;
    const auto built = import::BuildDefaultDataFolder(
        folder_,
        {"/usr/share/hamradio-files/cty.csv", "/usr/share/libgweather-4/Locations.xml"}, false);
    if (!built) std::cerr << "cannot build the default data: " << built.error().description << '\n';
  }
  ~BenchData() {
    std::error_code error;
    if (owned_) std::filesystem::remove_all(folder_, error);
  }
  BenchData(const BenchData&) = delete;
  BenchData& operator=(const BenchData&) = delete;

  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  bool owned_ = false;
};

}  // namespace torvane::bench
