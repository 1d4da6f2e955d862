#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <unordered_map>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/sqlite.h"
#include "core/result.h"
#include "torvane/variant.h"

namespace torvane::db {

// One table slot: a named table of a database file with one current index and one current
// record, offering exactly the record operations the service uses. Text keys and criteria
// compare without regard to case (the schema declares text columns COLLATE NOCASE). Table
// order is rowid order. Operations on a closed table fail quietly: positioning finds nothing,
// fields read as no value, writes are refused.
class Table {
 public:
  explicit Table(std::string slot_name) : slot_name_(std::move(slot_name)) {}

  const std::string& slot_name() const { return slot_name_; }
  void SetDatabaseName(std::string path) { database_name_ = std::move(path); }
  void SetRecordSource(std::string table) { record_source_ = std::move(table); }
  const std::string& DatabaseName() const { return database_name_; }
  const std::string& RecordSource() const { return record_source_; }
  // The file the open table reads, as it was found on disk; empty when closed.
  std::string ConnectionPath() const { return connection_ ? connection_->path() : std::string(); }

  // (Re)opens the record source on the connection. On failure the slot stays closed.
  Status Open(std::shared_ptr<Connection> connection);
  void Close();
  bool IsOpen() const { return connection_ != nullptr; }

  // Makes the named index current: an index of that name on this table, or one named
  // "<table>_<name>" (index names are per database in SQLite); "PrimaryKey" is the table's
  // primary key. False, with the current index unchanged, when there is none.
  bool SetIndex(std::string_view name);
  const std::string& CurrentIndex() const { return index_name_; }

  // Positions on the first record (in table order) whose current-index key equals `key`.
  bool Seek(const Variant& key);
  // Positions on the first or last record whose `field` equals `value`.
  bool FindFirst(std::string_view field, const Variant& value);
  bool FindLast(std::string_view field, const Variant& value);
  // The outcome of the last Seek or find: true when it found nothing.
  bool NoMatch() const { return no_match_; }

  bool MoveFirst();
  bool MoveNext();
  bool MoveLast();
  bool Eof() const { return eof_; }
  // True while the table stands on a record (after a successful positioning).
  bool HasRecord() const { return has_record_; }

  // The named field (any letter case) of the current record; nullptr for Null, for an
  // unknown field and when there is no current record. Valid until the table moves.
  const Variant* Field(std::string_view name) const;
  // How the named field of the current record is stored: a blob reads as text through Field
  // but never equals a text key. kNull also for an unknown field and when there is no record.
  Storage FieldStorage(std::string_view name) const;

  // Visits every record in table order with the table standing on it, until `visit` answers
  // false. False when the table was not read to its end. The table stands on no record
  // afterwards.
  bool ForEachRecord(const std::function<bool(const Table&)>& visit);

  // One record of a ForEachRow scan: the chosen columns, numbered from 0, straight from the
  // statement. Valid only during the visit.
  class RowView {
   public:
    explicit RowView(const Statement& statement) : statement_(statement) {}
    ColumnValue At(int column) const { return statement_.Column(column); }
    // The value as Field gives it; no value for Null.
    std::optional<Variant> ValueAt(int column) const {
      Variant value;
      if (statement_.ReadStoredColumn(column, value) == Storage::kNull) return std::nullopt;
      return value;
    }

   private:
    const Statement& statement_;
  };

  // The largest rowid: as many records as that unless rows were removed or their rowids
  // chosen, found without reading them all. No value for an empty table, or one without
  // rowids or that cannot be read.
  std::optional<std::int64_t> LastRowid();

  // Visits the named columns of every record in table order, until `visit` answers false;
  // for scans of many records that keep little of each. False when a column is unknown or
  // the table was not read to its end.
  bool ForEachRow(const std::vector<std::string>& columns,
                  const std::function<bool(const RowView&)>& visit);

  // The column of the current index, as the schema spells it; empty without an index.
  const std::string& IndexColumn() const { return index_column_; }
  // The declared type and collation of a column of the record source.
  std::optional<ColumnDeclaration> Declaration(std::string_view column) const;

  // Edit, then SetField for each change, then Update stores them in the current record.
  bool Edit();
  bool SetField(std::string_view name, Variant value);
  bool Update();

  // The database file's change mark (Connection::DataVersion), for callers that keep what
  // they read: it moves when another connection commits. Ends the shared snapshot, so that
  // the mark is current. No value on a closed table.
  std::optional<std::int64_t> DataVersion();


 private:
  struct Record {
    std::int64_t rowid = 0;
    std::vector<Variant> values;
    std::vector<Storage> storage;
  };

  std::optional<std::size_t> ColumnIndex(std::string_view name) const;
  // Copies the statement's row (rowid first, then the columns) into `target`.
  void Read(const Statement& statement, Record& target) const;
  Statement* Prepared(const std::string& cache_key, const std::string& where_and_order);
  // Steps the statement into `target` and makes it the current record when a row came.
  bool Position(Statement* statement, bool set_no_match, Record& target);
  bool Position(Statement* statement, bool set_no_match) {
    return Position(statement, set_no_match, scratch_);
  }
  void ClearSeekCache();
  std::optional<std::string> IndexKeyColumn(std::string_view name);

  std::string slot_name_;
  std::string database_name_;
  std::string record_source_;
  std::shared_ptr<Connection> connection_;
  std::vector<std::string> columns_;
  std::string select_list_;  // "SELECT rowid, <columns> FROM <table> "

  std::string index_name_;
  std::string index_column_;
  Statement* seek_statement_ = nullptr;  // prepared when the index is chosen
  std::map<std::string, std::unique_ptr<Statement>, std::less<>> statements_;

  Record scratch_;                  // the record of scans, finds and re-reads
  const Record* current_ = nullptr;  // scratch_ or a cached seek result
  bool has_record_ = false;

  // Seek results of the connection's current snapshot, which cannot change while it lasts:
  // the hot lookups probe the same keys and follow the same links call after call.
  std::uint64_t cached_snapshot_ = 0;
  std::deque<Record> cached_records_;
  std::unordered_map<std::string, const Record*> cached_seeks_;  // nullptr: no match
  std::string seek_key_;
  bool no_match_ = true;
  bool eof_ = true;

  bool editing_ = false;
  std::vector<std::pair<std::size_t, Variant>> pending_;
};

}  // namespace torvane::db
