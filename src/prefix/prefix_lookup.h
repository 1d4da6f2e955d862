#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/events.h"
#include "core/net/web_state.h"
#include "prefix/entity_info.h"
#include "prefix/prefix_reader.h"

namespace torvane {

// Resolves a parsed call to its entities by the longest usable key of the "plink" table:
// CallEntity for the call, PrefixEntity for the call or prefix that decides it, and the
// call's WPX prefix. Neither lookup empties the records first: a field whose column is Null
// keeps the value of the previous lookup, and a pass that finds nothing changes nothing.
class PrefixLookup {
 public:
  PrefixLookup(PrefixReader& tables, const WebState& web, EventDispatcher& events)
      : tables_(tables), web_(web), events_(events) {}

  // The lookup behind the quick getters. May rewrite `PrefixCall` (the KG4 rule, a matched
  // portable pair). True when no entity row was found. Raises CallDataOK unless web activity
  // is stopped.
  bool LookupPrefix(const std::string& BaseCall, std::string& PrefixCall);

  // The variant the callbook chain runs before it completes a record from prefix data.
  // True when an entity row WAS found (the opposite sense of LookupPrefix). Raises nothing.
  bool LookupPrefixForCallbook(const std::string& BaseCall, std::string& PrefixCall);

  // The entity ID valid for the call on a QSO date, after LookupPrefix ran for it; 0 when
  // none is valid.
  std::int16_t EntityIdOnDate(const std::string& qsodate, const std::string& PrefixCall);

  EntityInfo CallEntity;
  EntityInfo PrefixEntity;
  std::string WPXPrefix;

 private:
  enum class Fill { kCallEntityQuick, kPrefixEntityQuick, kCallEntityCallbook,
                    kPrefixEntityCallbook };

  // One probe of "plink" for the key; the row found becomes the current one.
  bool Probe(std::string_view key);
  // True when the current "plink" row may be taken: not marked "!", or the first probe.
  bool Usable(bool first_probe) const;
  // One iteration of a first pass: in the first, the portable pair keys (a pair that matches
  // becomes the working key and empties the prefix call), then the working key. True when the
  // working key's row may be taken.
  bool ProbeIteration(const std::string& pair_a, const std::string& pair_b,
                      std::string_view& work, std::string& PrefixCall, bool first_probe);
  // Follows the current "plink" row to its "Prefixes" row and copies it; false without one.
  bool FollowLink(EntityInfo& entity, Fill fill);

  PrefixReader& tables_;
  const KeyRow* key_row_ = nullptr;
  const WebState& web_;
  EventDispatcher& events_;
};

}  // namespace torvane
