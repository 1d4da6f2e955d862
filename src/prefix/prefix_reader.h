#pragma once

#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/db/database_set.h"
#include "prefix/prefix_index.h"
#include "prefix/prefix_rows.h"

namespace torvane {

// Where the prefix lookup reads the prefix tables: an in-memory index of them, or the tables
// themselves when the index cannot reproduce their comparisons (and in tests that compare the
// two). The tables stay the truth: the index is read again when this service writes to them
// (Reload) and when another process has changed the file, which is checked at most once a
// second.
class PrefixReader {
 public:
  enum class Path { kMemory, kTables };

  explicit PrefixReader(db::DatabaseSet& databases, Path path = Path::kMemory)
      : databases_(databases), path_(path) {}

  // Call before each lookup: takes in what other processes changed.
  void BeginLookup();
  // Reads the tables again now.
  void Reload();

  // The record of each table for a key, as a seek on its index finds it; nullptr for none.
  // Valid until the next call.
  const KeyRow* FindKey(std::string_view key);
  const EntityRow* FindEntity(std::int16_t id);
  const OldKeyRow* FindOldKey(std::string_view key);

  // No key longer than these (in bytes) can match.
  std::size_t LongestKey() const { return longest_key_; }
  std::size_t LongestOldKey() const { return longest_old_key_; }

  // True while the lookups are answered from memory.
  bool UsesIndex() const { return index_ != nullptr; }

 private:
  static constexpr std::chrono::seconds kRecheckAge{1};
  static constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

  // The longest text key of the table's index, or kUnbounded when a longer text could equal
  // a stored key (a numeric key column).
  static std::size_t LongestTableKey(db::Table& table);

  db::DatabaseSet& databases_;
  const Path path_;
  std::shared_ptr<const PrefixIndex> index_;
  bool loaded_ = false;
  std::optional<std::int64_t> loaded_version_;
  std::chrono::steady_clock::time_point checked_at_;
  std::size_t longest_key_ = kUnbounded;
  std::size_t longest_old_key_ = kUnbounded;

  std::string scratch_;  // the normalized key of the current probe
  KeyRow key_row_;       // the rows read from the tables
  EntityRow entity_row_;
  OldKeyRow old_key_row_;
};

}  // namespace torvane
