#pragma once

#include <cstdint>
#include <string>

#include "torvane/events.h"

namespace torvane {

// Raises events on the host's sink, if one is attached. An exception thrown by a host handler
// is dropped here: it must not unwind through the service back into the host.
class EventDispatcher {
 public:
  explicit EventDispatcher(EventSink* sink) : sink_(sink) {}

  void CallDataOK(bool status) noexcept;
  void WebStatus(const std::string& status) noexcept;
  void InetText(const std::string& status) noexcept;
  void BeaconChange(const std::string& slot, const std::string& callsign,
                    const std::string& entity, const std::string& location,
                    const std::string& latitude, const std::string& longitude) noexcept;
  void eQSLStatus(const std::string& status) noexcept;
  void LoTWDownloadStatus(std::int32_t percent) noexcept;

 private:
  template <typename Raise>
  void Deliver(Raise&& raise) noexcept {
    if (sink_ == nullptr) return;
    try {
      raise(*sink_);
    } catch (...) {
    }
  }

  EventSink* sink_;
};

// The host's message loop, if one is attached.
class HostYield {
 public:
  explicit HostYield(HostLoop* loop) : loop_(loop) {}
  void operator()() noexcept {
    if (loop_ == nullptr) return;
    try {
      loop_->Yield();
    } catch (...) {
    }
  }

 private:
  HostLoop* loop_;
};

}  // namespace torvane
