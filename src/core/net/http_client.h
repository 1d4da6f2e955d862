#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/events.h"
#include "core/net/curl_handles.h"
#include "core/net/web_state.h"

namespace torvane::net {

class ExtraCertificates;

// Time limits (milliseconds) and extra trust shared by every client of one service.
struct ClientSettings {
  long connect_timeout_ms = 15'000;
  long request_timeout_ms = 60'000;
  long download_timeout_ms = 1'800'000;
  long upload_timeout_ms = 20'000;
  const ExtraCertificates* extra_certificates = nullptr;  // owned by the transport
};

// What a client's abort check, run by libcurl's progress callback while a transfer is under
// way, does about the host and the web flags.
enum class AbortRule {
  // Yields to the host; ends the transfer only when StopWeb is called during it.
  kStopDuringTransfer,
  // Does not yield; ends the transfer while lotwCancel is set, unless webStopped is set too.
  kCancelUnlessStopped,
  // Yields to the host; ends the transfer while webStopped is set.
  kWhileStopped,
};

// A reply body larger than this is not taken as text: the services answer in kilobytes, and a
// runaway reply must not take the host's memory.
inline constexpr std::size_t kMaxTextReplyBytes = 8 * 1024 * 1024;

// One HTTP client over libcurl. It keeps its handles (and their open connections) between
// requests; a request made while the client is busy (from the host, during a yield) gets
// handles of its own. Nothing here throws to the caller.
class HttpClient {
 public:
  HttpClient(AbortRule rule, const WebState& web, HostYield& host_yield);

  void Configure(const ClientSettings& settings) { settings_ = settings; }

  // A file (created readable by the user alone: the URLs carry passwords and session keys)
  // that gets one line per request and one per outcome; empty turns it off.
  void SetSessionLog(std::string path) { session_log_ = std::move(path); }

  // The whole body of a 2xx reply as text; empty when the request failed for any reason
  // (no connection, time-out, TLS, an HTTP error status, a body that is not text or too big).
  std::string GetText(const std::string& url);

  // Stores the body of a 2xx reply in the file: non-zero when it was stored, 0 when not. The
  // body goes to a temporary file beside the target, renamed into place only when complete,
  // so a failed or cancelled download never leaves a partial file under the requested name.
  std::int32_t DownloadFile(const std::string& url, const std::string& path);

  // Why the last request of this client failed; empty after a success.
  const std::string& LastErrorText() const { return last_error_; }

 private:
  struct Transfer;
  struct Handles {
    EasyHandle easy;
    MultiHandle multi;
  };

  // Runs one transfer on this client's handles (or fresh ones when busy). False, with
  // last_error_ set, when the request failed below HTTP; `status` is the final reply's code.
  bool Perform(const std::string& url, long timeout_ms, Transfer& transfer, long& status);
  bool ShouldAbort(Transfer& transfer);
  void YieldOnceRequestIsOut(const Transfer& transfer);
  void LogSession(const std::string& line) const;
  static int OnProgress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

  AbortRule rule_;
  const WebState& web_;
  HostYield& host_yield_;
  ClientSettings settings_;
  Handles handles_;
  bool busy_ = false;
  std::string last_error_;
  std::string session_log_;
};

// A POST made on handles of its own, bounded by upload_timeout_ms, neither yielding nor
// abortable: a synchronous request object made for one call.
struct PostRequest {
  std::string url;
  std::vector<std::pair<std::string, std::string>> headers;  // name, value
  std::string body;                                          // bytes as they go out
  bool with_credentials = false;
  std::string user_name;
  std::string password;
};

struct PostReply {
  bool ok = false;
  long status = 0;
  std::string text;   // the reply body as text, whatever the HTTP status
  std::string error;  // why the request failed, when !ok
};

PostReply Post(const PostRequest& request, const ClientSettings& settings);

// Why the URL cannot be requested (malformed, or not http/https); empty when it can.
std::string UrlProblem(const std::string& url);

// "Name: value" for a request header. A value's surrounding line breaks are the caller's line
// ending, not part of the value; left in, libcurl would end the header block early.
std::string HeaderLine(std::string_view name, std::string_view value);

}  // namespace torvane::net
