#include "core/settings.h"

#include <array>
#include <cmath>
#include <utility>

#include "core/text.h"

namespace torvane {

SourceCode Settings::SourceFromText(const std::string& source) {
  static const std::array<std::pair<std::string_view, SourceCode>, 8> kSources = {{
      {"RAC CDROM", SourceCode::kRacCdrom},
      {"HAMCALL CDROM", SourceCode::kHamcallCdrom},
      {"QRZ CDROM", SourceCode::kQrzCdrom},
      {"QRZ VIA INTERNET", SourceCode::kQrzViaInternet},
      {"FCC VIA INTERNET", SourceCode::kFccViaInternet},
      {"FCC", SourceCode::kFcc},
      {"QRZ SUBSCRIPTION", SourceCode::kQrzSubscription},
      {"NUVEX SUBSCRIPTION", SourceCode::kNuvexSubscription},
  }};
  const std::string upper = text::ToUpper(source);
  for (const auto& [name, code] : kSources) {
    if (upper == name) return code;
  }
  return SourceCode::kNone;
}

std::int16_t Settings::SetSource(const std::string& source, SourceCode& code, std::string& name) {
  code = SourceFromText(source);
  if (code != SourceCode::kNone) return 0;
  name = "None";
  return 1;
}

std::int16_t Settings::SetDrive(const std::string& drive, std::string& target) {
  if (drive.size() == 2 && drive[1] == ':') {
    target = text::ToUpper(drive);
    return 0;
  }
  target.clear();
  return 1;
}

std::int16_t Settings::SetMyCall(const std::string& callsign) {
  MyCall = callsign;
  return callsign.empty() ? 1 : 0;
}

std::int16_t Settings::SetQRZPassword(const std::string& password) {
  QRZPassword = password;
  return 0;
}

std::int16_t Settings::SetHomeLatitude(const Variant& latitude) {
  if (std::fabs(LeadingNumber(latitude.ToText())) <= 90) {
    HomeLatitude = latitude;
    return 0;
  }
  HomeLatitude = Variant(std::int16_t{0});
  return 1;
}

Variant Settings::SetHomeLongitude(const Variant& longitude) {
  if (std::fabs(LeadingNumber(longitude.ToText())) <= 180) {
    HomeLongitude = longitude;
    return Variant(std::int16_t{0});
  }
  HomeLongitude = Variant(std::int16_t{0});
  return Variant(std::int16_t{1});
}

std::int16_t Settings::SetDevel(bool devel) {
  Devel = devel;
  return 1;
}

}  // namespace torvane
