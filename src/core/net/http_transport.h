#pragma once

#include <cstdint>
#include <string>

#include "core/events.h"
#include "core/net/extra_certificates.h"
#include "core/net/http_client.h"
#include "core/net/web_state.h"
#include "core/result.h"
#include "torvane/options.h"

namespace torvane::net {

// Every network request of the service: the three clients and the web state operations.
class HttpTransport {
 public:
  HttpTransport(WebState& web, EventDispatcher& events, HostYield& host_yield);

  // The clients' start options: time limits and the extra trusted CA from the options. An
  // error names a CA file that could not be used; the clients then trust the system alone.
  Status Configure(const Options& options);

  HttpClient& http1() { return http1_; }    // general text GETs
  HttpClient& http2() { return http2_; }    // the LoTW download
  HttpClient& http10() { return http10_; }  // the QRZ XML session

  // The general GET on http1: webReply := the reply, with one repeat when it is empty.
  const std::string& GeneralGet(const std::string& url);

  // A one-off POST on a request object of its own (see Post in http_client.h).
  PostReply Post(const PostRequest& request) const { return net::Post(request, settings_); }

  std::int16_t StopWeb();
  std::int16_t SetWebConnectionStatus(bool connected);

 private:
  WebState& web_;
  EventDispatcher& events_;
  ExtraCertificates extra_certificates_;
  ClientSettings settings_;
  HttpClient http1_;
  HttpClient http2_;
  HttpClient http10_;
};

// The connection probes answer constants: the host's own network checks decide.
inline bool RemoteConnected() { return false; }
inline std::int16_t GetPingTest() { return 0; }
inline std::int16_t TestConnection() { return 0; }
inline std::int16_t LocalTestConnection() { return 0; }

}  // namespace torvane::net
