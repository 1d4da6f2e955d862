#pragma once

#include <cstdint>
#include <string>

#include "lookup/call_cache.h"
#include "prefix/prefix_lookup.h"
#include "torvane/torvane_control.h"
#include "torvane/variant.h"

namespace torvane {

// The getters that need only the prefix resolution of a call (the quick check), not its
// callbook lookup.
class QuickQueries {
 public:
  QuickQueries(CallCache& cache, PrefixLookup& prefixes) : cache_(cache), prefixes_(prefixes) {}

  std::string GetQuickCountry(const std::string& callsign);
  std::string GetQuickPrefixCountry(const std::string& callsign);
  std::string GetQuickContinent(const std::string& callsign);
  std::string GetQuickPrefixContinent(const std::string& callsign);
  std::string GetQuickLatitude(const std::string& callsign);
  std::string GetQuickPrefixLatitude(const std::string& callsign);
  std::string GetQuickLongitude(const std::string& callsign);
  std::string GetQuickPrefixLongitude(const std::string& callsign);
  std::string GetQuickMasterPrefix(const std::string& callsign);
  // The DXCC number as text; an entity without one reads "0" once and "291" afterwards.
  std::string GetQuickDXCCNumber(const std::string& callsign);
  std::string GetQuickPrefixDXCCNumber(const std::string& callsign);
  std::string GetQuickPrefixCQZone(const std::string& callsign);
  std::string GetQuickPrefixITUZone(const std::string& callsign);
  void GetQuickPrefixAnswers(const std::string& callsign, QuickPrefixAnswers& answers);
  // The same answers, past the one-call cache, which is left as it was: for a lookup of its
  // own whose getters nobody reads, as a batch's threads have.
  void AnswerWithoutCache(const std::string& callsign, QuickPrefixAnswers& answers);
  std::string GetRealPrefix(const std::string& callsign);
  Variant GetPrefixWPX(const std::string& callsign);
  Variant GetPrefixMasterPrefix(const std::string& callsign);
  // Hours to add to UTC as a double, or the integer 0 when no entity was found.
  Variant GetPrefixHoursOffset(const std::string& callsign);
  std::int16_t GetQuickStatus(const std::string& callsign, const std::string& qsodate);
  // 0, or a code naming the kind of shared prefix a portable call uses (2, 3, 4, 5).
  std::int16_t GetIsAmbiguousPrefix(const std::string& callsign);

 private:
  CallCache& cache_;
  // The answers from the lookup of the call just made; `matched` as it found.
  void FillAnswers(const std::string& callsign, bool matched, QuickPrefixAnswers& answers);

  PrefixLookup& prefixes_;
};

}  // namespace torvane
