#include "prefix/entity_queries.h"

#include "core/variant_reading.h"
#include "prefix/zone_form.h"

namespace torvane {

std::string EntityQueries::Read(const char* index, std::int16_t key, const char* field,
                                const std::string& missing) {
  db::Table& prefixes = databases_.Data2;
  if (!prefixes.SetIndex(index) || !prefixes.Seek(Variant(key))) return missing;
  std::string value = missing;
  ReadText(prefixes.Field(field), value);
  return value;
}

std::string EntityQueries::GetCountryFromID(std::int16_t ID) {
  if (ID == 0) return {};
  return Read("ID", ID, "country", "");
}

std::string EntityQueries::GetCountryFromDXCC(std::int16_t DXCC) {
  if (DXCC == 0) return {};
  return Read("DXCCA", DXCC, "country", "");
}

std::string EntityQueries::GetContinentFromDXCC(std::int16_t DXCC) {
  if (DXCC == 0) return {};
  return Read("DXCCA", DXCC, "continent", "");
}

std::string EntityQueries::GetCQZoneFromDXCC(std::int16_t DXCC) {
  if (DXCC == 0) return {};
  std::string zone = Read("DXCCA", DXCC, "cq_zone", "");
  return ToZoneForm(zone);
}

std::string EntityQueries::GetITUZoneFromDXCC(std::int16_t DXCC) {
  if (DXCC == 0) return {};
  std::string zone = Read("DXCCA", DXCC, "itu_zone", "");
  return ToZoneForm(zone);
}

std::string EntityQueries::GetDXCCNumberFromID(std::int16_t ID) {
  if (ID == 0) return "0";
  return Read("ID", ID, "DXCC", "0");
}

std::string EntityQueries::GetContinentFromID(std::int16_t ID) {
  if (ID == 0) return {};
  return Read("ID", ID, "continent", "0");
}

}  // namespace torvane
