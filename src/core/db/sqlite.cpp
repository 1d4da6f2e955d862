#include "core/db/sqlite.h"

#include <fmt/format.h>

#include <limits>

#include "core/text.h"

namespace torvane::db {

namespace {

constexpr int kBusyTimeoutMs = 5000;

// The value's bytes; the hot lookups read the same fields call after call, so callers reuse
// their text storage.
std::string_view ValueView(sqlite3_value* value) {
  const auto* bytes = static_cast<const char*>(sqlite3_value_blob(value));
  const auto size = static_cast<std::size_t>(sqlite3_value_bytes(value));
  return std::string_view(bytes != nullptr ? bytes : "", size);
}

}  // namespace

Result<Connection> Connection::Open(const std::string& path, Mode mode) {
  sqlite3* raw = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (mode == Mode::kCreate) flags |= SQLITE_OPEN_CREATE;
  const int code = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  Connection connection(path, raw);
  if (code != SQLITE_OK) {
    const char* message = raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(code);
    return Error{code, fmt::format("{}: {}", message, path), "Torvane.Database"};
  }
  sqlite3_extended_result_codes(raw, 0);
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  return connection;
}

void Connection::BeginRead() {
  const auto now = std::chrono::steady_clock::now();
  if (reading_ && now - read_since_ < kSnapshotAge) return;
  EndRead();
  // Deferred: the snapshot is taken by the first read.
  if (sqlite3_exec(handle_.get(), "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK) {
    reading_ = true;
    read_since_ = now;
  }
}

void Connection::EndRead() {
  if (!reading_) return;
  reading_ = false;
  ++snapshot_;
  if (sqlite3_get_autocommit(handle_.get()) == 0) {
    sqlite3_exec(handle_.get(), "COMMIT", nullptr, nullptr, nullptr);
  }
}

std::optional<std::int64_t> Connection::DataVersion() const {
  auto statement = Prepare("PRAGMA data_version");
  if (!statement) return std::nullopt;
  auto row = statement->Step();
  if (!row || !*row) return std::nullopt;
  return statement->ColumnInteger(0);
}

Affinity AffinityOf(std::string_view declared_type) {
  const std::string type = text::ToUpper(declared_type);
  const auto has = [&](std::string_view part) { return type.find(part) != std::string::npos; };
  if (has("INT")) return Affinity::kInteger;
  if (has("CHAR") || has("CLOB") || has("TEXT")) return Affinity::kText;
  if (has("BLOB") || type.empty()) return Affinity::kBlob;
  if (has("REAL") || has("FLOA") || has("DOUB")) return Affinity::kReal;
  return Affinity::kNumeric;
}

std::optional<ColumnDeclaration> Connection::Declaration(const std::string& table,
                                                        const std::string& column) const {
  const char* type = nullptr;
  const char* collation = nullptr;
  if (sqlite3_table_column_metadata(handle_.get(), "main", table.c_str(), column.c_str(), &type,
                                    &collation, nullptr, nullptr, nullptr) != SQLITE_OK) {
    return std::nullopt;
  }
  return ColumnDeclaration{type != nullptr ? type : "", collation != nullptr ? collation : "BINARY"};
}

Error Connection::LastError(int code, std::string_view what) const {
  return Error{code, fmt::format("{} ({}): {}", sqlite3_errmsg(handle_.get()), what, path_),
               "Torvane.Database"};
}

Status Connection::Execute(std::string_view sql) {
  const std::string copy(sql);
  char* message = nullptr;
  const int code = sqlite3_exec(handle_.get(), copy.c_str(), nullptr, nullptr, &message);
  if (code == SQLITE_OK) return Status::Ok();
  std::string text = message != nullptr ? message : sqlite3_errstr(code);
  sqlite3_free(message);
  return Error{code, fmt::format("{}: {}", text, path_), "Torvane.Database"};
}

Result<Statement> Connection::Prepare(std::string_view sql) const {
  sqlite3_stmt* raw = nullptr;
  const int code = sqlite3_prepare_v3(handle_.get(), sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  if (code != SQLITE_OK) {
    sqlite3_finalize(raw);
    return LastError(code, "prepare");
  }
  return Statement(raw);
}

Error Statement::Failure(int code, std::string_view what) const {
  sqlite3* database = sqlite3_db_handle(handle_.get());
  return Error{code, fmt::format("{} ({})", sqlite3_errmsg(database), what), "Torvane.Database"};
}

Status Statement::Bind(int index, const Variant& value, Lifetime lifetime) {
  int code = SQLITE_OK;
  switch (value.type()) {
    case Variant::Type::kEmpty:
      code = sqlite3_bind_null(handle_.get(), index);
      break;
    case Variant::Type::kBool:
      code = sqlite3_bind_int(handle_.get(), index, *value.AsBool() ? -1 : 0);
      break;
    case Variant::Type::kInt16:
    case Variant::Type::kInt32:
      code = sqlite3_bind_int(handle_.get(), index, *value.AsInteger());
      break;
    case Variant::Type::kDouble:
      code = sqlite3_bind_double(handle_.get(), index, *value.AsDouble());
      break;
    case Variant::Type::kString:
      return BindText(index, *value.AsText(), lifetime);
    case Variant::Type::kArray:
      return Error{SQLITE_MISMATCH, "an array cannot be stored in a field", "Torvane.Database"};
  }
  if (code != SQLITE_OK) return Failure(code, "bind");
  return Status::Ok();
}

Status Statement::BindText(int index, std::string_view value, Lifetime lifetime) {
  const int code =
      sqlite3_bind_text(handle_.get(), index, value.data(), static_cast<int>(value.size()),
                        lifetime == Lifetime::kUntilReset ? SQLITE_STATIC : SQLITE_TRANSIENT);
  if (code != SQLITE_OK) return Failure(code, "bind");
  return Status::Ok();
}

Status Statement::BindInteger(int index, std::int64_t value) {
  const int code = sqlite3_bind_int64(handle_.get(), index, value);
  if (code != SQLITE_OK) return Failure(code, "bind");
  return Status::Ok();
}

Result<bool> Statement::Step() {
  const int code = sqlite3_step(handle_.get());
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  Error error = Failure(code, "step");
  sqlite3_reset(handle_.get());
  return error;
}

void Statement::Reset() noexcept {
  sqlite3_reset(handle_.get());
  sqlite3_clear_bindings(handle_.get());
}

bool Statement::ReadColumn(int index, Variant& target) const {
  return ReadStoredColumn(index, target) != Storage::kNull;
}

Storage Statement::ReadStoredColumn(int index, Variant& target) const {
  // One column fetch, then the value's own accessors: cheaper than a column call each.
  sqlite3_value* value = sqlite3_column_value(handle_.get(), index);
  switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
      return Storage::kNull;
    case SQLITE_INTEGER: {
      const std::int64_t number = sqlite3_value_int64(value);
      if (number >= std::numeric_limits<std::int32_t>::min() &&
          number <= std::numeric_limits<std::int32_t>::max()) {
        target = Variant(static_cast<std::int32_t>(number));
      } else {
        target = Variant(static_cast<double>(number));
      }
      return Storage::kInteger;
    }
    case SQLITE_FLOAT:
      target = Variant(sqlite3_value_double(value));
      return Storage::kReal;
    case SQLITE_TEXT:
      target.AssignText(ValueView(value));
      return Storage::kText;
    default:
      target.AssignText(ValueView(value));
      return Storage::kBlob;
  }
}

Storage Statement::ColumnStorage(int index) const {
  switch (sqlite3_column_type(handle_.get(), index)) {
    case SQLITE_NULL: return Storage::kNull;
    case SQLITE_INTEGER: return Storage::kInteger;
    case SQLITE_FLOAT: return Storage::kReal;
    case SQLITE_TEXT: return Storage::kText;
    default: return Storage::kBlob;
  }
}

Storage ColumnValue::storage() const {
  switch (sqlite3_value_type(value_)) {
    case SQLITE_NULL: return Storage::kNull;
    case SQLITE_INTEGER: return Storage::kInteger;
    case SQLITE_FLOAT: return Storage::kReal;
    case SQLITE_TEXT: return Storage::kText;
    default: return Storage::kBlob;
  }
}

std::string_view ColumnValue::Bytes() const { return ValueView(value_); }

std::int64_t Statement::ColumnInteger(int index) const {
  return sqlite3_column_int64(handle_.get(), index);
}

std::string Statement::ColumnText(int index) const {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(handle_.get(), index));
  return bytes != nullptr ? std::string(bytes) : std::string();
}

Transaction::Transaction(Connection& connection) : connection_(connection) {}

Transaction::~Transaction() {
  if (active_) connection_.Execute("ROLLBACK");
}

Status Transaction::Begin() {
  connection_.EndRead();
  Status status = connection_.Execute("BEGIN IMMEDIATE");
  active_ = status.ok();
  return status;
}

Status Transaction::Commit() {
  Status status = connection_.Execute("COMMIT");
  if (status.ok()) active_ = false;
  return status;
}

std::string QuoteIdentifier(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

}  // namespace torvane::db
