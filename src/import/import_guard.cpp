#include "import/import_guard.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace torvane::import {

namespace {

constexpr const char* kErrorSource = "Torvane.Import";

Result<std::int64_t> CountRows(const db::Connection& connection, const std::string& table) {
  auto count = connection.Prepare("SELECT COUNT(*) FROM " + db::QuoteIdentifier(table));
  if (!count) return count.error();
  auto stepped = count->Step();
  if (!stepped) return stepped.error();
  return *stepped ? count->ColumnInteger(0) : 0;
}

}  // namespace

Status CheckLineLength(std::string_view line, std::string_view source,
                       std::uint64_t line_number) {
  if (line.size() <= kMaximumLineLength) return Status::Ok();
  return Error{0,
               fmt::format("{} line {} is longer than {} bytes: not a reference file", source,
                           line_number, kMaximumLineLength),
               kErrorSource};
}

Result<std::string> ReadReferenceFile(const std::string& path, std::uintmax_t maximum_bytes) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    const int failure = errno;
    return Error{failure, fmt::format("cannot read {}: {}", path, std::strerror(failure)),
                 kErrorSource};
  }
  if (!S_ISREG(status.st_mode)) {
    return Error{0, fmt::format("{} is not a regular file", path), kErrorSource};
  }
  if (static_cast<std::uintmax_t>(status.st_size) > maximum_bytes) {
    return Error{0,
                 fmt::format("{} has {} bytes, more than the {} such a file can have", path,
                             status.st_size, maximum_bytes),
                 kErrorSource};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return Error{0, fmt::format("cannot read {}", path), kErrorSource};
  // No more than was measured: a file that grows while it is read is cut there.
  std::string text(static_cast<std::size_t>(status.st_size), '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad()) return Error{0, fmt::format("cannot read {}", path), kErrorSource};
  text.resize(static_cast<std::size_t>(file.gcount()));
  std::uint64_t line_number = 1;
  std::size_t line_start = 0;
  while (line_start <= text.size()) {
    std::size_t line_end = text.find('\n', line_start);
    if (line_end == std::string::npos) line_end = text.size();
    const std::string_view line(text.data() + line_start, line_end - line_start);
    if (Status fits = CheckLineLength(line, path, line_number); !fits) return fits.error();
    line_start = line_end + 1;
    ++line_number;
  }
  return text;
}

Result<ShrinkGuard> ShrinkGuard::Before(const db::Connection& connection, std::string table,
                                        bool force) {
  auto rows = CountRows(connection, table);
  if (!rows) return rows.error();
  return ShrinkGuard(std::move(table), *rows, force);
}

Status ShrinkGuard::After(const db::Connection& connection) const {
  auto rows = CountRows(connection, table_);
  if (!rows) return rows.error();
  return Check(*rows);
}

Status ShrinkGuard::Check(std::int64_t new_rows) const {
  if (force_ || rows_before_ < kGuardedRows || new_rows * 2 >= rows_before_) {
    return Status::Ok();
  }
  return Error{0,
               fmt::format("the import would leave {} of the {} rows of table {}; a truncated "
                           "file is the likely cause (--force imports it anyway)",
                           new_rows, rows_before_, table_),
               kErrorSource};
}

}  // namespace torvane::import
