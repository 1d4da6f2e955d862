#pragma once

#include <string>

#include "core/db/table.h"
#include "prefix/prefix_reader.h"

namespace torvane {

// Marks the "plink" record of the callsign with "!", so that only an exact match takes it.
// Seeks on the table's current index ("prefix" when none is chosen yet). False when there is
// no such record or it cannot be written. The lookups see the mark at once.
bool SetSpecialCall(db::Table& plink, PrefixReader& reader, const std::string& callsign);

}  // namespace torvane
