#pragma once

#include <string_view>

#include "lookup/callbook_record.h"

namespace torvane {

// Fills the record from a reply of the QRZ XML service. `biography` is the biography page the
// session fetched for the call, or empty. A reply that reports the call as not in the database
// sets DataStatus only and gives false: the record keeps the previous call's fields and the
// caller skips the label and the CallDataOK of a found call. Each field is written from its tag
// even when the tag is missing (then empty); fields the service has no tag for stay as they were.
bool MapQrzAnswer(CallbookRecord& record, std::string_view reply, std::string_view biography);

}  // namespace torvane
