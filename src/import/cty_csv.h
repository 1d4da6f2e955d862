#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

// Reader for AD1C's Big CTY file, cty.csv: one entity per line, ten comma-separated fields
// (primary prefix, country, DXCC number, continent, CQ zone, ITU zone, latitude, longitude,
// time offset, aliases), the aliases separated by blanks and ended by ";".
namespace torvane::import {

// One alias of an entity: a prefix, or with "=" a whole callsign that only an exact match may
// take, with the values it overrides for that key alone.
struct CtyAlias {
  std::string key;  // upper case, without "=" and markers
  bool exact = false;
  std::optional<int> cq_zone;               // (n)
  std::optional<int> itu_zone;              // [n]
  std::optional<double> latitude_deg;       // <lat/lon>, north positive
  std::optional<double> longitude_deg;      // <lat/lon>, east positive (cty writes west positive)
  std::optional<std::string> continent;     // {cc}
  std::optional<double> time_offset_hours;  // ~n~, hours west of UTC as cty writes them

  bool HasOverrides() const {
    return cq_zone || itu_zone || latitude_deg || longitude_deg || continent || time_offset_hours;
  }
};

struct CtyEntity {
  int line = 0;                // line of the file, from 1
  std::string primary_prefix;  // as written, e.g. "FO/m" or "*IT9"
  std::string country;
  int dxcc = 0;
  std::string continent;
  int cq_zone = 0;
  int itu_zone = 0;
  double latitude_deg = 0;       // north positive
  double longitude_deg = 0;      // east positive (cty writes west positive)
  double time_offset_hours = 0;  // hours west of UTC, the sign cty uses
  std::vector<CtyAlias> aliases;

  // A "*" entity counts only on the WAE list and shares its parent's DXCC number.
  bool WaeOnly() const { return !primary_prefix.empty() && primary_prefix.front() == '*'; }
  // The primary prefix without "*", in upper case.
  std::string MasterPrefix() const;
};

// Parses one alias token such as "=N2NL/MM(7)" or "AA0(4)[7]"; false with `error` set when it
// is malformed.
bool ParseCtyAlias(std::string_view token, CtyAlias& alias, std::string& error);

// Parses a whole file. Blank lines are skipped. The first malformed line ends the parse with an
// Error naming `source` and the line number.
Result<std::vector<CtyEntity>> ParseCtyCsv(std::string_view text, std::string_view source);

// Reads and parses the file at `path`.
Result<std::vector<CtyEntity>> ReadCtyCsv(const std::string& path);

}  // namespace torvane::import
