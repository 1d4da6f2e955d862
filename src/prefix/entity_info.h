#pragma once

#include <cstdint>
#include <string>

namespace torvane {

// One entity row of the prefix database as the lookup keeps it. Texts hold the columns turned
// into text; positions in decimal degrees (north, east positive).
// A field added here must also be copied by CopyAllButOffset (prefix_lookup.cpp).
struct EntityInfo {
  std::string master_prefix;
  std::int16_t DXCC = 0;
  std::string Country;
  std::string Continent;
  std::string Latitude;
  std::string Longitude;
  std::string Time_Offset;  // hours to add to UTC (the column's sign inverted)
  std::string CQ_Zone;
  std::string ITU_Zone;
  std::string Abbreviation;
  std::string Begin_Date;
  std::string End_Date;
  std::int16_t ID = 0;
};

}  // namespace torvane
