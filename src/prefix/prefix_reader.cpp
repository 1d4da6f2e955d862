#include "prefix/prefix_reader.h"

#include <time.h>

#include <algorithm>
#include <map>

namespace torvane {

namespace {

// A monotonic time to a few milliseconds, at a fraction of the precise clock's cost: it is
// read before every lookup.
std::chrono::nanoseconds CoarseNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

struct TableSource {
  bool open = false;
  std::string path;  // the file the service opened
  std::string record_source;
};

TableSource SourceOf(const db::Table& table) {
  return TableSource{table.IsOpen(), table.ConnectionPath(), table.RecordSource()};
}

// Builds the index from connections of its own: runs on the build thread, which shares
// nothing with the service's tables. A table the service could not open reads as closed here.
std::shared_ptr<const PrefixIndex> BuildIndex(TableSource plink_source,
                                              TableSource prefixes_source,
                                              TableSource plinkold_source,
                                              std::shared_ptr<const std::atomic<bool>> stop) {
  std::map<std::string, std::shared_ptr<db::Connection>> connections;
  const auto open = [&](const TableSource& source, db::Table& table) {
    if (!source.open) return true;
    auto& connection = connections[source.path];
    if (connection == nullptr) {
      auto opened = db::Connection::Open(source.path, db::Connection::Mode::kReadWrite);
      if (!opened) return false;
      connection = std::make_shared<db::Connection>(std::move(opened.value()));
    }
    table.SetDatabaseName(source.path);
    table.SetRecordSource(source.record_source);
    return table.Open(connection).ok();
  };
  db::Table plink("plink");
  db::Table prefixes("Prefixes");
  db::Table plinkold("plinkold");
  if (!open(plink_source, plink) || !open(prefixes_source, prefixes) ||
      !open(plinkold_source, plinkold)) {
    return nullptr;
  }
  return PrefixIndex::Build(plink, prefixes, plinkold, stop.get());
}

}  // namespace

PrefixReader::PrefixReader(const PrefixReader& current, Frozen)
    : databases_(current.databases_),
      path_(current.path_),
      frozen_(true),
      index_(current.index_),
      index_generation_(current.index_generation_),
      loaded_(true),
      longest_key_(current.longest_key_),
      longest_old_key_(current.longest_old_key_) {}

PrefixReader::~PrefixReader() { StopBuild(); }

void PrefixReader::StopBuild() {
  if (!build_.valid()) return;
  // A service that closes soon after it opened, as for one look-up, need not wait for the
  // whole index.
  stop_->store(true);
  build_.wait();
  build_ = {};
}

void PrefixReader::BeginLookup() {
  if (frozen_) return;
  if (build_.valid()) {
    // A host that looks up many calls is better served by waiting for the index than by
    // seeking the tables for each.
    TakeBuild(/*wait=*/++lookups_while_building_ > kLookupsBeforeWaiting);
  }
  const auto now = CoarseNow();
  if (loaded_ && now - checked_at_ < kRecheckAge) return;
  checked_at_ = now;
  if (loaded_ && databases_.Data1.DataVersion() == loaded_version_) return;
  Reload();
}

void PrefixReader::Reload() {
  if (frozen_) return;
  loaded_ = true;
  checked_at_ = CoarseNow();
  loaded_version_ = databases_.Data1.DataVersion();
  StopBuild();
  lookups_while_building_ = 0;
  index_.reset();
  longest_key_ = longest_old_key_ = kUnbounded;
  if (path_ == Path::kTables) {
    TakeBuild(/*wait=*/false);
    return;
  }
  const TableSource plink = SourceOf(databases_.Data1);
  const TableSource prefixes = SourceOf(databases_.Data2);
  const TableSource plinkold = SourceOf(databases_.Data9);
  stop_ = std::make_shared<std::atomic<bool>>(false);
  try {
    build_ = std::async(std::launch::async, BuildIndex, plink, prefixes, plinkold, stop_);
  } catch (const std::exception&) {
    // No thread to be had: build here.
    std::promise<std::shared_ptr<const PrefixIndex>> built;
    built.set_value(BuildIndex(plink, prefixes, plinkold, stop_));
    build_ = built.get_future();
  }
}

void PrefixReader::TakeBuild(bool wait) {
  if (build_.valid()) {
    if (!wait && build_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    try {
      index_ = build_.get();
    } catch (const std::exception&) {
      index_.reset();
    }
    ++index_generation_;
  }
  if (index_ != nullptr) {
    longest_key_ = index_->LongestKey();
    longest_old_key_ = index_->LongestOldKey();
  } else if (longest_key_ == kUnbounded) {
    longest_key_ = LongestTableKey(databases_.Data1);
    longest_old_key_ = LongestTableKey(databases_.Data9);
  }
}

std::size_t PrefixReader::LongestTableKey(db::Table& table) {
  if (!table.IsOpen()) return 0;
  const std::optional<KeyColumn> key_column = TextKeyColumnOf(table, "prefix");
  if (!key_column) return kUnbounded;
  const std::string& column = key_column->name;
  std::size_t longest = 0;
  const bool complete = table.ForEachRecord([&](const db::Table& record) {
    if (record.FieldStorage(column) == db::Storage::kText) {
      longest = std::max(longest, record.Field(column)->ToText().size());
    }
    return true;
  });
  return complete ? longest : kUnbounded;
}

void PrefixReader::WaitForIndexIfLonger(std::size_t key_length) {
  if (key_length > kLongestSeekWithoutIndex && build_.valid()) WaitForIndex();
}

bool PrefixReader::KeyMayMatch(std::string_view key, const std::size_t& longest) {
  WaitForIndexIfLonger(key.size());
  return key.size() <= longest;
}

namespace {

// The first record of the table for the key, by the index, read into `target`; nullptr for none.
template <typename Row, typename Read>
const Row* SeekRow(db::Table& table, std::string_view index, const Variant& key, Read read,
                   Row& target) {
  table.SetIndex(index);
  if (!table.Seek(key)) return nullptr;
  target = read(table);
  return &target;
}

}  // namespace

const KeyRow* PrefixReader::FindKey(std::string_view key) {
  if (!KeyMayMatch(key, longest_key_)) return nullptr;
  if (index_ != nullptr) return index_->FindKey(key, scratch_);
  return SeekRow(databases_.Data1, "prefix", Variant(key),
                 [](const db::Table& plink) { return ReadKeyRow(plink); }, key_row_);
}

const KeyRow* PrefixReader::FindLongestKey(std::string_view& text, std::size_t count) {
  if (count == 0) return nullptr;
  const std::size_t shortest = count > text.size() ? 0 : text.size() - count + 1;
  WaitForIndexIfLonger(text.size());
  if (index_ != nullptr) {
    std::size_t length = 0;
    const KeyRow* row = index_->FindLongestKey(text, shortest, length, scratch_);
    if (row != nullptr) text = text.substr(0, length);
    return row;
  }
  for (std::size_t length = std::min(text.size(), longest_key_) + 1; length-- > shortest;) {
    const KeyRow* row = FindKey(text.substr(0, length));
    if (row != nullptr && (!row->exact_only || length == text.size())) {
      text = text.substr(0, length);
      return row;
    }
  }
  return nullptr;
}

const EntityRow* PrefixReader::FindEntity(std::int16_t id) {
  if (index_ != nullptr) return index_->FindEntity(id);
  return SeekRow(databases_.Data2, "ID", Variant(id),
                 [](const db::Table& prefixes) { return ReadEntityRow(prefixes); }, entity_row_);
}

const OldKeyRow* PrefixReader::FindOldKey(std::string_view key) {
  if (!KeyMayMatch(key, longest_old_key_)) return nullptr;
  if (index_ != nullptr) return index_->FindOldKey(key, scratch_);
  return SeekRow(databases_.Data9, "prefix", Variant(key),
                 [](const db::Table& plinkold) { return ReadOldKeyRow(plinkold); }, old_key_row_);
}

}  // namespace torvane
