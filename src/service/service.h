#pragma once

#include <string>
#include <string_view>

#include "beacons/beacon_schedule.h"
#include "core/activity_log.h"
#include "core/db/database_set.h"
#include "core/events.h"
#include "core/folders.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "core/settings.h"
#include "geo/call_distances.h"
#include "geo/distance_queries.h"
#include "lookup/call_cache.h"
#include "lookup/call_check.h"
#include "lookup/callbook.h"
#include "lookup/callbook_mapper.h"
#include "lookup/callbook_queries.h"
#include "lookup/qrz_session.h"
#include "lookup/zone_queries.h"
#include "prefix/entity_queries.h"
#include "prefix/prefix_lookup.h"
#include "prefix/quick_queries.h"
#include "geo/sun.h"
#include "services/file_upload.h"
#include "services/lotw.h"
#include "services/online_extras.h"
#include "services/qso_upload.h"
#include "torvane/events.h"
#include "torvane/options.h"
#include "weather/weather_report.h"
#include "weather/weather_state.h"

namespace torvane {

// The composition root behind TorvaneControl: owns the configuration, the databases, the web
// state and every subsystem, declared in dependency order so that destruction runs in
// reverse. Construction runs start-up; destruction runs shut-down.
class Service {
 public:
  Service(Options options, EventSink* events, HostLoop* host_loop);
  ~Service();
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

  static std::string VersionText();

  LocalDateTime Now() const { return clock_(); }
  void WriteActivityLog(std::string_view line) const { ActivityLog::Write(line); }

  // Ok, or the failure that ended start-up early.
  const Status& startup_status() const { return startup_status_; }
  const Options& options() const { return options_; }
  const FolderSet& folders() const { return folders_; }
  Settings& settings() { return settings_; }
  db::DatabaseSet& databases() { return databases_; }
  WebState& web() { return web_; }
  net::HttpTransport& transport() { return transport_; }
  services::OnlineExtras& online_extras() { return online_extras_; }
  services::FileUpload& file_upload() { return file_upload_; }
  services::QsoUpload& qso_upload() { return qso_upload_; }
  services::Lotw& lotw() { return lotw_; }
  EventDispatcher& events() { return events_; }
  double GeoPi() const { return geo_pi_; }
  geo::Sun& sun() { return sun_; }
  beacons::BeaconSchedule& beacons() { return beacons_; }

  PrefixReader& prefix_reader() { return prefix_reader_; }
  PrefixLookup& prefix_lookup() { return prefix_lookup_; }
  CallCache& call_cache() { return call_cache_; }
  QuickQueries& quick_queries() { return quick_queries_; }
  EntityQueries& entity_queries() { return entity_queries_; }
  CallDistances& call_distances() { return call_distances_; }
  Callbook& callbook() { return callbook_; }
  CallCheck& call_check() { return call_check_; }
  CallbookQueries& callbook_queries() { return callbook_queries_; }
  ZoneQueries& zone_queries() { return zone_queries_; }
  DistanceQueries& distance_queries() { return distance_queries_; }
  weather::WeatherReport& weather() { return weather_report_; }

  // Runs the call check for a callsign and gives the record's zone fields, for the sun.
  geo::StationCheck StationCheck() {
    return [this](const std::string& callsign) {
      call_check_.CheckCall(callsign, true);
      const CallbookRecord& record = callbook_.record;
      return geo::StationZone{record.HoursOffset, record.Latitude, record.Longitude};
    };
  }

 private:
  void StartUp();
  Status RunStartupSteps();
  void PrepareHttpClients();
  void InitialiseBeaconTable();
  void ShutDown() noexcept;

  Options options_;
  Clock clock_;
  EventDispatcher events_;
  HostYield host_yield_;
  Settings settings_;
  WebState web_;
  net::HttpTransport transport_;
  FolderSet folders_;
  db::DatabasePaths database_paths_;
  db::DatabaseSet databases_;
  StartupLog startup_log_;
  Status startup_status_;
  geo::Sun sun_{clock_};
  beacons::BeaconSchedule beacons_{events_, web_};
  double geo_pi_ = 0;
  services::OnlineExtras online_extras_;
  services::FileUpload file_upload_;
  services::QsoUpload qso_upload_{transport_,         web_,
                                  events_,            settings_,
                                  options_.eqsl_host, options_.clublog_host,
                                  options_.clublog_api_key};
  services::Lotw lotw_{transport_, web_, events_, folders_, databases_, options_.lotw_host};

  PrefixReader prefix_reader_{databases_};
  PrefixLookup prefix_lookup_{prefix_reader_, web_, events_};
  CallCache call_cache_{prefix_lookup_, web_, events_};
  QuickQueries quick_queries_{call_cache_, prefix_lookup_};
  EntityQueries entity_queries_{databases_};
  CallDistances call_distances_{settings_, geo_pi_,
                                [](std::string_view line) { ActivityLog::Write(line); }};
  weather::WeatherState weather_state_;
  CdromLibraries cdrom_libraries_{options_};
  CallbookMapper callbook_mapper_{settings_, web_, events_, databases_, cdrom_libraries_.qrz};
  QrzSession qrz_session_{settings_,          web_,    events_,
                          transport_.http10(), folders_, options_.qrz_host,
                          options_.qrz_files_host};
  Callbook callbook_{settings_,      web_,         events_,          databases_,
                     call_cache_,    prefix_lookup_, quick_queries_, call_distances_,
                     sun_,           callbook_mapper_, weather_state_, transport_,
                     qrz_session_,   options_.drives, cdrom_libraries_};
  CallCheck call_check_{settings_, web_, events_, call_cache_, callbook_};
  CallbookQueries callbook_queries_{settings_, call_cache_, call_check_, callbook_,
                                    prefix_lookup_};
  ZoneQueries zone_queries_{call_cache_, call_check_, callbook_, prefix_lookup_, entity_queries_};
  DistanceQueries distance_queries_{call_check_, callbook_, prefix_lookup_, call_distances_};
  weather::WeatherReport weather_report_{weather::ReportSources::FromOptions(options_),
                                         weather_state_,
                                         databases_.Data3,
                                         call_check_,
                                         callbook_,
                                         prefix_lookup_,
                                         transport_,
                                         web_,
                                         events_,
                                         geo_pi_};
};

}  // namespace torvane
