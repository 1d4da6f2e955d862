#include "prefix/zone_form.h"

#include "core/text.h"

namespace torvane {

std::string& ToZoneForm(std::string& zone) {
  zone = std::string(text::Trim(zone));
  if (zone.size() == 1) zone = "0" + zone;
  return zone;
}

}  // namespace torvane
