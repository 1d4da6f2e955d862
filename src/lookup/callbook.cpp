#include "lookup/callbook.h"

#include <fmt/format.h>

#include "core/activity_log.h"
#include "core/files.h"
#include "core/text.h"
#include "core/variant_reading.h"
#include "geo/call_distances.h"
#include "lookup/drive_paths.h"
#include "lookup/guarded_step.h"

namespace torvane {

namespace {

// The answer buffer starts each lookup as 401 blanks: the CD-ROM libraries write into it.
constexpr std::size_t kReplyBufferLength = 401;

bool IsUnitedStatesEntity(std::int16_t dxcc) { return dxcc == 6 || dxcc == 110 || dxcc == 291; }

}  // namespace

std::int16_t Callbook::LookupCallbook(const std::string& deciding_call, bool skip_bio) {
  std::string& reply = ThreadWebState().webReply;
  reply.assign(kReplyBufferLength, ' ');
  LookupCall = text::ToUpper(cache_.BaseCall());
  std::int16_t lookup_error = 0;
  std::string last_url;

  cache_.ClearQuickCheckCall();
  const std::int16_t dxcc = ToInt16(Variant(quick_.GetQuickDXCCNumber(deciding_call))).value_or(0);
  record.DXCCNumber = dxcc;

  if (IsUnitedStatesEntity(dxcc)) {
    cache_.QuickCall.clear();
    ActiveSourceCode = std::to_string(static_cast<int>(settings_.CDSourceCode));
    ActiveDrive = settings_.CDDrive;
  } else {
    ActiveSourceCode = std::to_string(static_cast<int>(settings_.CDDXSourceCode));
    ActiveDrive = settings_.CDDXDrive;
  }
  if (settings_.Devel) {
    ActivityLog::Write("Callbook lookup: " + deciding_call);
    ActivityLog::Write("Callbook source: " + ActiveSourceCode);
    if (cache_.StateTrace) ActivityLog::Write("State source: " + ActiveSourceCode);
  }

  settings_.DataSource.clear();
  if (ActiveSourceCode == "0") {
    ClearCallbookRecord();
    reply.clear();
    settings_.DataSource = "Callbook not specified";
  }
  if (ActiveSourceCode == "1" || ActiveSourceCode == "2" || ActiveSourceCode == "3") {
    lookup_error = AskCdrom(reply);
  }
  // Codes 4 and 5 ask nothing.
  if (ActiveSourceCode == "6") lookup_error = AskFccDatabase(reply);
  if (ActiveSourceCode == "7") {
    qrz_.Lookup(LookupCall, skip_bio, reply, lookup_error, settings_.DataSource);
    last_url = qrz_.LastUrl();
  }
  if (ActiveSourceCode == "8") lookup_error = AskNuvex(reply, last_url);

  if (settings_.Devel) {
    if (!web_.webStopped) events_.WebStatus("URL: " + last_url);
    if (cache_.StateTrace) {
      ActivityLog::Write(fmt::format("Lookup error = {} and len = {}", lookup_error, reply.size()));
    }
  }
  if (lookup_error == 0 && !text::Trim(reply).empty()) {
    mapper_.MapCallbookAnswer(record, ActiveSourceCode, LookupCall, cache_.StateTrace,
                              qrz_.QRZReplyText());
  }
  std::int16_t merged = 0;
  if (!cache_.PrefixCall().empty()) merged = MergePrefixData();
  if (!web_.webStopped) events_.CallDataOK(true);
  if (merged == 0) {
    distances_.ComputeCallDistances(record.Latitude, record.Longitude, prefixes_.CallEntity(),
                                    prefixes_.PrefixEntity());
  } else {
    distances_.ClearCallValues();
  }
  return 0;
}

std::int16_t Callbook::AskCdrom(std::string& reply) {
  CdromOutcome outcome{0, settings_.DataSource, record.DataStatus};
  GuardedStep([&] {
    if (ActiveSourceCode == "1") AskRacCdrom(cdrom_.rac, ActiveDrive, LookupCall, reply, outcome);
    if (ActiveSourceCode == "2") {
      AskHamCallCdrom(cdrom_.hamcall, ActiveDrive, LookupCall, reply, outcome);
    }
    if (ActiveSourceCode == "3") AskQrzCdrom(cdrom_.qrz, ActiveDrive, LookupCall, reply, outcome);
  });
  return outcome.lookup_error;
}

std::int16_t Callbook::AskFccDatabase(std::string& reply) {
  std::string found_line = "FCC mdb record found for: ";
  std::string missing_line = "FCC mdb record NOT found for: ";
  if (!databases_.LocalFCCAvailable) {
    // The callbook CD-ROM carries the same database.
    const std::string path = DriveFilePath(ActiveDrive + "\\FCC Data\\FCCData.db", drives_);
    if (settings_.Devel) ActivityLog::Write("FCC Path: " + path);
    if (!files::FileExists(path)) {
      settings_.DataSource = "FCC CD Not Available";
      return 0;
    }
    databases_.OpenFccTables(path);
    found_line = "FCC record found for: ";
    missing_line = "FCC record NOT found for: ";
  }
  std::int16_t lookup_error = 0;
  if (databases_.Data5.FindLast("CallSign", Variant(LookupCall))) {
    reply = "x";  // the mapping reads the licence from the tables, which now stand on it
    if (settings_.Devel) ActivityLog::Write(found_line + LookupCall);
  } else {
    lookup_error = 1;
    reply.clear();
    if (settings_.Devel) ActivityLog::Write(missing_line + LookupCall);
  }
  settings_.DataSource = "FCC via Quorlin";
  return lookup_error;
}

std::int16_t Callbook::AskNuvex(std::string& reply, std::string& last_url) {
  if (!ThreadWebState().webConnected) return 0;
  reply.clear();
  web_.webStopped = false;
  last_url = "https://" + web_.serviceHost + "/programs/look_up.php?call=" + LookupCall;
  reply = transport_.GeneralGet(last_url);
  if (text::Trim(reply).empty()) return 1;
  settings_.DataSource = text::Contains(text::ToLower(reply), "not found:")
                             ? "No data found at Nuvex"
                             : "Nuvex Subscription";
  return 0;
}

void Callbook::ClearCallbookRecord() {
  CallbookRecord cleared;
  cleared.Mode = std::move(record.Mode);
  cleared.Frequency = std::move(record.Frequency);
  record = std::move(cleared);

  EntityInfo& call = prefixes_.EditCallEntity();
  call.Latitude.clear();
  call.Longitude.clear();
  call.master_prefix.clear();
  call.Continent.clear();
  call.Time_Offset.clear();
  call.Abbreviation.clear();
  call.Country = "0";
  prefixes_.EditPrefixEntity().CQ_Zone.clear();
  prefixes_.EditPrefixEntity().ITU_Zone.clear();
  distances_.ClearAll();
  sun_.ClearEventTexts();
  weather_.ClearWeather();
}

std::int16_t Callbook::MergePrefixData() {
  EntityInfo& entity = prefixes_.EditCallEntity();
  entity.Latitude = "0";
  entity.Longitude = "0";
  entity.DXCC = 0;
  entity.Country = " ";
  entity.Continent = " ";
  entity.Abbreviation.clear();

  const bool found = prefixes_.LookupPrefixForCallbook(cache_.BaseCall(), cache_.PrefixCall());

  if (record.Latitude.empty()) {
    record.DataStatus =
        " Coordinates not found so all calculations based on location are approximate.";
    if (found) record.Latitude = entity.Latitude;
  }
  if (record.Longitude.empty() && found) record.Longitude = entity.Longitude;
  if (found) {
    const auto fill = [](std::string& field, const std::string& value) {
      if (field.empty()) field = value;
    };
    fill(record.ITUZone, entity.ITU_Zone);
    fill(record.Country, entity.Country);
    fill(record.CQZone, entity.CQ_Zone);
    if (record.DXCCNumber == 0) record.DXCCNumber = entity.DXCC;
    fill(record.Continent, entity.Continent);
    fill(record.HoursOffset, entity.Time_Offset);
  }
  return found ? 0 : 1;
}

}  // namespace torvane
