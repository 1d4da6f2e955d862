#include "lookup/callbook_mapper.h"

#include "core/activity_log.h"
#include "core/text.h"
#include "lookup/address_rules.h"
#include "lookup/fcc_mapping.h"
#include "lookup/guarded_step.h"
#include "lookup/hamcall_mapping.h"
#include "lookup/qrz_cdrom_mapping.h"
#include "lookup/rac_mapping.h"
#include "lookup/nuvex_mapping.h"
#include "lookup/qrz_mapping.h"

namespace torvane {

void CallbookMapper::MapCallbookAnswer(CallbookRecord& record, const std::string& source_code,
                                       const std::string& lookup_call, bool state_trace,
                                       const std::string& qrz_reply_text) {
  std::string& reply = ThreadWebState().webReply;
  reply = std::string(text::Trim(reply));
  if (reply.empty()) return;
  bool found = true;
  if (source_code == "1") MapRacRecord(record, reply, databases_.Data4);
  if (source_code == "2") MapHamCallRecord(record, reply, databases_.Data4);
  if (source_code == "3") MapQrzCdromRecord(record, qrz_cdrom_, databases_.Data4);
  if (source_code == "6") {
    MapFccLicence(record, databases_, settings_.Devel);
  } else if (source_code == "7") {
    found = MapQrzAnswer(record, reply, qrz_reply_text);
  } else if (source_code == "8") {
    found = MapNuvexAnswer(record, reply);
  }
  if (!found) {
    // A call the online service does not know keeps the previous label, cleaned once more.
    GuardedStep([&] { record.Address = address::CleanAddress(record.Address); });
    return;
  }
  Finish(record, lookup_call, state_trace);
}

void CallbookMapper::Finish(CallbookRecord& record, const std::string& lookup_call,
                            bool state_trace) {
  using address::ProperCase;
  GuardedStep([&] {
    if (settings_.Devel && state_trace) {
      ActivityLog::Write("State 1 cdState = " + record.State);
      ActivityLog::Write("State 2 cdState = " + record.State);
    }
  });
  GuardedStep([&] {
    if (!web_.webStopped) events_.CallDataOK(true);
  });
  GuardedStep([&] {
    record.Address = ProperCase(record.FullName) + ", " + lookup_call + "\r\n" +
                     ProperCase(record.Street) + "\r\n" + ProperCase(record.City) + ", " +
                     record.State + " " + text::ToUpper(record.PostalCode);
  });
  GuardedStep([&] { record.Address = address::CleanAddress(record.Address); });
}

}  // namespace torvane
