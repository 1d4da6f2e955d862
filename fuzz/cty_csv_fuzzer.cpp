// cty.csv as a user may hand it to `torvane import cty`: parsed, then turned into the prefix
// tables' rows.
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "import/cty_csv.h"
#include "import/prefix_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto entities = torvane::import::ParseCtyCsv(torvane::fuzz::AsText(data, size), "fuzz");
  if (!entities) return 0;
  const auto tables = torvane::import::BuildPrefixTables(*entities);
  if (tables) torvane::import::Summarize(*tables);
  return 0;
}
