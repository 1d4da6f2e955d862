#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/table.h"
#include "prefix/flat_key_map.h"
#include "prefix/prefix_rows.h"

namespace torvane {

// How a key column compares text, read from its declaration.
struct KeyComparison {
  bool ignore_case = false;  // NOCASE: ASCII letters equal in either case
  // Only text values can equal a text key; false when the column's affinity would turn a text
  // key into a number, which the index does not reproduce.
  bool text_keys_only = true;

  // From the declaration of the key column; no value for a collation the index does not know.
  static std::optional<KeyComparison> Of(const db::ColumnDeclaration& declaration);

  // The bytes of `key` under which keys the column finds equal are equal: `key` itself when
  // it is already in that form (upper-case letters for NOCASE, as calls are written), else
  // `scratch` filled with it.
  std::string_view Normalize(std::string_view key, std::string& scratch) const {
    if (!ignore_case) return key;
    for (const char c : key) {
      if ((c >= 'a' && c <= 'z') || c == '\0') return Fold(key, scratch);
    }
    return key;
  }

 private:
  static std::string_view Fold(std::string_view key, std::string& scratch);
};

// The key column of a table's index and how it compares text keys.
struct KeyColumn {
  std::string name;
  KeyComparison comparison;
};

// The key column of the table's index `index`; no value when there is no such index, or when
// its comparisons of text keys are not the plain ones an index of them can reproduce.
std::optional<KeyColumn> TextKeyColumnOf(db::Table& table, std::string_view index);

// An immutable copy of the prefix tables ("plink", "Prefixes", "plinkold") that answers the
// lookup's seeks as the tables do: a key finds the first record in table order whose key
// column equals it under the column's collation; an entity ID finds the first record whose
// ID equals it as a number.
class PrefixIndex {
 public:
  // Reads the three tables. No value when a table's key column or index is declared in a way
  // whose comparisons the index does not reproduce, or a table cannot be read to its end;
  // the lookup then seeks the tables themselves. A closed table reads as an empty one. No
  // value either once `stop` is set.
  static std::shared_ptr<const PrefixIndex> Build(db::Table& plink, db::Table& prefixes,
                                                  db::Table& plinkold,
                                                  const std::atomic<bool>* stop = nullptr);

  // `scratch` holds the normalized key; callers keep one to avoid an allocation per probe.
  const KeyRow* FindKey(std::string_view key, std::string& scratch) const {
    return keys_.Find(key, scratch);
  }
  const OldKeyRow* FindOldKey(std::string_view key, std::string& scratch) const {
    return old_keys_.Find(key, scratch);
  }
  const EntityRow* FindEntity(std::int16_t id) const;
  // The longest head of `text`, of `shortest` bytes at least, whose "plink" record may be
  // taken: a record marked exact-only only for the whole text. `length` is the head's.
  const KeyRow* FindLongestKey(std::string_view text, std::size_t shortest, std::size_t& length,
                               std::string& scratch) const;

  // The longest key in bytes: no longer key can match.
  std::size_t LongestKey() const { return keys_.longest; }
  std::size_t LongestOldKey() const { return old_keys_.longest; }
  std::size_t KeyCount() const { return keys_.rows.size(); }

 private:
  template <typename Row>
  struct KeyTable {
    KeyComparison comparison;
    FlatKeyMap positions;   // normalized key -> position in rows
    std::vector<Row> rows;  // in table order
    std::size_t longest = 0;

    const Row* Find(std::string_view key, std::string& scratch) const {
      if (key.size() > longest) return nullptr;
      const std::uint32_t position = positions.Get(comparison.Normalize(key, scratch));
      return position == FlatKeyMap::kAbsent ? nullptr : &rows[position];
    }
    // Reads the table by its index `index`: the key column, then `columns`, which
    // `read(record)` turns into a row. False when the index's comparisons cannot be
    // reproduced or a column is missing.
    template <typename Read>
    bool Load(db::Table& table, std::string_view index, const std::vector<std::string>& columns,
              Read read, const std::atomic<bool>* stop);
  };

  bool LoadEntities(db::Table& prefixes, const std::atomic<bool>* stop);

  KeyTable<KeyRow> keys_;
  KeyTable<OldKeyRow> old_keys_;
  std::vector<EntityRow> entities_;
  // Position in entities_ by ID - lowest_entity_id_; -1 for none.
  std::vector<std::int32_t> entity_slots_;
  std::int16_t lowest_entity_id_ = 0;
};

}  // namespace torvane
