// A fetched weather report: the first line is the label asked for (in the hourly roundup,
// the station's place), the rest is the page, read both as an observation document and as
// an HTML page.
#include <cstdint>
#include <string>

#include "core/text.h"
#include "fuzz/fuzz_input.h"
#include "weather/report_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [label, page] = torvane::fuzz::SplitFirstLine(torvane::fuzz::AsText(data, size));
  const std::string page_lower = torvane::text::ToLower(page);
  torvane::weather::ExtractWeatherValue(page, page_lower, label, true);
  torvane::weather::ExtractWeatherValue(page, page_lower, label, false);
  torvane::weather::ParseRoundup(page_lower, label);
  return 0;
}
