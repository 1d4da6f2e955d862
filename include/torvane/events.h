#pragma once

#include <cstdint>
#include <string>

namespace torvane {

// Receives the events the service raises. Every event is raised on the caller's thread, from
// inside the public call (or Timer1Tick) that caused it. Override what you need.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void CallDataOK(bool /*status*/) {}
  virtual void WebStatus(const std::string& /*status*/) {}
  virtual void InetText(const std::string& /*status*/) {}
  virtual void BeaconChange(const std::string& /*slot*/, const std::string& /*callsign*/,
                            const std::string& /*entity*/, const std::string& /*location*/,
                            const std::string& /*latitude*/, const std::string& /*longitude*/) {}
  virtual void eQSLStatus(const std::string& /*status*/) {}
  virtual void LoTWDownloadStatus(std::int32_t /*percent*/) {}
};

// The host's message loop. The service calls Yield() while it waits on the network, so the
// host can process its own events and call back in (StopWeb, CancelLoTWImport, ...).
class HostLoop {
 public:
  virtual ~HostLoop() = default;
  virtual void Yield() = 0;
};

}  // namespace torvane
