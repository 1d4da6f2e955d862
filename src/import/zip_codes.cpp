#include "import/zip_codes.h"

#include "import/import_guard.h"

#include <fmt/format.h>

#include <sstream>
#include <optional>

#include "core/text.h"
#include "torvane/variant.h"

namespace torvane::import {

namespace {

constexpr const char* kErrorSource = "Torvane.ZipImport";
constexpr std::size_t kRejectedQuoted = 5;

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(text::Trim(line.substr(start, tab == std::string_view::npos ? tab : tab - start)));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

std::optional<std::size_t> Column(const std::vector<std::string_view>& header, std::string_view name) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (text::EqualsIgnoreCase(header[i], name)) return i;
  }
  return std::nullopt;
}

}  // namespace

// The Census gazetteer is about 4 MB.
constexpr std::uintmax_t kMaximumGazetteerBytes = 256 * 1024 * 1024;

Result<ZipImportSummary> ImportZipCodes(db::Connection& connection, const std::string& path,
                                        bool force) {
  auto text = ReadReferenceFile(path, kMaximumGazetteerBytes);
  if (!text) return text.error();
  std::istringstream file(std::move(*text));
  std::string line;
  if (!std::getline(file, line)) return Error{0, fmt::format("{} is empty", path), kErrorSource};
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const auto header = SplitTabs(line);
  const auto zip_column = Column(header, "GEOID");
  const auto latitude_column = Column(header, "INTPTLAT");
  const auto longitude_column = Column(header, "INTPTLONG");
  if (!zip_column || !latitude_column || !longitude_column) {
    return Error{0,
                 fmt::format("{}: line 1 is not a ZCTA gazetteer header (GEOID, INTPTLAT and "
                             "INTPTLONG, separated by tabs)",
                             path),
                 kErrorSource};
  }

  connection.EndRead();
  db::Transaction transaction(connection);
  if (Status begun = transaction.Begin(); !begun) return begun.error();
  auto guard = ShrinkGuard::Before(connection, "zipcodes", force);
  if (!guard) return guard.error();
  if (Status cleared = connection.Execute("DELETE FROM zipcodes"); !cleared) return cleared.error();
  auto insert =
      connection.Prepare("INSERT INTO zipcodes (zip, latitude, longitude) VALUES (?1, ?2, ?3)");
  if (!insert) return insert.error();

  ZipImportSummary summary;
  std::uint64_t line_number = 1;
  while (std::getline(file, line)) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (text::Trim(line).empty()) continue;
    const auto fields = SplitTabs(line);
    const auto field = [&](std::size_t column) {
      return column < fields.size() ? fields[column] : std::string_view();
    };
    const std::string_view zip = field(*zip_column);
    const auto latitude = ParseNumber(field(*latitude_column));
    const auto longitude = ParseNumber(field(*longitude_column));
    const auto zip_value = ParseNumber(zip);
    const char* reason = nullptr;
    if (zip.size() != 5 || !zip_value) {
      reason = "the ZIP code is not five digits";
    } else if (!latitude || !longitude || *latitude < -90 || *latitude > 90 || *longitude < -180 ||
               *longitude > 180) {
      reason = "the position is not a latitude and longitude in degrees";
    }
    if (reason != nullptr) {
      ++summary.rejected;
      if (summary.first_rejected.size() < kRejectedQuoted) {
        summary.first_rejected.push_back(fmt::format("line {}: {}", line_number, reason));
      }
      continue;
    }
    for (Status step : {insert->BindInteger(1, static_cast<std::int64_t>(*zip_value)),
                        insert->Bind(2, Variant(*latitude)), insert->Bind(3, Variant(-*longitude))}) {
      if (!step) return step.error();
    }
    auto stepped = insert->Step();
    insert->Reset();
    if (!stepped) return stepped.error();
    ++summary.rows;
  }
  if (Status kept = guard->After(connection); !kept) return kept.error();
  if (Status committed = transaction.Commit(); !committed) return committed.error();
  return summary;
}

}  // namespace torvane::import
