#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/db/sqlite.h"
#include "core/result.h"

namespace torvane::import {

// The longest line of the reference files is cty.csv's list of United States keys, about
// 70 kB; a line of more than a megabyte means the file is not what it claims to be.
inline constexpr std::size_t kMaximumLineLength = 1024 * 1024;

// The whole of a reference file, refused in words when it is not a regular file (a folder, a
// device such as /dev/zero, a pipe), is larger than `maximum_bytes`, or holds a line longer
// than kMaximumLineLength ("<path> line <n> is longer than ...").
Result<std::string> ReadReferenceFile(const std::string& path, std::uintmax_t maximum_bytes);

// Refuses a line that is too long, naming the file and the line.
Status CheckLineLength(std::string_view line, std::string_view source, std::uint64_t line_number);

// Guards a table that an import empties and fills again inside its transaction: counts its
// rows before, and refuses the new content when it holds fewer than half of them and there
// were at least kGuardedRows (a truncated download must not wipe the data), unless forced.
class ShrinkGuard {
 public:
  static constexpr std::int64_t kGuardedRows = 1000;

  static Result<ShrinkGuard> Before(const db::Connection& connection, std::string table,
                                    bool force);
  Status After(const db::Connection& connection) const;
  // For a database that is built elsewhere and replaces this one as a whole.
  Status Check(std::int64_t new_rows) const;

 private:
  ShrinkGuard(std::string table, std::int64_t rows_before, bool force)
      : table_(std::move(table)), rows_before_(rows_before), force_(force) {}

  std::string table_;
  std::int64_t rows_before_;
  bool force_;
};

}  // namespace torvane::import
