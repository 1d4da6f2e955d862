#include "prefix/zone_form.h"

#include "core/text.h"

namespace torvane {

bool InZoneForm(std::string_view zone) {
  return zone.size() != 1 && (zone.empty() || (zone.front() != ' ' && zone.back() != ' '));
}

void AssignZoneForm(std::string_view zone, std::string& target) {
  const std::string_view trimmed = text::Trim(zone);
  target.clear();
  if (trimmed.size() == 1) target.push_back('0');
  target.append(trimmed);
}

std::string& ToZoneForm(std::string& zone) {
  if (InZoneForm(zone)) return zone;
  std::string form;
  AssignZoneForm(zone, form);
  zone = std::move(form);
  return zone;
}

std::string PrefixZoneInForm(PrefixLookup& lookup, std::string EntityInfo::*zone) {
  const std::string& stored = lookup.PrefixEntity().*zone;
  if (InZoneForm(stored)) return stored;
  return ToZoneForm(lookup.EditPrefixEntity().*zone);
}

}  // namespace torvane
