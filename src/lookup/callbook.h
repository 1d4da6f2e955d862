#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "core/db/database_set.h"
#include "core/events.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "core/settings.h"
#include "geo/sun.h"
#include "lookup/call_cache.h"
#include "lookup/cdrom_libraries.h"
#include "lookup/callbook_mapper.h"
#include "lookup/callbook_record.h"
#include "lookup/qrz_session.h"
#include "prefix/prefix_lookup.h"
#include "prefix/quick_queries.h"
#include "weather/weather_state.h"

namespace torvane {

class CallDistances;

// The callbook source chain: for a new call it picks the source the host selected for that
// kind of station, asks it, has the answer mapped into the record, completes the record from
// prefix data and stores the distances. Exactly one source is asked; there is no fall-back.
class Callbook {
 public:
  Callbook(Settings& settings, WebState& web, EventDispatcher& events, db::DatabaseSet& databases,
           CallCache& cache, PrefixLookup& prefixes, QuickQueries& quick,
           CallDistances& distances, geo::Sun& sun, CallbookMapper& mapper,
           weather::WeatherState& weather, net::HttpTransport& transport, QrzSession& qrz,
           std::map<std::string, std::string> drives, CdromLibraries& cdrom)
      : settings_(settings),
        web_(web),
        events_(events),
        databases_(databases),
        cache_(cache),
        prefixes_(prefixes),
        quick_(quick),
        distances_(distances),
        sun_(sun),
        mapper_(mapper),
        weather_(weather),
        transport_(transport),
        qrz_(qrz),
        drives_(std::move(drives)),
        cdrom_(cdrom) {}

  // Looks the current call up; `deciding_call` decides only whether the station counts as a
  // United States station. Returns 0: an empty answer is reported through DataSource and
  // DataStatus, not as a failure of the call check.
  std::int16_t LookupCallbook(const std::string& deciding_call, bool skip_bio);

  // Empties the record (but Mode and Frequency) and every per-call value derived from it.
  void ClearCallbookRecord();

  CallbookRecord record;
  std::string LookupCall;        // BaseCall in upper case: what every source is asked for
  std::string ActiveSourceCode;  // "0".."8"
  std::string ActiveDrive;

 private:
  // Fills empty record fields from the entity of the call; 0 when an entity was found.
  std::int16_t MergePrefixData();

  // Asks the CD-ROM callbook of source codes 1 to 3; non-zero when there is nothing to map.
  std::int16_t AskCdrom(std::string& reply);

  // Asks the FCC licence tables, local or on the CD-ROM drive; 1 when the call has no licence.
  std::int16_t AskFccDatabase(std::string& reply);

  // Asks the maker's look-up, only while the host says the computer is on line; 1 when the
  // reply is empty. `last_url` is the URL asked, if any.
  std::int16_t AskNuvex(std::string& reply, std::string& last_url);

  Settings& settings_;
  WebState& web_;
  EventDispatcher& events_;
  db::DatabaseSet& databases_;
  CallCache& cache_;
  PrefixLookup& prefixes_;
  QuickQueries& quick_;
  CallDistances& distances_;
  geo::Sun& sun_;
  CallbookMapper& mapper_;
  weather::WeatherState& weather_;
  net::HttpTransport& transport_;
  QrzSession& qrz_;
  std::map<std::string, std::string> drives_;
  CdromLibraries& cdrom_;
};

}  // namespace torvane
