#pragma once

#include <string>
#include <string_view>

#include "prefix/entity_info.h"
#include "prefix/prefix_lookup.h"

namespace torvane {

// A zone as the host shows it: blanks trimmed and at least two digits ("5" -> "05").
// The stored zone is rewritten in that form, and the stored text is returned.
std::string& ToZoneForm(std::string& zone);
// True when the zone already has that form.
bool InZoneForm(std::string_view zone);
// The form of a zone written into `target`.
void AssignZoneForm(std::string_view zone, std::string& target);

// ToZoneForm on a zone of the lookup's prefix entity. The entity is written only when the
// zone is not yet in that form, so that an unchanged entity need not be copied again.
std::string PrefixZoneInForm(PrefixLookup& lookup, std::string EntityInfo::*zone);

}  // namespace torvane
