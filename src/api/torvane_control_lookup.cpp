#include <algorithm>

#include "api/guard.h"
#include "lookup/callbook_queries.h"
#include "lookup/call_marks.h"
#include "prefix/quick_answer_batch.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::string TorvaneControl::GetDataStatus(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetDataStatus(callsign);
  });
}

std::string TorvaneControl::GetCallsign(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.callbook_queries().GetCallsign(callsign); });
}

std::string TorvaneControl::GetState(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.callbook_queries().GetState(callsign); });
}

std::int16_t TorvaneControl::GetDXCCNumber(const std::string& callsign) {
  return Guard(service_, std::int16_t{0}, [&](Service& service) {
    return service.callbook_queries().GetDXCCNumber(callsign);
  });
}

std::string TorvaneControl::GetPrefixCountry(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetPrefixCountry(callsign);
  });
}

std::string TorvaneControl::GetPrefixDXCC(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetPrefixDXCC(callsign);
  });
}

std::int16_t TorvaneControl::GetPrefixDXCCNumber(const std::string& callsign) {
  return Guard(service_, std::int16_t{0}, [&](Service& service) {
    return service.callbook_queries().GetPrefixDXCCNumber(callsign);
  });
}

std::string TorvaneControl::GetCountryAbbreviation(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetCountryAbbreviation(callsign);
  });
}

std::string TorvaneControl::GetPrefixCountryAbbreviation(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetPrefixCountryAbbreviation(callsign);
  });
}

std::string TorvaneControl::GetPrefixContinent(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetPrefixContinent(callsign);
  });
}

std::string TorvaneControl::GetPrefixCQZone(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetPrefixCQZone(callsign);
  });
}

std::string TorvaneControl::GetPrefixITUZone(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetPrefixITUZone(callsign);
  });
}

std::string TorvaneControl::GetCountry(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kCountry, callsign);
  });
}

std::string TorvaneControl::GetDXCC(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kDXCC, callsign);
  });
}

std::string TorvaneControl::GetQSLManager(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kQSLManager, callsign);
  });
}

std::string TorvaneControl::GetLicenseClass(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kLicenseClass, callsign);
  });
}

std::string TorvaneControl::GetLicenseType(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kLicenseType, callsign);
  });
}

std::string TorvaneControl::GetFirstName(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kFirstName, callsign);
  });
}

std::string TorvaneControl::GetMiddleName(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kMiddleName, callsign);
  });
}

std::string TorvaneControl::GetLastname(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kLastname, callsign);
  });
}

std::string TorvaneControl::GetNameSuffix(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kNameSuffix, callsign);
  });
}

std::string TorvaneControl::GetStreet(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kStreet, callsign);
  });
}

std::string TorvaneControl::GetReciprocalAddress(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kReciprocalAddress, callsign);
  });
}

std::string TorvaneControl::GetAlienAddress(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kAlienAddress, callsign);
  });
}

std::string TorvaneControl::GetCity(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kCity, callsign);
  });
}

std::string TorvaneControl::GetPostalCode(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kPostalCode, callsign);
  });
}

std::string TorvaneControl::GetBirthDate(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kBirthDate, callsign);
  });
}

std::string TorvaneControl::GetDateFirstIssue(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kDateFirstIssue, callsign);
  });
}

std::string TorvaneControl::GetExpirationDate(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kExpirationDate, callsign);
  });
}

std::string TorvaneControl::GetProcessDate(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kProcessDate, callsign);
  });
}

std::string TorvaneControl::GetLast(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kLast, callsign);
  });
}

std::string TorvaneControl::GetMode(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kMode, callsign);
  });
}

std::string TorvaneControl::GetFrequency(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kFrequency, callsign);
  });
}

std::string TorvaneControl::GetCounty(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kCounty, callsign);
  });
}

std::string TorvaneControl::GetHoursOffset(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kHoursOffset, callsign);
  });
}

std::string TorvaneControl::GetGridSquare(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kGridSquare, callsign);
  });
}

std::string TorvaneControl::GetIOTA(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kIOTA, callsign);
  });
}

std::string TorvaneControl::GetTrustee(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kTrustee, callsign);
  });
}

std::string TorvaneControl::GetAreaCode(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kAreaCode, callsign);
  });
}

std::string TorvaneControl::GetPreviousCall(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kPreviousCall, callsign);
  });
}

std::string TorvaneControl::GetPreviousClass(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kPreviousClass, callsign);
  });
}

std::string TorvaneControl::GetTransactionType(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kTransactionType, callsign);
  });
}

std::string TorvaneControl::GetEmailAddress(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kEmailAddress, callsign);
  });
}

std::string TorvaneControl::GetURL(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kURL, callsign);
  });
}

std::string TorvaneControl::GetVanityFlag(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kVanityFlag, callsign);
  });
}

std::string TorvaneControl::GetFAXNumber(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kFAXNumber, callsign);
  });
}

std::string TorvaneControl::GetComment(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kComment, callsign);
  });
}

std::string TorvaneControl::GetQTH(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kQTH, callsign);
  });
}

std::string TorvaneControl::GetAddress(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kAddress, callsign);
  });
}

std::string TorvaneControl::GetFullName(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kFullName, callsign);
  });
}

std::string TorvaneControl::GetContinent(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().Get(record_getters::kContinent, callsign);
  });
}

Variant TorvaneControl::ClearQuickCheckCall() {
  return Guard(service_, Variant(),
               [](Service& service) { return service.callbook_queries().ClearQuickCheckCall(); });
}

std::int16_t TorvaneControl::QuickCheckCall(const std::string& callsign) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.call_cache().QuickCheckCall(callsign); });
}

QuickPrefixAnswers TorvaneControl::GetQuickPrefixAnswers(const std::string& callsign) {
  QuickPrefixAnswers answers;
  GetQuickPrefixAnswers(callsign, answers);
  return answers;
}

void TorvaneControl::GetQuickPrefixAnswers(const std::string& callsign,
                                           QuickPrefixAnswers& answers) {
  const bool answered = Guard(service_, false, [&](Service& service) {
    service.quick_queries().GetQuickPrefixAnswers(callsign, answers);
    return true;
  });
  // A failure leaves no half-filled answers behind.
  if (!answered) answers = QuickPrefixAnswers{};
}

std::size_t TorvaneControl::GetQuickPrefixAnswers(std::span<const std::string> callsigns,
                                                  std::span<QuickPrefixAnswers> answers,
                                                  unsigned threads) {
  const std::size_t answered = Guard(service_, std::size_t{0}, [&](Service& service) {
    return AnswerQuickPrefixes(service.prefix_reader(), callsigns, answers, threads);
  });
  if (answered == 0) {
    for (QuickPrefixAnswers& emptied : answers.first(std::min(callsigns.size(), answers.size()))) {
      emptied = QuickPrefixAnswers{};
    }
  }
  return answered;
}

std::size_t TorvaneControl::GetQuickPrefixBatch(std::span<const std::string> callsigns,
                                                QuickPrefixBatch& batch, unsigned threads) {
  const std::size_t answered = Guard(service_, std::size_t{0}, [&](Service& service) {
    return AnswerQuickPrefixBatch(service.prefix_reader(), callsigns, batch, threads);
  });
  if (answered == 0) batch = QuickPrefixBatch{};
  return answered;
}

Variant TorvaneControl::ClearCDCall() {
  return Guard(service_, Variant(),
               [](Service& service) { return service.callbook_queries().ClearCDCall(); });
}

std::string TorvaneControl::GetQuickCountry(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.quick_queries().GetQuickCountry(callsign); });
}

std::string TorvaneControl::GetQuickPrefixCountry(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickPrefixCountry(callsign);
  });
}

std::string TorvaneControl::GetQuickContinent(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickContinent(callsign);
  });
}

std::string TorvaneControl::GetQuickPrefixContinent(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickPrefixContinent(callsign);
  });
}

std::string TorvaneControl::GetQuickLatitude(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickLatitude(callsign);
  });
}

std::string TorvaneControl::GetQuickPrefixLatitude(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickPrefixLatitude(callsign);
  });
}

std::string TorvaneControl::GetQuickLongitude(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickLongitude(callsign);
  });
}

std::string TorvaneControl::GetQuickPrefixLongitude(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickPrefixLongitude(callsign);
  });
}

std::string TorvaneControl::GetQuickMasterPrefix(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickMasterPrefix(callsign);
  });
}

std::string TorvaneControl::GetQuickDXCCNumber(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickDXCCNumber(callsign);
  });
}

std::string TorvaneControl::GetQuickPrefixDXCCNumber(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickPrefixDXCCNumber(callsign);
  });
}

std::string TorvaneControl::GetQuickPrefixCQZone(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickPrefixCQZone(callsign);
  });
}

std::string TorvaneControl::GetQuickPrefixITUZone(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.quick_queries().GetQuickPrefixITUZone(callsign);
  });
}

std::string TorvaneControl::GetRealPrefix(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.quick_queries().GetRealPrefix(callsign); });
}

Variant TorvaneControl::GetPrefixWPX(const std::string& callsign) {
  return Guard(service_, Variant(),
               [&](Service& service) { return service.quick_queries().GetPrefixWPX(callsign); });
}

Variant TorvaneControl::GetPrefixMasterPrefix(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.quick_queries().GetPrefixMasterPrefix(callsign);
  });
}

Variant TorvaneControl::GetPrefixHoursOffset(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.quick_queries().GetPrefixHoursOffset(callsign);
  });
}

std::int16_t TorvaneControl::GetIsAmbiguousPrefix(const std::string& callsign) {
  return Guard(service_, std::int16_t{0}, [&](Service& service) {
    return service.quick_queries().GetIsAmbiguousPrefix(callsign);
  });
}

std::int16_t TorvaneControl::GetQuickStatus(const std::string& callsign,
                                            const std::string& qsodate) {
  return Guard(service_, std::int16_t{0}, [&](Service& service) {
    return service.quick_queries().GetQuickStatus(callsign, qsodate);
  });
}

bool TorvaneControl::SetSpecialCall(const std::string& callsign) {
  return Guard(service_, false, [&](Service& service) {
    return torvane::SetSpecialCall(service.databases().Data1, service.prefix_reader(), callsign);
  });
}

std::string TorvaneControl::GetCountryFromID(std::int16_t ID) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.entity_queries().GetCountryFromID(ID); });
}

std::string TorvaneControl::GetCountryFromDXCC(std::int16_t DXCC) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.entity_queries().GetCountryFromDXCC(DXCC); });
}

std::string TorvaneControl::GetContinentFromDXCC(std::int16_t DXCC) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.entity_queries().GetContinentFromDXCC(DXCC);
  });
}

std::string TorvaneControl::GetCQZoneFromDXCC(std::int16_t DXCC) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.entity_queries().GetCQZoneFromDXCC(DXCC); });
}

std::string TorvaneControl::GetITUZoneFromDXCC(std::int16_t DXCC) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.entity_queries().GetITUZoneFromDXCC(DXCC); });
}

std::string TorvaneControl::GetDXCCNumberFromID(std::int16_t ID) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.entity_queries().GetDXCCNumberFromID(ID); });
}

std::string TorvaneControl::GetContinentFromID(std::int16_t ID) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.entity_queries().GetContinentFromID(ID); });
}

Variant TorvaneControl::GetDXDistance(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.distance_queries().GetDXDistance(callsign);
  });
}

Variant TorvaneControl::GetPrefixDXDistance(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.distance_queries().GetPrefixDXDistance(callsign);
  });
}

Variant TorvaneControl::GetDXBearing(const std::string& callsign) {
  return Guard(service_, Variant(),
               [&](Service& service) { return service.distance_queries().GetDXBearing(callsign); });
}

Variant TorvaneControl::GetPrefixDXBearing(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.distance_queries().GetPrefixDXBearing(callsign);
  });
}

Variant TorvaneControl::GetDXLatitude(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.distance_queries().GetDXLatitude(callsign);
  });
}

Variant TorvaneControl::GetPrefixDXLatitude(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.distance_queries().GetPrefixDXLatitude(callsign);
  });
}

Variant TorvaneControl::GetDXLongitude(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.distance_queries().GetDXLongitude(callsign);
  });
}

Variant TorvaneControl::GetPrefixDXLongitude(const std::string& callsign) {
  return Guard(service_, Variant(), [&](Service& service) {
    return service.distance_queries().GetPrefixDXLongitude(callsign);
  });
}

std::string TorvaneControl::GetMilesToDX(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.distance_queries().GetMilesToDX(callsign); });
}

std::string TorvaneControl::GetPrefixMilesToDX(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.distance_queries().GetPrefixMilesToDX(callsign);
  });
}

std::string TorvaneControl::GetKmToDX(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.distance_queries().GetKmToDX(callsign); });
}

std::string TorvaneControl::GetPrefixKmToDX(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.distance_queries().GetPrefixKmToDX(callsign);
  });
}

std::string TorvaneControl::GetBearingToDX(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.distance_queries().GetBearingToDX(callsign);
  });
}

std::string TorvaneControl::GetPrefixBearingToDX(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.distance_queries().GetPrefixBearingToDX(callsign);
  });
}

std::string TorvaneControl::GetSunrise(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.sun().GetSunrise(callsign, service.StationCheck());
  });
}

std::string TorvaneControl::GetSunset(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.sun().GetSunset(callsign, service.StationCheck());
  });
}

bool TorvaneControl::GetIsNowDaylight(const std::string& callsign) {
  return Guard(service_, false, [&](Service& service) {
    return service.sun().GetIsNowDaylight(callsign, service.StationCheck());
  });
}

std::string TorvaneControl::GetBiography(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.callbook_queries().GetBiography(callsign);
  });
}

std::string TorvaneControl::GetPhoto(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.callbook_queries().GetPhoto(callsign); });
}

}  // namespace torvane
