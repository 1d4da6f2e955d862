#pragma once

#include <cstdint>
#include <string>

#include "lookup/call_parser.h"
#include "prefix/prefix_lookup.h"

namespace torvane {

// The one-call cache keys and the parsed halves of the current call, with the light check
// that the quick getters run: it re-resolves the prefix only when the call changes.
class CallCache {
 public:
  CallCache(PrefixLookup& prefixes, const WebState& web, EventDispatcher& events)
      : prefixes_(prefixes), web_(web), events_(events) {}

  // Parses the call into BaseCall and PrefixCall; returns the activity-log text of the parse.
  std::string Parse(const std::string& call);

  // 0 for a repeated call (raising CallDataOK unless web activity is stopped); otherwise the
  // prefix lookup's result for the new call, non-zero when no entity was found.
  std::int16_t QuickCheckCall(const std::string& callsign);

  void ClearQuickCheckCall() { QuickCall.clear(); }

  std::string LastCall;   // the call of the last full check ("\" read as "/", case kept)
  std::string QuickCall;  // the call of the last quick check; also set by the full check
  bool StateTrace = false;
  ParsedCall parsed;      // BaseCall and PrefixCall

  const std::string& BaseCall() const { return parsed.BaseCall; }
  std::string& PrefixCall() { return parsed.PrefixCall; }

 private:
  PrefixLookup& prefixes_;
  const WebState& web_;
  EventDispatcher& events_;
};

}  // namespace torvane
