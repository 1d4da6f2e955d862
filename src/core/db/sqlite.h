#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"
#include "torvane/variant.h"

namespace torvane::db {

struct CloseDatabase {
  void operator()(sqlite3* handle) const noexcept { sqlite3_close_v2(handle); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* handle) const noexcept { sqlite3_finalize(handle); }
};

class Statement;

// How SQLite stores a value.
enum class Storage : std::uint8_t { kNull, kInteger, kReal, kText, kBlob };

// The type affinity SQLite gives a declared column type.
enum class Affinity { kInteger, kText, kBlob, kReal, kNumeric };
Affinity AffinityOf(std::string_view declared_type);

// A column as the schema declares it.
struct ColumnDeclaration {
  std::string type;       // as written, "" when none
  std::string collation;  // "BINARY" when none is named
};

// One open SQLite database file.
class Connection {
 public:
  enum class Mode { kReadWrite, kCreate };

  // kReadWrite never creates a file: a missing database is an error, not a new empty file.
  static Result<Connection> Open(const std::string& path, Mode mode);

  const std::string& path() const { return path_; }
  sqlite3* handle() const { return handle_.get(); }

  Status Execute(std::string_view sql);  // one or more statements, no results
  Result<Statement> Prepare(std::string_view sql) const;

  // Reads share one snapshot for a short while instead of taking and dropping the file's
  // locks around every statement (a system call each, which dominates an indexed seek).
  // Changes by other processes show within kSnapshotAge, like the engine the service
  // replaces, which also cached shared reads. Call before reading.
  void BeginRead();
  // Ends the shared snapshot; call before writing so that the write commits at once.
  void EndRead();
  // Changes whenever a snapshot ends: what was read under an older value may be stale.
  std::uint64_t snapshot() const { return snapshot_; }
  // SQLite's data_version: changes when another connection commits to the file. Writes made
  // through this connection leave it as it was. No value when it cannot be read.
  std::optional<std::int64_t> DataVersion() const;

  // The declaration of a column of a table of the main database; no value when there is no
  // such column.
  std::optional<ColumnDeclaration> Declaration(const std::string& table,
                                               const std::string& column) const;

  // An Error describing the connection's last failure.
  Error LastError(int code, std::string_view what) const;

 private:
  Connection(std::string path, sqlite3* handle) : path_(std::move(path)), handle_(handle) {}

  static constexpr std::chrono::milliseconds kSnapshotAge{1000};

  std::string path_;
  std::unique_ptr<sqlite3, CloseDatabase> handle_;
  bool reading_ = false;
  std::uint64_t snapshot_ = 0;
  std::chrono::steady_clock::time_point read_since_;
};

// One column of a statement's current row: one column call, then the value's own accessors,
// which cost a good deal less than a column call each. Valid until the statement steps or
// resets.
class ColumnValue {
 public:
  explicit ColumnValue(sqlite3_value* value) : value_(value) {}
  Storage storage() const;
  // The bytes of a text or blob value.
  std::string_view Bytes() const;
  std::int64_t Integer() const { return sqlite3_value_int64(value_); }

 private:
  sqlite3_value* value_;
};

// A prepared statement. Step() returns true while a row is available.
class Statement {
 public:
  explicit Statement(sqlite3_stmt* handle) : handle_(handle) {}

  // Text is copied unless `lifetime` is kUntilReset: then the caller keeps it alive until
  // the statement is reset.
  enum class Lifetime { kCopy, kUntilReset };
  Status Bind(int index, const Variant& value, Lifetime lifetime = Lifetime::kCopy);
  Status BindText(int index, std::string_view value, Lifetime lifetime = Lifetime::kCopy);
  Status BindInteger(int index, std::int64_t value);
  Result<bool> Step();
  void Reset() noexcept;

  // Copies the column into `target` reusing its storage; false for Null.
  bool ReadColumn(int index, Variant& target) const;
  // As ReadColumn, and says how the value is stored.
  Storage ReadStoredColumn(int index, Variant& target) const;
  Storage ColumnStorage(int index) const;
  ColumnValue Column(int index) const {
    return ColumnValue(sqlite3_column_value(handle_.get(), index));
  }
  int ColumnCount() const { return sqlite3_column_count(handle_.get()); }
  std::int64_t ColumnInteger(int index) const;
  std::string ColumnText(int index) const;

 private:
  Error Failure(int code, std::string_view what) const;

  std::unique_ptr<sqlite3_stmt, FinalizeStatement> handle_;
};

// Rolls back in its destructor unless committed.
class Transaction {
 public:
  explicit Transaction(Connection& connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  Status Begin();
  Status Commit();

 private:
  Connection& connection_;
  bool active_ = false;
};

// "name" with embedded quotes doubled, for identifiers that come from our own code.
std::string QuoteIdentifier(std::string_view name);

}  // namespace torvane::db
