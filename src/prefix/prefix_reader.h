#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
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
// themselves. The tables stay the truth. The index is built on a thread of its own from a
// connection of its own, so that opening the service does not wait for it; the tables answer
// until it is ready, and for good when it cannot reproduce their comparisons. It is built
// again when this service writes to the tables (Reload) and when another process has changed
// the file, which is checked at most once a second.
class PrefixReader {
 public:
  enum class Path { kMemory, kTables };

  explicit PrefixReader(db::DatabaseSet& databases, Path path = Path::kMemory)
      : databases_(databases), path_(path) {}
  // A reader that answers as `current` answers now, from its index or from its tables, and
  // never reloads: for lookups beside the service's own. One that answers from an index reads
  // no table and may be used on any thread, while `current` goes on.
  struct Frozen {};
  PrefixReader(const PrefixReader& current, Frozen);
  ~PrefixReader();
  PrefixReader(const PrefixReader&) = delete;
  PrefixReader& operator=(const PrefixReader&) = delete;

  // Call before each lookup: takes in a finished index and what other processes changed.
  void BeginLookup();
  // Reads the tables again: the tables answer until the new index is ready.
  void Reload();
  // Waits for the index being built, if any.
  void WaitForIndex() { TakeBuild(/*wait=*/true); }

  // The record of each table for a key, as a seek on its index finds it; nullptr for none.
  // Valid until the next call.
  const KeyRow* FindKey(std::string_view key);
  // The longest-match search of the lookup: probes the heads of `text`, the whole text first
  // and each next one character shorter, `count` of them (an empty head stands for the rest
  // when `count` is larger than the text), and returns the first "plink" record that may be
  // taken: one marked exact-only only for the whole text. `text` is shortened to the head
  // found. Valid until the next call.
  const KeyRow* FindLongestKey(std::string_view& text, std::size_t count);
  const EntityRow* FindEntity(std::int16_t id);
  const OldKeyRow* FindOldKey(std::string_view key);

  // True while the lookups are answered from memory.
  bool UsesIndex() const { return index_ != nullptr; }
  // Changes whenever the rows found may change: while it stays the same, a row found twice
  // at one address holds the same values. 0 while the rows are read from the tables, whose
  // rows are read into one place.
  std::uint64_t RowsGeneration() const { return index_ != nullptr ? index_generation_ : 0; }

 private:
  static constexpr std::chrono::seconds kRecheckAge{1};
  static constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();
  // Longer keys wait for the index rather than seek the tables: no longer call can cost a
  // seek per character.
  static constexpr std::size_t kLongestSeekWithoutIndex = 32;
  static constexpr int kLookupsBeforeWaiting = 64;

  // Stops the build under way, if any, and waits for its thread.
  void StopBuild();
  // Takes the finished build (waiting for it when asked); a build that failed leaves the
  // tables answering, with the longest keys read from them.
  void TakeBuild(bool wait);
  // The longest text key of the table's index, or kUnbounded when a longer text could equal
  // a stored key.
  static std::size_t LongestTableKey(db::Table& table);
  // Waits for the index being built when a key this long would cost a seek per character.
  void WaitForIndexIfLonger(std::size_t key_length);
  // False when no stored key can equal `key`; `longest` is read after any wait.
  bool KeyMayMatch(std::string_view key, const std::size_t& longest);

  db::DatabaseSet& databases_;
  const Path path_;
  const bool frozen_ = false;
  std::shared_ptr<const PrefixIndex> index_;
  std::uint64_t index_generation_ = 0;  // counts the indexes taken
  std::future<std::shared_ptr<const PrefixIndex>> build_;
  std::shared_ptr<std::atomic<bool>> stop_;  // tells the build under way to give up
  int lookups_while_building_ = 0;
  bool loaded_ = false;
  std::optional<std::int64_t> loaded_version_;
  std::chrono::nanoseconds checked_at_{0};
  std::size_t longest_key_ = kUnbounded;
  std::size_t longest_old_key_ = kUnbounded;

  std::string scratch_;  // the normalized key of the current probe
  KeyRow key_row_;       // the rows read from the tables
  EntityRow entity_row_;
  OldKeyRow old_key_row_;
};

}  // namespace torvane
