#include "core/db/table.h"

#include <fmt/format.h>

#include "core/text.h"

namespace torvane::db {

Status Table::Open(std::shared_ptr<Connection> connection) {
  Close();
  if (connection == nullptr) {
    return Error{0, fmt::format("{}: no database for table {}", slot_name_, record_source_),
                 "Torvane.Database"};
  }
  auto info = connection->Prepare("SELECT name FROM pragma_table_info(?1)");
  if (!info) return info.error();
  if (auto bound = info->BindText(1, record_source_); !bound) return bound.error();
  std::vector<std::string> columns;
  for (;;) {
    auto row = info->Step();
    if (!row) return row.error();
    if (!*row) break;
    columns.push_back(info->ColumnText(0));
  }
  if (columns.empty()) {
    // Also what a file that is not a database at all reports.
    auto probe = connection->Prepare(fmt::format("SELECT * FROM {} LIMIT 0",
                                                 QuoteIdentifier(record_source_)));
    if (!probe) return probe.error();
    return Error{1, fmt::format("no such table: {} in {}", record_source_, connection->path()),
                 "Torvane.Database"};
  }
  select_list_ = "SELECT rowid";
  for (const auto& column : columns) select_list_ += ", " + QuoteIdentifier(column);
  select_list_ += " FROM " + QuoteIdentifier(record_source_) + " ";
  columns_ = std::move(columns);
  scratch_ = Record{0, std::vector<Variant>(columns_.size()),
                    std::vector<Storage>(columns_.size(), Storage::kNull)};
  connection_ = std::move(connection);
  ClearSeekCache();
  return Status::Ok();
}

void Table::Close() {
  statements_.clear();
  connection_.reset();
  columns_.clear();
  scratch_ = Record{};
  current_ = nullptr;
  ClearSeekCache();
  index_name_.clear();
  index_column_.clear();
  seek_statement_ = nullptr;
  has_record_ = false;
  no_match_ = true;
  eof_ = true;
  editing_ = false;
  pending_.clear();
}

std::optional<std::size_t> Table::ColumnIndex(std::string_view name) const {
  // Callers mostly spell names as the schema does: try that before the case-blind search.
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i] == name) return i;
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (text::EqualsIgnoreCase(columns_[i], name)) return i;
  }
  return std::nullopt;
}

Statement* Table::Prepared(const std::string& cache_key, const std::string& where_and_order) {
  if (auto found = statements_.find(cache_key); found != statements_.end()) {
    return found->second.get();
  }
  auto prepared = connection_->Prepare(select_list_ + where_and_order);
  if (!prepared) return nullptr;
  auto owned = std::make_unique<Statement>(std::move(prepared.value()));
  Statement* statement = owned.get();
  statements_.emplace(cache_key, std::move(owned));
  return statement;
}

void Table::ClearSeekCache() {
  if (current_ != &scratch_) {
    current_ = nullptr;
    has_record_ = false;
  }
  cached_seeks_.clear();
  cached_records_.clear();
}

bool Table::Position(Statement* statement, bool set_no_match, Record& target) {
  editing_ = false;
  pending_.clear();
  has_record_ = false;
  if (statement != nullptr) {
    connection_->BeginRead();
    auto row = statement->Step();
    if (row && *row) {
      target.rowid = statement->ColumnInteger(0);
      Read(*statement, target);
      current_ = &target;
      has_record_ = true;
    }
    // Never leave a statement stepped: it would hold a read transaction open.
    statement->Reset();
  }
  if (set_no_match) no_match_ = !has_record_;
  return has_record_;
}

void Table::Read(const Statement& statement, Record& target) const {
  target.rowid = statement.ColumnInteger(0);
  target.values.resize(columns_.size());
  target.storage.resize(columns_.size());
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    target.storage[i] = statement.ReadStoredColumn(static_cast<int>(i) + 1, target.values[i]);
  }
}

std::optional<std::string> Table::IndexKeyColumn(std::string_view name) {
  if (text::EqualsIgnoreCase(name, "PrimaryKey")) {
    auto primary = connection_->Prepare(
        "SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk LIMIT 1");
    if (!primary || !primary->BindText(1, record_source_)) return std::nullopt;
    auto row = primary->Step();
    if (!row) return std::nullopt;
    return *row ? primary->ColumnText(0) : std::string("rowid");
  }
  auto indexes = connection_->Prepare(
      "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE");
  if (!indexes || !indexes->BindText(1, record_source_)) return std::nullopt;
  const std::string prefixed = record_source_ + "_" + std::string(name);
  std::string index;
  for (;;) {
    auto row = indexes->Step();
    if (!row || !*row) break;
    const std::string candidate = indexes->ColumnText(0);
    if (text::EqualsIgnoreCase(candidate, name) || text::EqualsIgnoreCase(candidate, prefixed)) {
      index = candidate;
      break;
    }
  }
  if (index.empty()) return std::nullopt;
  auto info = connection_->Prepare("SELECT name FROM pragma_index_info(?1) ORDER BY seqno LIMIT 1");
  if (!info || !info->BindText(1, index)) return std::nullopt;
  auto row = info->Step();
  if (!row || !*row) return std::nullopt;
  return info->ColumnText(0);
}

bool Table::SetIndex(std::string_view name) {
  if (!IsOpen()) return false;
  if (text::EqualsIgnoreCase(name, index_name_)) return true;
  const auto column = IndexKeyColumn(name);
  if (!column) return false;
  Statement* statement =
      Prepared("seek:" + text::ToLower(*column),
               fmt::format("WHERE {} = ?1 ORDER BY rowid LIMIT 1", QuoteIdentifier(*column)));
  if (statement == nullptr) return false;
  index_name_ = std::string(name);
  index_column_ = *column;
  seek_statement_ = statement;
  return true;
}

bool Table::Seek(const Variant& key) {
  Statement* statement = IsOpen() ? seek_statement_ : nullptr;
  if (statement == nullptr) return Position(nullptr, true);

  connection_->BeginRead();  // may start a new snapshot, which empties the cache
  if (cached_snapshot_ != connection_->snapshot()) {
    ClearSeekCache();
    cached_snapshot_ = connection_->snapshot();
  }
  // Key: the index column, the key's kind, the key.
  seek_key_.assign(index_column_);
  seek_key_ += '\0';
  seek_key_ += key.IsText() ? 'T' : 'N';
  seek_key_ += key.ToText();
  if (auto hit = cached_seeks_.find(seek_key_); hit != cached_seeks_.end()) {
    editing_ = false;
    pending_.clear();
    current_ = hit->second;
    has_record_ = current_ != nullptr;
    no_match_ = !has_record_;
    return has_record_;
  }
  constexpr std::size_t kMostCachedSeeks = 16384;
  if (cached_seeks_.size() >= kMostCachedSeeks) ClearSeekCache();

  if (!statement->Bind(1, key, Statement::Lifetime::kUntilReset)) return Position(nullptr, true);
  Record& record = cached_records_.emplace_back();
  const bool found = Position(statement, true, record);
  if (!found) cached_records_.pop_back();
  cached_seeks_.emplace(seek_key_, found ? &record : nullptr);
  return found;
}

bool Table::FindFirst(std::string_view field, const Variant& value) {
  Statement* statement = nullptr;
  if (IsOpen() && ColumnIndex(field)) {
    statement = Prepared(fmt::format("first:{}", text::ToLower(field)),
                         fmt::format("WHERE {} = ?1 ORDER BY rowid LIMIT 1", QuoteIdentifier(field)));
    if (statement != nullptr && !statement->Bind(1, value, Statement::Lifetime::kUntilReset)) statement = nullptr;
  }
  return Position(statement, true);
}

bool Table::FindLast(std::string_view field, const Variant& value) {
  Statement* statement = nullptr;
  if (IsOpen() && ColumnIndex(field)) {
    statement =
        Prepared(fmt::format("last:{}", text::ToLower(field)),
                 fmt::format("WHERE {} = ?1 ORDER BY rowid DESC LIMIT 1", QuoteIdentifier(field)));
    if (statement != nullptr && !statement->Bind(1, value, Statement::Lifetime::kUntilReset)) statement = nullptr;
  }
  return Position(statement, true);
}

bool Table::MoveFirst() {
  Statement* statement = IsOpen() ? Prepared("move:first", "ORDER BY rowid LIMIT 1") : nullptr;
  eof_ = !Position(statement, false);
  return !eof_;
}

bool Table::MoveNext() {
  if (!IsOpen() || eof_) {
    eof_ = true;
    has_record_ = false;
    return false;
  }
  const std::int64_t after = has_record_ ? current_->rowid : 0;
  Statement* statement = Prepared("move:next", "WHERE rowid > ?1 ORDER BY rowid LIMIT 1");
  if (statement != nullptr && !statement->BindInteger(1, after)) statement = nullptr;
  eof_ = !Position(statement, false);
  return !eof_;
}

bool Table::MoveLast() {
  Statement* statement = IsOpen() ? Prepared("move:last", "ORDER BY rowid DESC LIMIT 1") : nullptr;
  eof_ = !Position(statement, false);
  return !eof_;
}

const Variant* Table::Field(std::string_view name) const {
  if (!has_record_) return nullptr;
  const auto index = ColumnIndex(name);
  if (!index || current_->storage[*index] == Storage::kNull) return nullptr;
  return &current_->values[*index];
}

Storage Table::FieldStorage(std::string_view name) const {
  if (!has_record_) return Storage::kNull;
  const auto index = ColumnIndex(name);
  return index ? current_->storage[*index] : Storage::kNull;
}

bool Table::ForEachRecord(const std::function<bool(const Table&)>& visit) {
  editing_ = false;
  pending_.clear();
  has_record_ = false;
  Statement* statement = IsOpen() ? Prepared("scan", "ORDER BY rowid") : nullptr;
  if (statement == nullptr) return false;
  connection_->BeginRead();
  bool complete = false;
  for (;;) {
    auto row = statement->Step();
    if (!row) break;
    if (!*row) {
      complete = true;
      break;
    }
    Read(*statement, scratch_);
    current_ = &scratch_;
    has_record_ = true;
    if (!visit(*this)) break;
  }
  statement->Reset();
  has_record_ = false;
  return complete;
}

bool Table::ForEachRow(const std::vector<std::string>& columns,
                       const std::function<bool(const RowView&)>& visit) {
  if (!IsOpen() || columns.empty()) return false;
  std::string select = "SELECT ";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!ColumnIndex(columns[i])) return false;
    if (i > 0) select += ", ";
    select += QuoteIdentifier(columns[i]);
  }
  select += " FROM " + QuoteIdentifier(record_source_) + " ORDER BY rowid";
  auto statement = connection_->Prepare(select);
  if (!statement) return false;
  connection_->BeginRead();
  const RowView row(*statement);
  for (;;) {
    auto stepped = statement->Step();
    if (!stepped) return false;
    if (!*stepped) return true;
    if (!visit(row)) return false;
  }
}

std::optional<std::int64_t> Table::LastRowid() {
  if (!IsOpen()) return std::nullopt;
  auto statement = connection_->Prepare("SELECT max(rowid) FROM " + QuoteIdentifier(record_source_));
  if (!statement) return std::nullopt;
  connection_->BeginRead();
  const auto stepped = statement->Step();
  if (!stepped || !*stepped || statement->ColumnStorage(0) != Storage::kInteger) {
    return std::nullopt;
  }
  return statement->ColumnInteger(0);
}

std::optional<ColumnDeclaration> Table::Declaration(std::string_view column) const {
  if (!IsOpen()) return std::nullopt;
  return connection_->Declaration(record_source_, std::string(column));
}

bool Table::Edit() {
  editing_ = has_record_;
  pending_.clear();
  return editing_;
}

bool Table::SetField(std::string_view name, Variant value) {
  if (!editing_) return false;
  const auto index = ColumnIndex(name);
  if (!index) return false;
  pending_.emplace_back(*index, std::move(value));
  return true;
}

bool Table::Update() {
  if (!editing_ || !IsOpen() || !has_record_) return false;
  editing_ = false;
  if (pending_.empty()) return true;
  std::string sql = "UPDATE " + QuoteIdentifier(record_source_) + " SET ";
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += fmt::format("{} = ?{}", QuoteIdentifier(columns_[pending_[i].first]), i + 1);
  }
  sql += fmt::format(" WHERE rowid = ?{}", pending_.size() + 1);
  connection_->EndRead();
  auto statement = connection_->Prepare(sql);
  if (!statement) return false;
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    if (!statement->Bind(static_cast<int>(i) + 1, pending_[i].second)) return false;
  }
  const std::int64_t rowid = current_->rowid;
  if (!statement->BindInteger(static_cast<int>(pending_.size()) + 1, rowid)) return false;
  auto done = statement->Step();
  pending_.clear();
  if (!done) return false;
  // Read the stored record back, so the fields show what the database now holds.
  Statement* reread = Prepared("rowid", "WHERE rowid = ?1");
  if (reread != nullptr && !reread->BindInteger(1, rowid)) reread = nullptr;
  Position(reread, false);
  return true;
}

std::optional<std::int64_t> Table::DataVersion() {
  if (!IsOpen()) return std::nullopt;
  // A shared snapshot still open would show the mark it began with.
  connection_->EndRead();
  return connection_->DataVersion();
}

}  // namespace torvane::db
