// libgweather's Locations.xml, or whatever file is given in its place.
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "import/weather_stations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  torvane::import::ParseLocationsXml(torvane::fuzz::AsText(data, size), "fuzz");
  return 0;
}
