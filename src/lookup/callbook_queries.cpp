#include "lookup/callbook_queries.h"

#include "core/activity_log.h"
#include "prefix/zone_form.h"

namespace torvane {

using record_getters::kNotFound;

std::string CallbookQueries::Get(const RecordGetter& getter, const std::string& callsign) {
  if (!Check(callsign)) return std::string(getter.failure);
  return callbook_.record.*getter.field;
}

std::string CallbookQueries::GetState(const std::string& callsign) {
  if (settings_.Devel) ActivityLog::Write("Getting state for " + callsign);
  cache_.StateTrace = true;
  const bool checked = Check(callsign);
  cache_.StateTrace = false;
  return checked ? callbook_.record.State : std::string(kNotFound);
}

std::string CallbookQueries::GetDataStatus(const std::string& callsign) {
  std::string& status = callbook_.record.DataStatus;
  if (status.empty()) status = "OK";
  ActivityLog::Write("GetDataStatus call: " + callsign);
  Check(callsign);
  return callbook_.record.DataStatus;
}

std::string CallbookQueries::GetCallsign(const std::string& callsign) {
  return Check(callsign) ? cache_.BaseCall() : std::string();
}

std::int16_t CallbookQueries::GetDXCCNumber(const std::string& callsign) {
  return Check(callsign) ? callbook_.record.DXCCNumber : std::int16_t{0};
}

std::string CallbookQueries::GetPrefixCountry(const std::string& callsign) {
  return Check(callsign) ? prefixes_.PrefixEntity().Country : std::string(kNotFound);
}

std::string CallbookQueries::GetPrefixDXCC(const std::string& callsign) {
  return Check(callsign) ? prefixes_.PrefixEntity().Country : std::string();
}

std::int16_t CallbookQueries::GetPrefixDXCCNumber(const std::string& callsign) {
  return Check(callsign) ? prefixes_.PrefixEntity().DXCC : std::int16_t{0};
}

std::string CallbookQueries::GetCountryAbbreviation(const std::string& callsign) {
  return Check(callsign) ? prefixes_.CallEntity().Abbreviation : std::string();
}

std::string CallbookQueries::GetPrefixCountryAbbreviation(const std::string& callsign) {
  return Check(callsign) ? prefixes_.PrefixEntity().Abbreviation : std::string();
}

std::string CallbookQueries::GetPrefixContinent(const std::string& callsign) {
  return Check(callsign) ? prefixes_.PrefixEntity().Continent : std::string(kNotFound);
}

std::string CallbookQueries::GetPrefixCQZone(const std::string& callsign) {
  return Check(callsign) ? PrefixZoneInForm(prefixes_, &EntityInfo::CQ_Zone) : std::string(kNotFound);
}

std::string CallbookQueries::GetPrefixITUZone(const std::string& callsign) {
  return Check(callsign) ? PrefixZoneInForm(prefixes_, &EntityInfo::ITU_Zone) : std::string(kNotFound);
}

std::string CallbookQueries::GetBiography(const std::string& callsign) {
  cache_.LastCall = "xyzzy";  // no callsign: the check runs a full lookup
  if (check_.CheckCall(callsign, false) != 0) return {};
  return callbook_.record.Biography;
}

std::string CallbookQueries::GetPhoto(const std::string& callsign) {
  if (check_.CheckCall(callsign, false) != 0) return {};
  return callbook_.record.Photo;
}

Variant CallbookQueries::ClearQuickCheckCall() {
  cache_.ClearQuickCheckCall();
  return Variant();
}

}  // namespace torvane
