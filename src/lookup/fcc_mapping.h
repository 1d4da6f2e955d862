#pragma once

#include "core/db/database_set.h"
#include "lookup/callbook_record.h"

namespace torvane {

// Fills the record from the FCC licence tables: "Amateur" (Data5) stands on the licence found
// for the call; the licensee's names, address, e-mail and licence dates come from "Entity",
// "Email" and "EntityName" by the licensee key. Each step that cannot read its source leaves
// its fields as they were.
void MapFccLicence(CallbookRecord& record, db::DatabaseSet& databases, bool devel);

}  // namespace torvane
