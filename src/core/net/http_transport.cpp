#include "core/net/http_transport.h"

namespace torvane::net {

HttpTransport::HttpTransport(WebState& web, EventDispatcher& events, HostYield& host_yield)
    : web_(web),
      events_(events),
      http1_(AbortRule::kStopDuringTransfer, web, host_yield),
      http2_(AbortRule::kCancelUnlessStopped, web, host_yield),
      http10_(AbortRule::kWhileStopped, web, host_yield) {}

Status HttpTransport::Configure(const Options& options) {
  const ClientSettings defaults;
  const auto limit = [](int given_ms, long default_ms) {
    return given_ms > 0 ? static_cast<long>(given_ms) : default_ms;
  };
  settings_.connect_timeout_ms =
      limit(options.http_connect_timeout_ms, defaults.connect_timeout_ms);
  settings_.request_timeout_ms =
      limit(options.http_request_timeout_ms, defaults.request_timeout_ms);
  settings_.download_timeout_ms =
      limit(options.http_download_timeout_ms, defaults.download_timeout_ms);
  settings_.upload_timeout_ms = limit(options.upload_timeout_ms, defaults.upload_timeout_ms);
  settings_.extra_certificates = nullptr;
  Status loaded = Status::Ok();
  if (!options.ca_bundle.empty()) {
    loaded = extra_certificates_.Load(options.ca_bundle);
    if (loaded) settings_.extra_certificates = &extra_certificates_;
  }
  for (HttpClient* client : {&http1_, &http2_, &http10_}) client->Configure(settings_);
  return loaded;
}

const std::string& HttpTransport::GeneralGet(const std::string& url) {
  std::string& reply = ThreadWebState().webReply;
  reply = http1_.GetText(url);
  if (reply.empty()) reply = http1_.GetText(url);
  return reply;
}

std::int16_t HttpTransport::StopWeb() {
  web_.webStopped = true;
  ++web_.stop_requests;
  events_.WebStatus("Stopped");
  return 0;
}

std::int16_t HttpTransport::SetWebConnectionStatus(bool connected) {
  ThreadWebState().webConnected = connected;
  return 0;
}

}  // namespace torvane::net
