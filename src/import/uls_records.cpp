#include "import/uls_records.h"

#include "import/import_guard.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "core/code_page.h"
#include "core/text.h"

namespace torvane::import {

namespace {

constexpr std::size_t kChunkBytes = 1 << 20;

// Text that is not UTF-8 is read in the Windows code page, whose upper half is Latin-1's
// where Latin-1 has letters.
void ToUtf8(std::string& record) {
  if (!code_page::IsValidUtf8(record)) record = code_page::Cp1252ToUtf8(record);
}

std::vector<std::string_view> SplitFields(std::string_view record) {
  std::vector<std::string_view> fields;
  fields.reserve(32);
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = record.find('|', start);
    if (bar == std::string_view::npos) {
      fields.push_back(record.substr(start));
      return fields;
    }
    fields.push_back(record.substr(start, bar - start));
    start = bar + 1;
  }
}

std::string Field(const std::vector<std::string_view>& fields, std::size_t index) {
  return index < fields.size() ? std::string(text::Trim(fields[index])) : std::string();
}

std::optional<std::int32_t> ParseUsi(std::string_view text) {
  text = text::Trim(text);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return value;
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return text::IsDigit(c); });
}

bool LooksLikeCall(std::string_view call) {
  return !call.empty() && call.size() <= 10 &&
         std::all_of(call.begin(), call.end(),
                     [](char c) { return text::IsDigit(c) || text::IsLetter(c) || c == '/'; });
}

// The common head of every record: type, licensee key and call sign.
template <typename Row>
bool ParseHead(const std::vector<std::string_view>& fields, std::size_t minimum_fields,
               Row& row, std::string& reason) {
  if (fields.size() < minimum_fields) {
    reason = "has " + std::to_string(fields.size()) + " fields, fewer than " +
             std::to_string(minimum_fields);
    return false;
  }
  const auto usi = ParseUsi(fields[1]);
  if (!usi) {
    reason = "has no licensee number";
    return false;
  }
  row.usi = *usi;
  row.call = text::ToUpper(text::Trim(fields[4]));
  if (!LooksLikeCall(row.call)) {
    reason = "has no call sign";
    return false;
  }
  return true;
}

constexpr std::size_t kEntityFields = 30;

// Fields of an EN record read as positioned; false when they do not look like an address.
bool ReadEntityFields(const std::vector<std::string_view>& fields, UlsEntity& entity) {
  entity.entity_type = Field(fields, 5);
  entity.entity_name = Field(fields, 7);
  entity.first_name = Field(fields, 8);
  entity.middle_initial = Field(fields, 9);
  entity.last_name = Field(fields, 10);
  entity.suffix = Field(fields, 11);
  entity.email = Field(fields, 14);
  entity.street = Field(fields, 15);
  entity.city = Field(fields, 16);
  entity.state = Field(fields, 17);
  entity.zip = Field(fields, 18);
  entity.po_box = Field(fields, 19);
  entity.frn = Field(fields, 22);
  const bool state_ok =
      entity.state.empty() ||
      (entity.state.size() == 2 && text::IsLetter(entity.state[0]) && text::IsLetter(entity.state[1]));
  return entity.middle_initial.size() <= 1 && entity.suffix.size() <= 3 && state_ok &&
         entity.zip.size() <= 9 && AllDigits(entity.zip) && AllDigits(entity.frn);
}

}  // namespace

UlsRecordReader::UlsRecordReader(UlsMemberReader& member, std::string_view record_type,
                                 std::function<void(std::uint64_t)> on_bytes)
    : member_(member), prefix_(std::string(record_type) + "|"), on_bytes_(std::move(on_bytes)) {
  buffer_.resize(kChunkBytes);
}

Result<bool> UlsRecordReader::NextLine(std::string& line) {
  line.clear();
  while (true) {
    const char* start = buffer_.data() + begin_;
    const char* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (newline != nullptr) {
      line.append(start, static_cast<std::size_t>(newline - start));
      begin_ = static_cast<std::size_t>(newline - buffer_.data()) + 1;
      break;
    }
    line.append(start, end_ - begin_);
    begin_ = end_ = 0;
    if (Status fits = CheckLineLength(line, member_.name(), lines_read_ + 1); !fits) {
      return fits.error();
    }
    if (at_end_) {
      if (line.empty()) return false;
      break;
    }
    auto read = member_.Read(buffer_.data(), buffer_.size());
    if (!read) return read.error();
    if (on_bytes_) on_bytes_(*read);
    end_ = *read;
    if (end_ == 0) at_end_ = true;
  }
  ++lines_read_;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

Result<bool> UlsRecordReader::Next(std::string& record, std::uint64_t& line_number) {
  std::string line;
  while (true) {
    auto more = NextLine(line);
    if (!more) return more.error();
    if (!*more) break;
    if (line.empty()) continue;
    if (line.starts_with(prefix_) || !has_pending_) {
      const bool emit = has_pending_;
      if (emit) {
        record.swap(pending_);
        line_number = pending_line_;
      }
      pending_ = std::move(line);
      pending_line_ = lines_read_;
      has_pending_ = true;
      if (emit) {
        ToUtf8(record);
        return true;
      }
    } else {
      pending_ += ' ';
      pending_ += line;
    }
  }
  if (!has_pending_) return false;
  has_pending_ = false;
  record.swap(pending_);
  line_number = pending_line_;
  ToUtf8(record);
  return true;
}

std::optional<UlsHeader> ParseHeader(std::string_view record, std::string& reason) {
  const auto fields = SplitFields(record);
  UlsHeader header;
  if (!ParseHead(fields, 10, header, reason)) return std::nullopt;
  header.status = Field(fields, 5);
  header.granted = Field(fields, 7);
  header.expires = Field(fields, 8);
  header.cancelled = Field(fields, 9);
  return header;
}

std::optional<UlsAmateur> ParseAmateur(std::string_view record, std::string& reason) {
  const auto fields = SplitFields(record);
  UlsAmateur amateur;
  if (!ParseHead(fields, 17, amateur, reason)) return std::nullopt;
  amateur.operator_class = Field(fields, 5);
  amateur.group_code = Field(fields, 6);
  amateur.region_code = Field(fields, 7);
  amateur.trustee_call = Field(fields, 8);
  amateur.previous_call = Field(fields, 15);
  amateur.previous_class = Field(fields, 16);
  if (amateur.operator_class.size() > 1) {
    reason = "has an operator class of more than one letter";
    return std::nullopt;
  }
  return amateur;
}

std::optional<UlsEntity> ParseEntity(std::string_view record, std::string& reason) {
  auto fields = SplitFields(record);
  UlsEntity entity;
  if (!ParseHead(fields, 20, entity, reason)) return std::nullopt;
  if (ReadEntityFields(fields, entity)) return entity;
  if (fields.size() > kEntityFields) {
    // A "|" inside a value: rejoin the free-text field that most likely held it (the entity
    // name, the attention line, the street or the city) and keep the first reading that
    // looks like an address.
    const std::size_t extra = fields.size() - kEntityFields;
    for (std::size_t joined : std::array<std::size_t, 4>{7, 20, 15, 16}) {
      std::vector<std::string_view> candidate(fields.begin(), fields.begin() + joined);
      const char* first = fields[joined].data();
      const std::string_view last = fields[joined + extra];
      candidate.emplace_back(first, static_cast<std::size_t>(last.data() + last.size() - first));
      candidate.insert(candidate.end(), fields.begin() + joined + extra + 1, fields.end());
      UlsEntity rejoined;
      rejoined.usi = entity.usi;
      rejoined.call = entity.call;
      if (ReadEntityFields(candidate, rejoined)) return rejoined;
    }
  }
  reason = "has fields that do not fit the entity layout (a \"|\" inside a value?)";
  return std::nullopt;
}

int UlsDateKey(std::string_view date) {
  int month = 0;
  int day = 0;
  int year = 0;
  if (date.size() != 10 || date[2] != '/' || date[5] != '/') return 0;
  const auto number = [&](std::size_t at, std::size_t length, int& target) {
    const auto [end, error] = std::from_chars(date.data() + at, date.data() + at + length, target);
    return error == std::errc() && end == date.data() + at + length;
  };
  if (!number(0, 2, month) || !number(3, 2, day) || !number(6, 4, year)) return 0;
  return year * 10000 + month * 100 + day;
}

}  // namespace torvane::import
