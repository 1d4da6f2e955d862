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

  // The entity of the call, and of the call or prefix that decides it.
  const EntityInfo& CallEntity() const { return call_entity_.info; }
  const EntityInfo& PrefixEntity() const { return prefix_entity_.info; }
  // For writing outside the lookups: every change goes through these.
  EntityInfo& EditCallEntity() { return call_entity_.Edit(); }
  EntityInfo& EditPrefixEntity() { return prefix_entity_.Edit(); }

  // The row the last LookupPrefix took the prefix entity from, as read, before any value
  // kept from earlier lookups; nullptr when it took none. Valid until the next lookup.
  const EntityRow* PrefixEntityRow() const { return prefix_entity_row_; }

  // A lookup whose records nobody reads, such as a batch's, need not copy rows into them: the
  // lookups then find what they found before and leave CallEntity and PrefixEntity as they were.
  void SetRecordsRead(bool read) { records_read_ = read; }

  std::string WPXPrefix;

 private:
  enum class Fill { kCallEntityQuick, kPrefixEntityQuick, kCallEntityCallbook,
                    kPrefixEntityCallbook };

  // What a copy into an entity record was made from: a row of the reader's current rows, or
  // the call entity at a count of its changes.
  struct CopySource {
    const void* from = nullptr;
    Fill fill = Fill::kCallEntityQuick;
    std::uint64_t version = 0;
    bool operator==(const CopySource&) const = default;
  };

  // An entity record that knows what it was last copied from. Consecutive calls mostly
  // resolve to one entity, and copying the same source into a record unchanged since would
  // leave it as it is: that copy is skipped. Columns without a value keep the record's
  // previous values, so only the exact source, not the entity, may be compared.
  struct TrackedEntity {
    EntityInfo info;
    std::uint64_t changes = 0;
    CopySource last_copy;
    std::uint64_t changes_after_last_copy = ~std::uint64_t{0};

    bool Holds(const CopySource& source) const {
      return changes == changes_after_last_copy && source == last_copy;
    }
    EntityInfo& Copying(const CopySource& source) {
      last_copy = source;
      changes_after_last_copy = ++changes;
      return info;
    }
    EntityInfo& Edit() {
      ++changes;
      return info;
    }
  };

  // The longest usable key among the first `count` heads of `work` (see
  // PrefixReader::FindLongestKey); in the first pass, a portable pair that matches becomes
  // the working key and empties the prefix call.
  const KeyRow* FindFirstPassKey(const std::string& pair_a, const std::string& pair_b,
                                 std::string_view& work, std::size_t count,
                                 std::string& PrefixCall);
  // Follows the "plink" row to its "Prefixes" row and copies it; false without one.
  // Sets `row` to the row followed.
  bool FollowLink(const KeyRow& key_row, TrackedEntity& entity, Fill fill, const EntityRow*& row);
  // Every field of the call entity but the offset, which each entity keeps from its own
  // lookups.
  void CopyCallEntityToPrefixEntity();

  PrefixReader& tables_;
  const WebState& web_;
  EventDispatcher& events_;
  TrackedEntity call_entity_;
  TrackedEntity prefix_entity_;
  const EntityRow* prefix_entity_row_ = nullptr;
  bool records_read_ = true;
  // The portable pairs LookupPrefix probes: "PREFIX/CALL" and "CALL/PREFIX".
  std::string pair_a_;
  std::string pair_b_;
};

}  // namespace torvane
