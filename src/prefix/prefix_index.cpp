#include "prefix/prefix_index.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <limits>

#include "core/text.h"

namespace torvane {

namespace {

constexpr std::int32_t kNoEntity = -1;
constexpr std::size_t kEntityIds = 65536;

bool Stopped(const std::atomic<bool>* stop) {
  return stop != nullptr && stop->load(std::memory_order_relaxed);
}

std::size_t SlotOf(std::int16_t id) { return static_cast<std::size_t>(id + 32768); }

// The number a stored ID compares equal to when it is a whole 16-bit value.
std::optional<std::int16_t> StoredId(const db::Table& prefixes, const std::string& column) {
  const db::Storage storage = prefixes.FieldStorage(column);
  if (storage != db::Storage::kInteger && storage != db::Storage::kReal) return std::nullopt;
  const Variant* value = prefixes.Field(column);
  const std::optional<double> number = value != nullptr ? value->ToNumber() : std::nullopt;
  if (!number || std::trunc(*number) != *number ||
      *number < std::numeric_limits<std::int16_t>::min() ||
      *number > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(*number);
}

}  // namespace

std::optional<KeyComparison> KeyComparison::Of(const db::ColumnDeclaration& declaration) {
  KeyComparison comparison;
  if (text::EqualsIgnoreCase(declaration.collation, "NOCASE")) {
    comparison.ignore_case = true;
  } else if (!text::EqualsIgnoreCase(declaration.collation, "BINARY")) {
    return std::nullopt;
  }
  const db::Affinity affinity = db::AffinityOf(declaration.type);
  comparison.text_keys_only = affinity == db::Affinity::kText || affinity == db::Affinity::kBlob;
  return comparison;
}

std::string_view KeyComparison::Fold(std::string_view key, std::string& scratch) {
  scratch.assign(key);
  for (std::size_t i = 0; i < scratch.size(); ++i) {
    char& c = scratch[i];
    if (c == '\0') {
      // NOCASE stops comparing at a zero byte that both keys have; only the lengths count
      // after it.
      std::fill(scratch.begin() + static_cast<std::ptrdiff_t>(i), scratch.end(), '\0');
      break;
    }
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return scratch;
}

std::optional<KeyColumn> TextKeyColumnOf(db::Table& table, std::string_view index) {
  if (!table.SetIndex(index)) return std::nullopt;
  KeyColumn column{table.IndexColumn(), {}};
  const auto declaration = table.Declaration(column.name);
  const auto comparison = declaration ? KeyComparison::Of(*declaration) : std::nullopt;
  if (!comparison || !comparison->text_keys_only) return std::nullopt;
  column.comparison = *comparison;
  return column;
}

template <typename Row>
template <typename Read>
bool PrefixIndex::KeyTable<Row>::Load(db::Table& table, std::string_view index,
                                      const std::vector<std::string>& columns, Read read,
                                      const std::atomic<bool>* stop) {
  if (!table.IsOpen()) return true;
  const std::optional<KeyColumn> key_column = TextKeyColumnOf(table, index);
  if (!key_column) return false;
  comparison = key_column->comparison;
  // One allocation of each size: memory that grows while other threads fault pages in makes
  // them wait for the address space's lock. The last rowid stands for the count, which would
  // take a read of the whole table; capped, since rowids may have gaps.
  constexpr std::int64_t kMostReserved = std::int64_t{1} << 17;
  if (const std::optional<std::int64_t> last = table.LastRowid(); last && *last > 0) {
    const auto expected = static_cast<std::size_t>(std::min(*last, kMostReserved));
    positions.Reserve(expected, 8);
    rows.reserve(expected);
  }
  std::vector<std::string> selected{key_column->name};
  selected.insert(selected.end(), columns.begin(), columns.end());
  // Each key is inserted a few records after it was read, its slot fetched in the meantime.
  // The first record in table order wins, as a seek finds it; the row of a later one with an
  // equal key stays unused.
  constexpr std::size_t kStagedAhead = 8;
  std::array<FlatKeyMap::StagedKey, kStagedAhead> staged;
  std::size_t read_count = 0;
  const auto insert = [&](std::size_t position) {
    positions.InsertStaged(staged[position % kStagedAhead], static_cast<std::uint32_t>(position));
  };
  std::string scratch;
  const bool complete = table.ForEachRow(selected, [&](const db::Table::RowView& record) {
    if (Stopped(stop)) return false;
    const db::ColumnValue key_value = record.At(0);
    if (key_value.storage() != db::Storage::kText) return true;
    const std::string_view key = key_value.Bytes();
    if (read_count >= kStagedAhead) insert(read_count - kStagedAhead);
    staged[read_count % kStagedAhead] = positions.Stage(comparison.Normalize(key, scratch));
    rows.push_back(read(record));
    longest = std::max(longest, key.size());
    ++read_count;
    return true;
  });
  if (!complete) return false;
  for (std::size_t position = read_count - std::min(read_count, kStagedAhead);
       position < read_count; ++position) {
    insert(position);
  }
  return true;
}

bool PrefixIndex::LoadEntities(db::Table& prefixes, const std::atomic<bool>* stop) {
  entity_slots_.clear();
  if (!prefixes.IsOpen()) return true;
  if (!prefixes.SetIndex("ID")) return false;
  const std::string column = prefixes.IndexColumn();
  const auto declaration = prefixes.Declaration(column);
  if (!declaration) return false;
  const db::Affinity affinity = db::AffinityOf(declaration->type);
  // A number is compared with a text column's values as text: not reproduced here.
  if (affinity == db::Affinity::kText || affinity == db::Affinity::kBlob) return false;
  if (const std::optional<std::int64_t> last = prefixes.LastRowid(); last && *last > 0) {
    entities_.reserve(static_cast<std::size_t>(std::min<std::int64_t>(*last, kEntityIds)));
  }
  std::vector<std::int16_t> ids;  // of entities_, in order
  std::bitset<kEntityIds> seen;
  const bool complete = prefixes.ForEachRecord([&](const db::Table& record) {
    if (Stopped(stop)) return false;
    const std::optional<std::int16_t> id = StoredId(record, column);
    if (!id || seen.test(SlotOf(*id))) return true;
    seen.set(SlotOf(*id));
    ids.push_back(*id);
    entities_.push_back(ReadEntityRow(record));
    return true;
  });
  if (!complete || ids.empty()) return complete;
  // Slots from the lowest ID to the highest only: the IDs of real data lie close together, and
  // a table for every possible ID would be memory the build must fault in.
  const auto [lowest, highest] = std::minmax_element(ids.begin(), ids.end());
  lowest_entity_id_ = *lowest;
  entity_slots_.assign(static_cast<std::size_t>(*highest - *lowest) + 1, kNoEntity);
  for (std::size_t position = 0; position < ids.size(); ++position) {
    entity_slots_[static_cast<std::size_t>(ids[position] - lowest_entity_id_)] =
        static_cast<std::int32_t>(position);
  }
  return true;
}

const EntityRow* PrefixIndex::FindEntity(std::int16_t id) const {
  const std::size_t slot = static_cast<std::size_t>(id - lowest_entity_id_);
  if (id < lowest_entity_id_ || slot >= entity_slots_.size()) return nullptr;
  const std::int32_t position = entity_slots_[slot];
  return position == kNoEntity ? nullptr : &entities_[static_cast<std::size_t>(position)];
}

const KeyRow* PrefixIndex::FindLongestKey(std::string_view text, std::size_t shortest,
                                          std::size_t& length, std::string& scratch) const {
  const std::string_view key = keys_.comparison.Normalize(text, scratch);
  const std::size_t longest = std::min(key.size(), keys_.longest);
  // The heads are hashed in one pass; those beyond a call's usual length, one by one.
  constexpr std::size_t kHashedHeads = 32;
  std::array<std::uint64_t, kHashedHeads> hashes;
  FlatKeyMap::HeadHashes(key, std::min(longest, kHashedHeads), hashes.data());
  for (std::size_t head = longest + 1; head-- > shortest;) {
    const std::string_view probe = key.substr(0, head);
    const std::uint32_t position =
        head > 0 && head <= kHashedHeads ? keys_.positions.Get(probe, hashes[head - 1])
                                         : keys_.positions.Get(probe);
    if (position == FlatKeyMap::kAbsent) continue;
    const KeyRow& row = keys_.rows[position];
    if (!row.exact_only || head == text.size()) {
      length = head;
      return &row;
    }
  }
  return nullptr;
}

std::shared_ptr<const PrefixIndex> PrefixIndex::Build(db::Table& plink, db::Table& prefixes,
                                                      db::Table& plinkold,
                                                      const std::atomic<bool>* stop) {
  auto index = std::make_shared<PrefixIndex>();
  const auto read_key = [](const db::Table::RowView& record) { return ReadKeyRow(record, 1, 2); };
  const auto read_old_key = [](const db::Table::RowView& record) {
    return ReadOldKeyRow(record, 1, 2);
  };
  if (!index->keys_.Load(plink, "prefix", {"plink", "inactive"}, read_key, stop) ||
      !index->old_keys_.Load(plinkold, "prefix", {"Before", "plink"}, read_old_key, stop) ||
      !index->LoadEntities(prefixes, stop)) {
    return nullptr;
  }
  return index;
}

}  // namespace torvane
