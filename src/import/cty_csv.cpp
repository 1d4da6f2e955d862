#include "import/cty_csv.h"

#include "import/import_guard.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

#include "core/files.h"
#include "core/text.h"

namespace torvane::import {

namespace {

constexpr int kFieldCount = 10;
constexpr int kMaxZone = 99;
constexpr int kMaxDxcc = 32767;  // the prefix links hold 16-bit numbers
constexpr double kMaxTimeOffsetHours = 24;

std::optional<double> ParseDouble(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> ParseInteger(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
      value > high) {
    return std::nullopt;
  }
  return value;
}

// cty writes longitudes west positive; the database keeps them east positive. Adding 0.0 turns
// the -0.0 of a zero longitude into 0.0.
double EastPositive(double west_positive) { return -west_positive + 0.0; }

bool IsKeyCharacter(char c) { return text::IsLetter(c) || text::IsDigit(c) || c == '/'; }

bool IsContinent(std::string_view text) {
  return text.size() == 2 && text::IsLetter(text[0]) && text::IsLetter(text[1]);
}

// The text between `open` at the front of `rest` and the next `close`; advances `rest` past it.
bool TakeBracketed(std::string_view& rest, char close, std::string_view& inside) {
  const std::size_t end = rest.find(close, 1);
  if (end == std::string_view::npos) return false;
  inside = rest.substr(1, end - 1);
  rest.remove_prefix(end + 1);
  return true;
}

struct LineReader {
  std::string_view source;
  int line;

  Error Fail(std::string_view what) const {
    return Error{0, fmt::format("{} line {}: {}", source, line, what), "Torvane.Import"};
  }
};

Result<CtyEntity> ParseLine(std::string_view line_text, const LineReader& reader) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line_text.find(',', start);
    fields.push_back(text::Trim(line_text.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() != kFieldCount) {
    return reader.Fail(
        fmt::format("expected {} comma-separated fields, found {}", kFieldCount, fields.size()));
  }

  CtyEntity entity;
  entity.line = reader.line;
  entity.primary_prefix = std::string(fields[0]);
  std::string_view primary = fields[0];
  if (!primary.empty() && primary.front() == '*') primary.remove_prefix(1);
  if (primary.empty()) return reader.Fail("the primary prefix is empty");
  for (char c : primary) {
    if (!IsKeyCharacter(c)) {
      return reader.Fail(fmt::format("the primary prefix \"{}\" holds '{}'", fields[0], c));
    }
  }
  entity.country = std::string(fields[1]);
  if (entity.country.empty()) return reader.Fail("the country name is empty");

  const auto dxcc = ParseInteger(fields[2], 1, kMaxDxcc);
  if (!dxcc) return reader.Fail(fmt::format("\"{}\" is not a DXCC entity number", fields[2]));
  entity.dxcc = *dxcc;
  if (!IsContinent(fields[3])) {
    return reader.Fail(fmt::format("\"{}\" is not a two-letter continent", fields[3]));
  }
  entity.continent = std::string(fields[3]);
  const auto cq_zone = ParseInteger(fields[4], 1, kMaxZone);
  if (!cq_zone) return reader.Fail(fmt::format("\"{}\" is not a CQ zone", fields[4]));
  const auto itu_zone = ParseInteger(fields[5], 1, kMaxZone);
  if (!itu_zone) return reader.Fail(fmt::format("\"{}\" is not an ITU zone", fields[5]));
  entity.cq_zone = *cq_zone;
  entity.itu_zone = *itu_zone;

  const auto latitude = ParseDouble(fields[6]);
  if (!latitude || std::fabs(*latitude) > 90) {
    return reader.Fail(fmt::format("\"{}\" is not a latitude", fields[6]));
  }
  const auto longitude = ParseDouble(fields[7]);
  if (!longitude || std::fabs(*longitude) > 180) {
    return reader.Fail(fmt::format("\"{}\" is not a longitude", fields[7]));
  }
  const auto offset = ParseDouble(fields[8]);
  if (!offset || std::fabs(*offset) > kMaxTimeOffsetHours) {
    return reader.Fail(fmt::format("\"{}\" is not a time offset in hours", fields[8]));
  }
  entity.latitude_deg = *latitude;
  entity.longitude_deg = EastPositive(*longitude);
  entity.time_offset_hours = *offset;

  std::string_view aliases = fields[9];
  if (aliases.empty() || aliases.back() != ';') {
    return reader.Fail("the alias list does not end with ';'");
  }
  aliases.remove_suffix(1);
  std::size_t at = 0;
  while (at < aliases.size()) {
    if (aliases[at] == ' ' || aliases[at] == '\t') {
      ++at;
      continue;
    }
    std::size_t end = aliases.find_first_of(" \t", at);
    if (end == std::string_view::npos) end = aliases.size();
    const std::string_view token = aliases.substr(at, end - at);
    CtyAlias alias;
    std::string error;
    if (!ParseCtyAlias(token, alias, error)) {
      return reader.Fail(fmt::format("alias \"{}\": {}", token, error));
    }
    entity.aliases.push_back(std::move(alias));
    at = end;
  }
  return entity;
}

}  // namespace

std::string CtyEntity::MasterPrefix() const {
  std::string_view primary = primary_prefix;
  if (!primary.empty() && primary.front() == '*') primary.remove_prefix(1);
  return text::ToUpper(primary);
}

bool ParseCtyAlias(std::string_view token, CtyAlias& alias, std::string& error) {
  alias = CtyAlias{};
  std::string_view rest = token;
  if (!rest.empty() && rest.front() == '=') {
    alias.exact = true;
    rest.remove_prefix(1);
  }
  const std::size_t markers = rest.find_first_of("([<{~");
  const std::string_view key = rest.substr(0, markers);
  if (key.empty()) {
    error = "no prefix or call";
    return false;
  }
  for (char c : key) {
    if (!IsKeyCharacter(c)) {
      error = fmt::format("'{}' cannot be part of a prefix or call", c);
      return false;
    }
  }
  alias.key = text::ToUpper(key);
  rest.remove_prefix(key.size());

  // Markers may come in any order, each at most once.
  while (!rest.empty()) {
    const char open = rest.front();
    std::string_view inside;
    switch (open) {
      case '(':
      case '[': {
        const char close = open == '(' ? ')' : ']';
        std::optional<int>& target = open == '(' ? alias.cq_zone : alias.itu_zone;
        if (!TakeBracketed(rest, close, inside)) {
          error = fmt::format("'{}' is not closed", open);
          return false;
        }
        if (target) {
          error = fmt::format("two {} zones", open == '(' ? "CQ" : "ITU");
          return false;
        }
        target = ParseInteger(inside, 1, kMaxZone);
        if (!target) {
          error = fmt::format("\"{}\" is not a zone", inside);
          return false;
        }
        break;
      }
      case '<': {
        if (!TakeBracketed(rest, '>', inside)) {
          error = "'<' is not closed";
          return false;
        }
        const std::size_t slash = inside.find('/');
        const auto latitude =
            slash == std::string_view::npos ? std::nullopt : ParseDouble(inside.substr(0, slash));
        const auto longitude =
            slash == std::string_view::npos ? std::nullopt : ParseDouble(inside.substr(slash + 1));
        if (!latitude || !longitude || std::fabs(*latitude) > 90 || std::fabs(*longitude) > 180) {
          error = fmt::format("\"{}\" is not a latitude/longitude pair", inside);
          return false;
        }
        if (alias.latitude_deg) {
          error = "two positions";
          return false;
        }
        alias.latitude_deg = *latitude;
        alias.longitude_deg = EastPositive(*longitude);
        break;
      }
      case '{': {
        if (!TakeBracketed(rest, '}', inside)) {
          error = "'{' is not closed";
          return false;
        }
        if (!IsContinent(inside)) {
          error = fmt::format("\"{}\" is not a two-letter continent", inside);
          return false;
        }
        if (alias.continent) {
          error = "two continents";
          return false;
        }
        alias.continent = std::string(inside);
        break;
      }
      case '~': {
        if (!TakeBracketed(rest, '~', inside)) {
          error = "'~' is not closed";
          return false;
        }
        const auto offset = ParseDouble(inside);
        if (!offset || std::fabs(*offset) > kMaxTimeOffsetHours) {
          error = fmt::format("\"{}\" is not a time offset in hours", inside);
          return false;
        }
        if (alias.time_offset_hours) {
          error = "two time offsets";
          return false;
        }
        alias.time_offset_hours = *offset;
        break;
      }
      default:
        error = fmt::format("'{}' after the markers", open);
        return false;
    }
  }
  return true;
}

Result<std::vector<CtyEntity>> ParseCtyCsv(std::string_view text, std::string_view source) {
  std::vector<CtyEntity> entities;
  int line_number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (text::Trim(line).empty()) continue;
    auto entity = ParseLine(line, LineReader{source, line_number});
    if (!entity) return entity.error();
    entities.push_back(std::move(*entity));
  }
  if (entities.empty()) {
    return Error{0, fmt::format("{}: no entities", source), "Torvane.Import"};
  }
  return entities;
}

// AD1C's file is about 350 kB; a hundred times that is not a cty.csv.
constexpr std::uintmax_t kMaximumCtyBytes = 32 * 1024 * 1024;

Result<std::vector<CtyEntity>> ReadCtyCsv(const std::string& path) {
  auto text = ReadReferenceFile(path, kMaximumCtyBytes);
  if (!text) return text.error();
  return ParseCtyCsv(*text, path);
}

}  // namespace torvane::import
