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
#include "geo/sun.h"
#include "services/file_upload.h"
#include "services/online_extras.h"
#include "torvane/events.h"
#include "torvane/options.h"

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

  const Options& options() const { return options_; }
  const FolderSet& folders() const { return folders_; }
  const db::DatabasePaths& database_paths() const { return database_paths_; }
  Settings& settings() { return settings_; }
  db::DatabaseSet& databases() { return databases_; }
  WebState& web() { return web_; }
  net::HttpTransport& transport() { return transport_; }
  services::OnlineExtras& online_extras() { return online_extras_; }
  services::FileUpload& file_upload() { return file_upload_; }
  EventDispatcher& events() { return events_; }
  HostYield& host_yield() { return host_yield_; }
  double GeoPi() const { return geo_pi_; }
  geo::Sun& sun() { return sun_; }
  beacons::BeaconSchedule& beacons() { return beacons_; }

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
  net::CurlLibrary curl_library_;
  net::HttpTransport transport_;
  FolderSet folders_;
  db::DatabasePaths database_paths_;
  db::DatabaseSet databases_;
  StartupLog startup_log_;
  geo::Sun sun_{clock_};
  beacons::BeaconSchedule beacons_{events_, web_};
  double geo_pi_ = 0;
  services::OnlineExtras online_extras_;
  services::FileUpload file_upload_;
};

}  // namespace torvane
