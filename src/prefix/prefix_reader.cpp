#include "prefix/prefix_reader.h"

#include <algorithm>

namespace torvane {

void PrefixReader::BeginLookup() {
  const auto now = std::chrono::steady_clock::now();
  if (loaded_ && now - checked_at_ < kRecheckAge) return;
  checked_at_ = now;
  if (loaded_ && databases_.Data1.DataVersion() == loaded_version_) return;
  Reload();
}

void PrefixReader::Reload() {
  loaded_ = true;
  checked_at_ = std::chrono::steady_clock::now();
  loaded_version_ = databases_.Data1.DataVersion();
  index_.reset();
  if (path_ == Path::kMemory) {
    index_ = PrefixIndex::Build(databases_.Data1, databases_.Data2, databases_.Data9);
  }
  if (index_ != nullptr) {
    longest_key_ = index_->LongestKey();
    longest_old_key_ = index_->LongestOldKey();
  } else {
    longest_key_ = LongestTableKey(databases_.Data1);
    longest_old_key_ = LongestTableKey(databases_.Data9);
  }
}

std::size_t PrefixReader::LongestTableKey(db::Table& table) {
  if (!table.IsOpen()) return 0;
  if (!table.SetIndex("prefix")) return kUnbounded;
  const std::string column = table.IndexColumn();
  const auto declaration = table.Declaration(column);
  const auto comparison = declaration ? KeyComparison::Of(*declaration) : std::nullopt;
  if (!comparison || !comparison->text_keys_only) return kUnbounded;
  std::size_t longest = 0;
  const bool complete = table.ForEachRecord([&](const db::Table& record) {
    if (record.FieldStorage(column) != db::Storage::kText) return;
    longest = std::max(longest, record.Field(column)->ToText().size());
  });
  return complete ? longest : kUnbounded;
}

const KeyRow* PrefixReader::FindKey(std::string_view key) {
  if (key.size() > longest_key_) return nullptr;
  if (index_ != nullptr) return index_->FindKey(key, scratch_);
  db::Table& plink = databases_.Data1;
  plink.SetIndex("prefix");
  if (!plink.Seek(Variant(key))) return nullptr;
  key_row_ = ReadKeyRow(plink, KeyColumns(plink));
  return &key_row_;
}

const EntityRow* PrefixReader::FindEntity(std::int16_t id) {
  if (index_ != nullptr) return index_->FindEntity(id);
  db::Table& prefixes = databases_.Data2;
  prefixes.SetIndex("ID");
  if (!prefixes.Seek(Variant(id))) return nullptr;
  entity_row_ = ReadEntityRow(prefixes);
  return &entity_row_;
}

const OldKeyRow* PrefixReader::FindOldKey(std::string_view key) {
  if (key.size() > longest_old_key_) return nullptr;
  if (index_ != nullptr) return index_->FindOldKey(key, scratch_);
  db::Table& plinkold = databases_.Data9;
  plinkold.SetIndex("prefix");
  if (!plinkold.Seek(Variant(key))) return nullptr;
  old_key_row_ = ReadOldKeyRow(plinkold);
  return &old_key_row_;
}

}  // namespace torvane
