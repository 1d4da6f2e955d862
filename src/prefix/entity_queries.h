#pragma once

#include <cstdint>
#include <string>

#include "core/db/database_set.h"

namespace torvane {

// One field of an entity row read directly by the row's ID or by DXCC number; no call check.
class EntityQueries {
 public:
  explicit EntityQueries(db::DatabaseSet& databases) : databases_(databases) {}

  std::string GetCountryFromID(std::int16_t ID);
  std::string GetCountryFromDXCC(std::int16_t DXCC);
  std::string GetContinentFromDXCC(std::int16_t DXCC);
  std::string GetCQZoneFromDXCC(std::int16_t DXCC);
  std::string GetITUZoneFromDXCC(std::int16_t DXCC);
  std::string GetDXCCNumberFromID(std::int16_t ID);
  std::string GetContinentFromID(std::int16_t ID);

 private:
  // The field of the first row whose `index` key equals `key`, as text; `missing` when there
  // is no such row or the field is Null.
  std::string Read(const char* index, std::int16_t key, const char* field,
                   const std::string& missing);

  db::DatabaseSet& databases_;
};

}  // namespace torvane
