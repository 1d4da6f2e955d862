#include "lookup/qth_from_parts.h"

#include "lookup/address_rules.h"

namespace torvane {

std::string QthFromParts(const CallbookRecord& record) {
  using address::ProperCase;
  std::string qth = ProperCase(record.Street);
  if (!record.City.empty()) qth += ", ";
  qth += ProperCase(record.City);
  if (!record.State.empty()) qth += ", ";
  qth += record.State + " " + record.PostalCode;
  return address::CleanAddress(qth);
}

}  // namespace torvane
