#pragma once

#include <string>

#include "lookup/callbook_record.h"

namespace torvane {

// The one-line address of the CD-ROM callbooks that deliver street, city, state and postal
// code apart: "Street, City, ST 12345", commas only where a part follows, cleaned.
std::string QthFromParts(const CallbookRecord& record);

}  // namespace torvane
