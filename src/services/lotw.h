#pragma once

#include <cstdint>
#include <string>

#include "core/db/database_set.h"
#include "core/events.h"
#include "core/folders.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"

namespace torvane::services {

// The address of the LoTW report of confirmations since `start_date`. Nothing is encoded: the
// values go into the query as the host gave them, the login lower-cased and trimmed.
std::string LotwReportUrl(const std::string& lotw_host, const std::string& Username,
                          const std::string& Password, const std::string& StartDate,
                          const std::string& MyCall);

// LoTW: the download of confirmations into the host's ADIF folder, its cancellation, and the
// question whether a call is a known LoTW user.
class Lotw {
 public:
  Lotw(net::HttpTransport& transport, WebState& web, EventDispatcher& events,
       const FolderSet& folders, db::DatabaseSet& databases, std::string lotw_host)
      : transport_(transport),
        web_(web),
        events_(events),
        folders_(folders),
        databases_(databases),
        lotw_host_(std::move(lotw_host)) {}

  // 0 when the report was stored (or the host said it is off line), 1 on failure. `Filename`,
  // a bare name, becomes the full path of the file once the ADIF folder is found. The attempt
  // is told in Logs/ImportError.txt of the data folder.
  std::int32_t GetLoTW(const std::string& Username, const std::string& Password,
                       const std::string& StartDate, std::string& Filename,
                       const std::string& MyCall);

  // Safe from any thread: the download does not yield to the host, so its cancel comes from
  // elsewhere while it runs.
  std::int32_t CancelLoTWImport() {
    web_.lotwCancel = true;
    return 1;
  }

  static std::int32_t UploadLoTW() { return 0; }

  // "Y" when the LoTW users table holds the call, else "N".
  std::string GetIsLoTW(const std::string& callsign);

 private:
  net::HttpTransport& transport_;
  WebState& web_;
  EventDispatcher& events_;
  const FolderSet& folders_;
  db::DatabaseSet& databases_;
  std::string lotw_host_;
};

}  // namespace torvane::services
