#pragma once

#include <string>

#include "core/db/database_set.h"
#include "core/events.h"
#include "core/net/web_state.h"
#include "core/settings.h"
#include "lookup/callbook_record.h"
#include "lookup/qrz_cdrom.h"

namespace torvane {

// Turns the answer of the source asked for the current call into record fields, then
// rebuilds the mailing label. The raw answer is the thread's reply buffer; the FCC source
// leaves only a marker there and the licence tables standing on the licence found.
class CallbookMapper {
 public:
  CallbookMapper(Settings& settings, const WebState& web, EventDispatcher& events,
                 db::DatabaseSet& databases, QrzCdrom& qrz_cdrom)
      : settings_(settings),
        web_(web),
        events_(events),
        databases_(databases),
        qrz_cdrom_(qrz_cdrom) {}

  // `source_code` is the decimal text of the source asked ("1".."8"); `lookup_call` the call
  // it was asked for; `state_trace` adds the state lines to the activity log;
  // `qrz_reply_text` is what the QRZ session kept of its last reply (the biography page).
  void MapCallbookAnswer(CallbookRecord& record, const std::string& source_code,
                         const std::string& lookup_call, bool state_trace,
                         const std::string& qrz_reply_text);

 private:
  void Finish(CallbookRecord& record, const std::string& lookup_call, bool state_trace);

  Settings& settings_;
  const WebState& web_;
  EventDispatcher& events_;
  db::DatabaseSet& databases_;
  QrzCdrom& qrz_cdrom_;  // the field reads of a QRZ CD-ROM record
};

}  // namespace torvane
