#include "lookup/call_check.h"

#include <fmt/format.h>

#include "core/activity_log.h"
#include "core/text.h"

namespace torvane {

std::int16_t CallCheck::CheckCall(const std::string& callsign, bool skip_bio) {
  const std::string call = text::ReplaceAll(callsign, "\\", "/");
  if (call == cache_.LastCall) {
    if (!web_.webStopped) events_.CallDataOK(true);
    return 0;
  }
  if (settings_.Devel && cache_.StateTrace) {
    ActivityLog::Write("State cdState now " + callbook_.record.State + "; clearing data");
  }
  const std::string parsed = cache_.Parse(call);
  const std::string& prefix_call = cache_.PrefixCall();
  const std::string deciding_call = prefix_call.size() >= 2 ? prefix_call : cache_.BaseCall();
  const std::int16_t result = callbook_.LookupCallbook(deciding_call, skip_bio);
  cache_.LastCall = call;
  cache_.QuickCall = call;
  if (settings_.Devel) {
    ActivityLog::Write(fmt::format("CheckCall parsed call: {} returned {}", parsed, result));
  }
  return result;
}

}  // namespace torvane
