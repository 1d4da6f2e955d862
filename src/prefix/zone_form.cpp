#include "prefix/zone_form.h"

#include "core/text.h"

namespace torvane {

void AssignZoneForm(std::string_view zone, std::string& target) {
  const std::string_view trimmed = zone.size() == 2 && zone[0] != ' ' && zone[1] != ' '
                                       ? zone  // the usual form, without a trim
                                       : text::Trim(zone);
  target.clear();
  if (trimmed.size() == 1) target.push_back('0');
  target.append(trimmed);
}

std::string ZoneForm(std::string_view zone) {
  std::string form;
  AssignZoneForm(zone, form);
  return form;
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
