#include "prefix/zone_form.h"

#include "core/text.h"

namespace torvane {

std::string& ToZoneForm(std::string& zone) {
  const std::string_view trimmed = text::Trim(zone);
  if (trimmed.size() != zone.size()) zone = std::string(trimmed);
  if (zone.size() == 1) zone = "0" + zone;
  return zone;
}

std::string PrefixZoneInForm(PrefixLookup& lookup, std::string EntityInfo::*zone) {
  const std::string& stored = lookup.PrefixEntity().*zone;
  if (stored.size() != 1 && text::Trim(stored).size() == stored.size()) return stored;
  return ToZoneForm(lookup.EditPrefixEntity().*zone);
}

}  // namespace torvane
