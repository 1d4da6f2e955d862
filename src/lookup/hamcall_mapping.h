#pragma once

#include <string>
#include <string_view>

#include "core/db/table.h"
#include "lookup/callbook_record.h"

namespace torvane {

// Fills the record from a HamCall CD-ROM record, in which each field follows a marker byte
// (182 to 213 in the code page the CD-ROM writes). The fields of the record, read in its
// single-byte form; every field the record lacks becomes empty.
void MapHamCallRecord(CallbookRecord& record, std::string_view reply, db::Table& zipcodes);

// One field of a HamCall record in its single-byte form: the bytes after the first marker
// `code`, up to the first byte above `code` (the marker of a later field). The scan covers
// only as many bytes as the rest of the record holds without its surrounding blanks, so
// leading blanks shorten the value from the end.
std::string GetHamCallField(std::string_view record, unsigned char code);

// A HamCall date, yyyymmdd, as "dd mmm yyyy"; as mm/dd/yyyy when that is no date; empty when
// the text is not 8 characters long.
std::string FormatHamCallDate(std::string_view date);

}  // namespace torvane
