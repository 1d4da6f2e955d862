#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "lookup/call_cache.h"
#include "lookup/call_check.h"
#include "lookup/callbook.h"
#include "prefix/prefix_lookup.h"
#include "torvane/variant.h"

namespace torvane {

// A getter of the callbook family: the record field it returns after a successful call
// check, and what it returns when the check fails.
struct RecordGetter {
  std::string CallbookRecord::*field;
  std::string_view failure;
};

namespace record_getters {
inline constexpr std::string_view kNotFound = "not found";
inline constexpr RecordGetter kCountry{&CallbookRecord::Country, kNotFound};
inline constexpr RecordGetter kDXCC{&CallbookRecord::Country, ""};
inline constexpr RecordGetter kQSLManager{&CallbookRecord::QSLManager, ""};
inline constexpr RecordGetter kLicenseClass{&CallbookRecord::LicenseClass, kNotFound};
inline constexpr RecordGetter kLicenseType{&CallbookRecord::LicenseType, kNotFound};
inline constexpr RecordGetter kFirstName{&CallbookRecord::FirstName, kNotFound};
inline constexpr RecordGetter kMiddleName{&CallbookRecord::MiddleName, kNotFound};
inline constexpr RecordGetter kLastname{&CallbookRecord::Lastname, kNotFound};
inline constexpr RecordGetter kNameSuffix{&CallbookRecord::NameSuffix, kNotFound};
inline constexpr RecordGetter kStreet{&CallbookRecord::Street, kNotFound};
inline constexpr RecordGetter kReciprocalAddress{&CallbookRecord::ReciprocalAddress, kNotFound};
inline constexpr RecordGetter kAlienAddress{&CallbookRecord::AlienAddress, kNotFound};
inline constexpr RecordGetter kCity{&CallbookRecord::City, kNotFound};
inline constexpr RecordGetter kPostalCode{&CallbookRecord::PostalCode, kNotFound};
inline constexpr RecordGetter kBirthDate{&CallbookRecord::BirthDate, kNotFound};
inline constexpr RecordGetter kDateFirstIssue{&CallbookRecord::DateFirstIssue, kNotFound};
inline constexpr RecordGetter kExpirationDate{&CallbookRecord::ExpirationDate, kNotFound};
inline constexpr RecordGetter kProcessDate{&CallbookRecord::ProcessDate, kNotFound};
inline constexpr RecordGetter kLast{&CallbookRecord::Last, ""};
inline constexpr RecordGetter kMode{&CallbookRecord::Mode, ""};
inline constexpr RecordGetter kFrequency{&CallbookRecord::Frequency, ""};
inline constexpr RecordGetter kCounty{&CallbookRecord::County, kNotFound};
inline constexpr RecordGetter kHoursOffset{&CallbookRecord::HoursOffset, kNotFound};
inline constexpr RecordGetter kGridSquare{&CallbookRecord::GridSquare, kNotFound};
inline constexpr RecordGetter kIOTA{&CallbookRecord::IOTA, kNotFound};
inline constexpr RecordGetter kTrustee{&CallbookRecord::Trustee, ""};
inline constexpr RecordGetter kAreaCode{&CallbookRecord::AreaCode, kNotFound};
inline constexpr RecordGetter kPreviousCall{&CallbookRecord::PreviousCall, kNotFound};
inline constexpr RecordGetter kPreviousClass{&CallbookRecord::PreviousClass, kNotFound};
inline constexpr RecordGetter kTransactionType{&CallbookRecord::TransactionType, kNotFound};
inline constexpr RecordGetter kEmailAddress{&CallbookRecord::EmailAddress, kNotFound};
inline constexpr RecordGetter kURL{&CallbookRecord::URL, kNotFound};
inline constexpr RecordGetter kVanityFlag{&CallbookRecord::VanityFlag, kNotFound};
inline constexpr RecordGetter kFAXNumber{&CallbookRecord::FAXNumber, kNotFound};
inline constexpr RecordGetter kComment{&CallbookRecord::Comment, kNotFound};
inline constexpr RecordGetter kQTH{&CallbookRecord::QTH, kNotFound};
inline constexpr RecordGetter kAddress{&CallbookRecord::Address, kNotFound};
inline constexpr RecordGetter kFullName{&CallbookRecord::FullName, kNotFound};
inline constexpr RecordGetter kContinent{&CallbookRecord::Continent, kNotFound};
}  // namespace record_getters

// The per-call getters that run the full call check: the callbook record, the entity of the
// call's deciding prefix, and the status of the last lookup.
class CallbookQueries {
 public:
  CallbookQueries(Settings& settings, CallCache& cache, CallCheck& check, Callbook& callbook,
                  PrefixLookup& prefixes)
      : settings_(settings),
        cache_(cache),
        check_(check),
        callbook_(callbook),
        prefixes_(prefixes) {}

  std::string Get(const RecordGetter& getter, const std::string& callsign);
  std::string GetState(const std::string& callsign);
  std::string GetDataStatus(const std::string& callsign);
  std::string GetCallsign(const std::string& callsign);
  std::int16_t GetDXCCNumber(const std::string& callsign);

  std::string GetPrefixCountry(const std::string& callsign);
  std::string GetPrefixDXCC(const std::string& callsign);
  std::int16_t GetPrefixDXCCNumber(const std::string& callsign);
  std::string GetCountryAbbreviation(const std::string& callsign);
  std::string GetPrefixCountryAbbreviation(const std::string& callsign);
  std::string GetPrefixContinent(const std::string& callsign);
  std::string GetPrefixCQZone(const std::string& callsign);
  std::string GetPrefixITUZone(const std::string& callsign);

  // The biography always looks the call up again (with the biography, where the source has
  // one); the photo does so only for a call that is not the current one.
  std::string GetBiography(const std::string& callsign);
  std::string GetPhoto(const std::string& callsign);

  Variant ClearQuickCheckCall();
  Variant ClearCDCall() { return Variant(); }

 private:
  bool Check(const std::string& callsign) { return check_.CheckCall(callsign, true) == 0; }

  Settings& settings_;
  CallCache& cache_;
  CallCheck& check_;
  Callbook& callbook_;
  PrefixLookup& prefixes_;
};

}  // namespace torvane
