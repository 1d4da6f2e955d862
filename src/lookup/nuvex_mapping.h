#pragma once

#include <string_view>

#include "lookup/callbook_record.h"

namespace torvane {

// Fills the record from a reply of the maker's look-up, whose tags are matched with their case:
// "Name" holds the first names, "name" the family name. A reply that reports the call as not in
// the database sets DataStatus only and gives false, as for the QRZ service. This is the one
// source that writes Last, Mode and Frequency.
bool MapNuvexAnswer(CallbookRecord& record, std::string_view reply);

}  // namespace torvane
