#pragma once

#include <optional>
#include <string>

namespace torvane {

// The two halves of a call as the operator typed it: the callsign to ask a callbook for, and
// the call or prefix that decides the entity (empty when the callsign itself decides).
struct ParsedCall {
  std::string BaseCall;
  std::string PrefixCall;
};

// Splits a call: upper case, "\" read as "/", portable and mode suffixes stripped, a foreign
// prefix before or after the call, a new call-area digit (W1AW/4 -> W4), one-letter
// designators of shared-prefix islands (FO5XX/M -> FO/M), and United States two-letter
// prefixes turned into W plus the call-area digit. Returns the text for the activity log
// when a digit rule collected letters; no value when it is the call as passed.
std::optional<std::string> ParseCall(const std::string& call, ParsedCall& parsed);

}  // namespace torvane
