#include "prefix/quick_queries.h"

#include <string_view>

#include "core/text.h"
#include "prefix/zone_form.h"

namespace torvane {

namespace {

std::string OrZero(const std::string& value) { return value.empty() ? "0" : value; }

}  // namespace

std::string QuickQueries::GetQuickCountry(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return prefixes_.CallEntity().Country;
}

std::string QuickQueries::GetQuickPrefixCountry(const std::string& callsign) {
  if (callsign.empty()) return {};
  cache_.QuickCheckCall(callsign);
  return prefixes_.PrefixEntity().Country;
}

std::string QuickQueries::GetQuickContinent(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return prefixes_.CallEntity().Continent;
}

std::string QuickQueries::GetQuickPrefixContinent(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return prefixes_.PrefixEntity().Continent;
}

std::string QuickQueries::GetQuickLatitude(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return OrZero(prefixes_.CallEntity().Latitude);
}

std::string QuickQueries::GetQuickPrefixLatitude(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return OrZero(prefixes_.PrefixEntity().Latitude);
}

std::string QuickQueries::GetQuickLongitude(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return OrZero(prefixes_.CallEntity().Longitude);
}

std::string QuickQueries::GetQuickPrefixLongitude(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return OrZero(prefixes_.PrefixEntity().Longitude);
}

std::string QuickQueries::GetQuickMasterPrefix(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return prefixes_.CallEntity().master_prefix;
}

std::string QuickQueries::GetQuickDXCCNumber(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  std::string number = std::to_string(prefixes_.CallEntity().DXCC);
  // An entity without a number is taken for the United States from then on.
  if (prefixes_.CallEntity().DXCC == 0) prefixes_.EditCallEntity().DXCC = 291;
  return number;
}

std::string QuickQueries::GetQuickPrefixDXCCNumber(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return std::to_string(prefixes_.PrefixEntity().DXCC);
}

std::string QuickQueries::GetQuickPrefixCQZone(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return PrefixZoneInForm(prefixes_, &EntityInfo::CQ_Zone);
}

std::string QuickQueries::GetQuickPrefixITUZone(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return PrefixZoneInForm(prefixes_, &EntityInfo::ITU_Zone);
}

void QuickQueries::GetQuickPrefixAnswers(const std::string& callsign,
                                         QuickPrefixAnswers& answers) {
  cache_.ClearQuickCheckCall();
  const bool matched = cache_.QuickCheckCall(callsign) == 0;
  // The cleared cache holds the empty call, so that the check takes an empty call for a
  // repeat and resolves nothing, leaving the last call's results: it matches no prefix.
  FillAnswers(callsign, matched && !callsign.empty(), answers);
}

void QuickQueries::AnswerWithoutCache(const std::string& callsign, QuickPrefixAnswers& answers) {
  const EntityRow* row = nullptr;
  FillAnswers(callsign, ResolveWithoutCache(callsign, row), answers);
}

bool QuickQueries::ResolveWithoutCache(const std::string& callsign, const EntityRow*& row) {
  row = nullptr;
  if (callsign.empty()) {
    // As the one-call form answers it: no prefix, no WPX prefix.
    prefixes_.WPXPrefix.clear();
    return false;
  }
  // The parse reads a backslash as "/" itself, as the cache's copy of the call has it.
  ParseCall(callsign, cache_.parsed);
  if (prefixes_.LookupPrefix(cache_.parsed.BaseCall, cache_.parsed.PrefixCall)) return false;
  row = prefixes_.PrefixEntityRow();
  return true;
}

void QuickQueries::FillAnswers(const std::string& callsign, bool matched,
                               QuickPrefixAnswers& answers) {
  answers.matched = matched;
  if (callsign.empty()) {
    answers.wpx_prefix.clear();
  } else {
    answers.wpx_prefix = prefixes_.WPXPrefix;
  }
  // From the deciding row itself, not from the records the getters read, which keep the
  // previous call's values where a column has none: these answers depend on the call alone.
  AssignEntityFields(matched ? prefixes_.PrefixEntityRow() : nullptr, answers);
}

std::string QuickQueries::GetRealPrefix(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return cache_.parsed.PrefixCall;
}

Variant QuickQueries::GetPrefixWPX(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return Variant(prefixes_.WPXPrefix);
}

Variant QuickQueries::GetPrefixMasterPrefix(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  return Variant(prefixes_.PrefixEntity().master_prefix);
}

Variant QuickQueries::GetPrefixHoursOffset(const std::string& callsign) {
  if (cache_.QuickCheckCall(callsign) != 0) return Variant(std::int16_t{0});
  return Variant(LeadingNumber(prefixes_.CallEntity().Time_Offset));
}

std::int16_t QuickQueries::GetQuickStatus(const std::string& callsign, const std::string& qsodate) {
  cache_.QuickCheckCall(callsign);
  return prefixes_.EntityIdOnDate(qsodate, cache_.parsed.PrefixCall);
}

std::int16_t QuickQueries::GetIsAmbiguousPrefix(const std::string& callsign) {
  cache_.QuickCheckCall(callsign);
  const std::string& prefix_call = cache_.parsed.PrefixCall;
  if (prefix_call.size() == callsign.size()) return 0;
  const std::string_view p3 = std::string_view(prefix_call).substr(0, 3);
  const std::string_view p2 = std::string_view(prefix_call).substr(0, 2);
  const auto has = [&](std::string_view part) { return text::Contains(callsign, part); };

  std::int16_t code = 0;
  if (p3 == "ZK1" || p3 == "VK0") {
    code = 2;
  } else if (p3 == "3D2") {
    code = (!has("/R") && !has("/C")) ? 3 : 0;
  } else if (p3 == "CE0") {
    code = (has("CE0X") || has("CE0Y") || has("CE0Z") || has("CE0A")) ? 0 : 2;
  } else if (p3 == "HK0") {
    code = (prefix_call.size() == 3 || prefix_call.size() == 4) ? 0 : 2;
  } else if (p3 == "VP8") {
    code = 5;
  }
  if (code != 0) return code;
  if (p2 == "3Y") return 2;
  if (p2 == "FR") return (!has("/T") && !has("/J")) ? 4 : 0;
  if (p2 == "FO") return (!has("/A") && !has("/M")) ? 4 : 0;
  return 0;
}

}  // namespace torvane
