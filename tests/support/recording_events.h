#pragma once

#include <string>
#include <vector>

#include "torvane/events.h"

namespace torvane::testing {

// Keeps every event as one line of text: "CallDataOK true", "WebStatus Stopped", ...
class RecordingEvents : public EventSink {
 public:
  void CallDataOK(bool status) override { Add("CallDataOK " + std::string(status ? "true" : "false")); }
  void WebStatus(const std::string& status) override { Add("WebStatus " + status); }
  void InetText(const std::string& status) override { Add("InetText " + status); }
  void BeaconChange(const std::string& slot, const std::string& callsign,
                    const std::string& entity, const std::string& location,
                    const std::string& latitude, const std::string& longitude) override {
    Add("BeaconChange " + slot + " " + callsign + " " + entity + " " + location + " " + latitude +
        " " + longitude);
  }
  void eQSLStatus(const std::string& status) override { Add("eQSLStatus " + status); }
  void LoTWDownloadStatus(std::int32_t percent) override {
    Add("LoTWDownloadStatus " + std::to_string(percent));
  }

  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(events_);
    return taken;
  }

 private:
  void Add(std::string event) { events_.push_back(std::move(event)); }
  std::vector<std::string> events_;
};

}  // namespace torvane::testing
