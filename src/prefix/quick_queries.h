#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "lookup/call_cache.h"
#include "prefix/prefix_lookup.h"
#include "torvane/torvane_control.h"
#include "torvane/variant.h"

namespace torvane {

// The getters that need only the prefix resolution of a call (the quick check), not its
// callbook lookup.
// The entity fields of the quick prefix answers from the row that decides them: DXCC "0" and
// empty texts without a row. `Fields` is QuickPrefixAnswers or QuickPrefixEntity.
template <typename Fields>
void AssignEntityFields(const EntityRow* row, Fields& fields) {
  if (row == nullptr) {
    fields.dxcc.assign(1, '0');
    fields.country.clear();
    fields.continent.clear();
    fields.cq_zone.clear();
    fields.itu_zone.clear();
    return;
  }
  // Whole strings are copied rather than views assigned: the copy of a short text is the
  // cheaper one, and a batch makes several for every call.
  const auto copy = [](const std::optional<std::string>& value, std::string& target) {
    if (value) {
      target = *value;
    } else {
      target.clear();
    }
  };
  fields.dxcc = row->dxcc_answer;
  copy(row->Country, fields.country);
  copy(row->Continent, fields.continent);
  fields.cq_zone = row->cq_zone_answer;
  fields.itu_zone = row->itu_zone_answer;
}

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
  // As AnswerWithoutCache, giving the row that decides the entity fields rather than the
  // fields: true when a prefix matched; `row` is nullptr without one. Valid until the next
  // lookup, and for as long as the reader's index when it has one.
  bool ResolveWithoutCache(const std::string& callsign, const EntityRow*& row);
  // The WPX prefix of the call ResolveWithoutCache resolved last.
  const std::string& LastWPXPrefix() const { return prefixes_.WPXPrefix; }
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
