#include "core/events.h"

namespace torvane {

void EventDispatcher::CallDataOK(bool status) noexcept {
  Deliver([&](EventSink& sink) { sink.CallDataOK(status); });
}

void EventDispatcher::WebStatus(const std::string& status) noexcept {
  Deliver([&](EventSink& sink) { sink.WebStatus(status); });
}

void EventDispatcher::InetText(const std::string& status) noexcept {
  Deliver([&](EventSink& sink) { sink.InetText(status); });
}

void EventDispatcher::BeaconChange(const std::string& slot, const std::string& callsign,
                                   const std::string& entity, const std::string& location,
                                   const std::string& latitude,
                                   const std::string& longitude) noexcept {
  Deliver([&](EventSink& sink) {
    sink.BeaconChange(slot, callsign, entity, location, latitude, longitude);
  });
}

void EventDispatcher::eQSLStatus(const std::string& status) noexcept {
  Deliver([&](EventSink& sink) { sink.eQSLStatus(status); });
}

void EventDispatcher::LoTWDownloadStatus(std::int32_t percent) noexcept {
  Deliver([&](EventSink& sink) { sink.LoTWDownloadStatus(percent); });
}

}  // namespace torvane
