#pragma once

#include <string>

#include "core/result.h"
#include "import/prefix_tables.h"

// A complete data folder built from public reference files.
namespace torvane::import {

struct DefaultDataSources {
  std::string cty_csv;        // AD1C's Big CTY file
  std::string locations_xml;  // libgweather's Locations.xml
};

struct DefaultDataSummary {
  std::string prefix_database;  // the file written
  CtyImportSummary cty;
  int weather_stations = 0;
  int duplicate_station_codes = 0;
};

// Builds the data folder `folder`: the databases `torvane db init` makes, with the prefix
// database filled from the sources. An existing prefix database is replaced only with
// `replace`. Both sources are read before anything is written, and the prefix database is
// built beside its place and renamed into it when complete (a new folder likewise), so a
// failure leaves no half-built folder or database behind.
Result<DefaultDataSummary> BuildDefaultDataFolder(const std::string& folder,
                                                  const DefaultDataSources& sources, bool replace);

}  // namespace torvane::import
