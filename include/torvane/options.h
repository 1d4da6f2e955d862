#pragma once

#include <functional>
#include <map>
#include <string>

namespace torvane {

// A local calendar date and wall-clock time.
struct LocalDateTime {
  int year = 2000;
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
};

// Every read of the date and the time goes through the clock, so hosts and tests can fix it.
using Clock = std::function<LocalDateTime()>;

// The computer's clock in local time.
Clock SystemClock();

// Configuration of one service object. Empty texts mean "use the default".
struct Options {
  // Folder discovery: the documents folder (default: XDG documents folder, else
  // $HOME/Documents) and the component's own folder (default: the folder of libtorvane.so).
  std::string documents_folder;
  std::string install_folder;
  // Set outright, these replace what discovery found. A data folder without a log folder
  // logs into its "Logs" subfolder.
  std::string data_folder;
  std::string log_folder;

  // Service hosts, each "host" or "host:port".
  std::string service_host = "nuvex.example.net";
  std::string qrz_host = "xmldata.qrz.com";
  std::string qrz_files_host = "files.qrz.com";
  std::string eqsl_host = "www.eqsl.cc";
  std::string lotw_host = "lotw.arrl.org";
  std::string clublog_host = "clublog.org";
  std::string weather_iwin_host = "iwin.nws.noaa.gov";
  std::string weather_xml_host = "forecast.weather.gov";
  std::string weather_noaa_host = "weather.noaa.gov";
  std::string weather_wech_host = "www.weather.com";
  std::string weather_file = "/tmp/ca.htm";
  std::string clublog_api_key;

  // CD-ROM callbook libraries, loaded by name or path when a lookup first needs them.
  std::string rac_library = "libraccd32a.so";
  std::string hamcall_library = "libhamcal32.so";
  std::string qrz_cd_library = "libqrz32.so";

  // The folders that CD-ROM drive texts such as "E:" stand for (keys in upper case). A drive
  // without an entry is the folder of that very name in the working directory.
  std::map<std::string, std::string> drives;

  // An extra trusted certificate authority (PEM file) for HTTPS, besides the system's.
  std::string ca_bundle;

  // Time limits of network requests, in milliseconds. Connecting (TCP and TLS) counts within
  // each request's own limit. A request that runs out of time fails like any other. Zero or
  // less means the default: no request is ever without a limit.
  int http_connect_timeout_ms = 15'000;
  int http_request_timeout_ms = 60'000;      // a whole text request (lookups, weather, extras)
  int http_download_timeout_ms = 1'800'000;  // a whole LoTW download, which can be large
  int upload_timeout_ms = 20'000;            // UploadFiles waits this long for the reply

  // Defaults to SystemClock().
  Clock clock;
};

}  // namespace torvane
