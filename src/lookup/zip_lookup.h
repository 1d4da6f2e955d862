#pragma once

#include "core/db/table.h"
#include "lookup/callbook_record.h"

namespace torvane {

// Which mappings keep a position they already hold: all but the QRZ CD-ROM.
enum class LatitudeCheck { kKeepExisting, kAlwaysLookUp };

// Places a US record by its five-digit ZIP code through the "zipcodes" table and marks the
// record "US". Returns false, changing nothing, when the postal code is not a usable ZIP code
// (not 5 characters, or a value of 1 or less, or 99999 and above).
bool ZipLookup(CallbookRecord& record, db::Table& zipcodes, LatitudeCheck check);

}  // namespace torvane
