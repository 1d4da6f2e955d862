#pragma once

#include <string>

#include "core/db/database_set.h"
#include "core/events.h"
#include "core/net/web_state.h"
#include "core/settings.h"
#include "lookup/callbook_record.h"

namespace torvane {

// Turns the answer of the source asked for the current call into record fields, then
// rebuilds the mailing label. The raw answer is the thread's reply buffer; the FCC source
// leaves only a marker there and the licence tables standing on the licence found.
class CallbookMapper {
 public:
  CallbookMapper(Settings& settings, const WebState& web, EventDispatcher& events,
                 db::DatabaseSet& databases)
      : settings_(settings), web_(web), events_(events), databases_(databases) {}

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
};

}  // namespace torvane
