#pragma once

#include "core/db/table.h"
#include "lookup/callbook_record.h"
#include "lookup/qrz_cdrom.h"

namespace torvane {

// Fills the record from the QRZ CD-ROM record the last search found, one field at a time
// through the library. A field the library reports empty keeps its value; fields the
// CD-ROM does not carry (e-mail, county, grid) are not touched.
void MapQrzCdromRecord(CallbookRecord& record, QrzCdrom& library, db::Table& zipcodes);

}  // namespace torvane
