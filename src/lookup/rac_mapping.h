#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/db/table.h"
#include "lookup/callbook_record.h"

namespace torvane {

// Fills the record from a RAC CD-ROM record: one text whose fields are separated by control
// characters 2 to 25 and which ends at a zero character. A record with character 3 is the
// first (full) form; one without it the second, which carries only a name line, address,
// class, QSL manager, fax and e-mail. Each field whose markers are missing or out of order
// keeps its value.
void MapRacRecord(CallbookRecord& record, std::string_view reply, db::Table& zipcodes);

// The text strictly between the first character `open` and the first character `close` of
// the record; no value when either is missing or `close` comes first.
std::optional<std::string> RacFieldBetween(std::string_view record, char open, char close);

}  // namespace torvane
