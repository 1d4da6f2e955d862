#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "import/uls_source.h"

// Records of the FCC's ULS public access files: "|"-separated positional fields, no quoting,
// one record per line. Real files break some records across lines, carry a "|" inside a
// value now and then, end lines with CR LF or LF, and hold Latin-1 text.
namespace torvane::import {

// Splits a member into records. A line that does not begin with the member's record type
// ("EN|") continues the record before it: a line break inside a value, kept as one blank.
// Text that is not UTF-8 is read in the Windows code page (Latin-1 letters).
class UlsRecordReader {
 public:
  // `on_bytes` hears how many bytes each chunk added, for progress displays.
  UlsRecordReader(UlsMemberReader& member, std::string_view record_type,
                  std::function<void(std::uint64_t)> on_bytes = {});

  // The next record and the line it starts on (from 1); false at the end.
  Result<bool> Next(std::string& record, std::uint64_t& line);

 private:
  Result<bool> NextLine(std::string& line);

  UlsMemberReader& member_;
  std::string prefix_;  // "EN|"
  std::function<void(std::uint64_t)> on_bytes_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  std::uint64_t lines_read_ = 0;
  std::string pending_;
  std::uint64_t pending_line_ = 0;
  bool has_pending_ = false;
};

// Licence header (HD.dat): the status and dates of one licence.
struct UlsHeader {
  std::int32_t usi = 0;
  std::string call;
  std::string status;  // "A" active, "C" cancelled, "E" expired, ...
  std::string granted;  // mm/dd/yyyy
  std::string expires;
  std::string cancelled;
};

// Amateur data (AM.dat): the operator class of one licence.
struct UlsAmateur {
  std::int32_t usi = 0;
  std::string call;
  std::string operator_class;  // one letter; empty for club and similar station licences
  std::string group_code;
  std::string region_code;
  std::string trustee_call;
  std::string previous_call;
  std::string previous_class;
};

// Entity (EN.dat): the licensee of one licence, with name and mailing address.
struct UlsEntity {
  std::int32_t usi = 0;
  std::string call;
  std::string entity_type;  // "L" licensee, "CL" contact, ...
  std::string entity_name;
  std::string first_name;
  std::string middle_initial;
  std::string last_name;
  std::string suffix;
  std::string email;
  std::string street;
  std::string city;
  std::string state;
  std::string zip;
  std::string po_box;
  std::string frn;
};

// Each parser gives the row, or leaves `reason` saying why the record is rejected.
std::optional<UlsHeader> ParseHeader(std::string_view record, std::string& reason);
std::optional<UlsAmateur> ParseAmateur(std::string_view record, std::string& reason);
std::optional<UlsEntity> ParseEntity(std::string_view record, std::string& reason);

// A mm/dd/yyyy date as yyyymmdd for ordering; 0 when the text is not such a date.
int UlsDateKey(std::string_view date);

}  // namespace torvane::import
