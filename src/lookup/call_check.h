#pragma once

#include <cstdint>
#include <string>

#include "core/settings.h"
#include "lookup/call_cache.h"
#include "lookup/callbook.h"

namespace torvane {

// The check in front of every per-call query: the expensive work (parsing, the callbook
// chain, the prefix merge, the distances) runs only when the call differs from the cached one.
class CallCheck {
 public:
  CallCheck(Settings& settings, const WebState& web, EventDispatcher& events, CallCache& cache,
            Callbook& callbook)
      : settings_(settings),
        web_(web),
        events_(events),
        cache_(cache),
        callbook_(callbook) {}

  // 0 when data is available. `skip_bio` is false only for the biography and photo queries.
  std::int16_t CheckCall(const std::string& callsign, bool skip_bio);

 private:
  Settings& settings_;
  const WebState& web_;
  EventDispatcher& events_;
  CallCache& cache_;
  Callbook& callbook_;
};

}  // namespace torvane
