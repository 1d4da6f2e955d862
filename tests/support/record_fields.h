#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "lookup/callbook_record.h"

namespace torvane::testing {

// A CD-ROM record written as "marker:value|marker:value", each value introduced by its marker
// byte: Marked("2:JOHN SMITH|3:SMITH") is "\x02JOHN SMITH\x03SMITH". No terminator is added.
inline std::string Marked(std::string_view fields) {
  std::string record;
  while (!fields.empty()) {
    const std::size_t bar = fields.find('|');
    const std::string_view field = fields.substr(0, bar);
    const std::size_t colon = field.find(':');
    record += static_cast<char>(std::stoi(std::string(field.substr(0, colon))));
    record += field.substr(colon + 1);
    fields = bar == std::string_view::npos ? std::string_view() : fields.substr(bar + 1);
  }
  return record;
}

inline const std::string kTerminator(1, '\0');

// One field of a callbook record and the text it should hold.
struct FieldIs {
  std::string CallbookRecord::*field;
  std::string expected;
};

inline void ExpectFields(const CallbookRecord& record, std::initializer_list<FieldIs> rows,
                         const std::string& context = "") {
  int row_number = 0;
  for (const FieldIs& row : rows) {
    EXPECT_EQ(record.*row.field, row.expected) << context << " (row " << row_number++ << ")";
  }
}

}  // namespace torvane::testing
