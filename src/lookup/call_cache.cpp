#include "lookup/call_cache.h"

#include <algorithm>

namespace torvane {

std::string CallCache::Parse(const std::string& call) {
  return ParseCall(call, parsed).value_or(call);
}

namespace {

// `callsign` read with "\\" as "/" equals `cached`: the repeated getters of one call ask this
// without building a copy.
bool IsCachedCall(const std::string& callsign, const std::string& cached) {
  if (callsign == cached) return true;
  if (callsign.size() != cached.size() || callsign.find('\\') == std::string::npos) return false;
  for (std::size_t i = 0; i < callsign.size(); ++i) {
    const char c = callsign[i] == '\\' ? '/' : callsign[i];
    if (c != cached[i]) return false;
  }
  return true;
}

}  // namespace

std::int16_t CallCache::QuickCheckCall(const std::string& callsign) {
  if (!IsCachedCall(callsign, QuickCall)) {
    QuickCall.assign(callsign);
    std::replace(QuickCall.begin(), QuickCall.end(), '\\', '/');
    Parse(QuickCall);
    return prefixes_.LookupPrefix(parsed.BaseCall, parsed.PrefixCall) ? 1 : 0;
  }
  if (!web_.webStopped) events_.CallDataOK(true);
  return 0;
}

}  // namespace torvane
