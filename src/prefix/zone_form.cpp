#include "prefix/zone_form.h"

#include "core/text.h"

namespace torvane {

std::string ZoneForm(std::string_view zone) {
  const std::string_view trimmed = text::Trim(zone);
  if (trimmed.size() == 1) return "0" + std::string(trimmed);
  return std::string(trimmed);
}

std::string& ToZoneForm(std::string& zone) {
  if (zone.size() != 1 && text::Trim(zone).size() == zone.size()) return zone;
  zone = ZoneForm(zone);
  return zone;
}

std::string PrefixZoneInForm(PrefixLookup& lookup, std::string EntityInfo::*zone) {
  const std::string& stored = lookup.PrefixEntity().*zone;
  // Most zones are stored as two digits already.
  if (stored.size() == 2 && stored[0] != ' ' && stored[1] != ' ') return stored;
  if (stored.size() != 1 && text::Trim(stored).size() == stored.size()) return stored;
  return ToZoneForm(lookup.EditPrefixEntity().*zone);
}

}  // namespace torvane
