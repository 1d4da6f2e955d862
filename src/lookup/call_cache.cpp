#include "lookup/call_cache.h"

#include "core/text.h"

namespace torvane {

std::string CallCache::Parse(const std::string& call) { return ParseCall(call, parsed); }

std::int16_t CallCache::QuickCheckCall(const std::string& callsign) {
  const std::string call = text::ReplaceAll(callsign, "\\", "/");
  if (call != QuickCall) {
    QuickCall = call;
    Parse(call);
    return prefixes_.LookupPrefix(parsed.BaseCall, parsed.PrefixCall) ? 1 : 0;
  }
  if (!web_.webStopped) events_.CallDataOK(true);
  return 0;
}

}  // namespace torvane
