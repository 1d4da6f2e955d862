#include "lookup/call_parser.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "core/text.h"

namespace torvane {

namespace {

enum class Order { kLetterAfterCall, kLetterBeforeCall };

// What a designator letter does: name a designator entity, give way to the call, or stay
// as the deciding part.
struct Designation {
  enum class Kind { kDesignator, kUseCall, kKeepLetter } kind = Kind::kKeepLetter;
  std::string designator;
};

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

Designation Designate(char letter, std::string_view call, Order order) {
  using Kind = Designation::Kind;
  struct Rule {
    std::string_view start;
    std::string_view designator;
  };
  // Each letter's tests in order; a later match overwrites an earlier one.
  auto first_of = [&](std::initializer_list<Rule> rules, Kind otherwise) {
    Designation result{otherwise, {}};
    for (const Rule& rule : rules) {
      if (StartsWith(call, rule.start)) result = {Kind::kDesignator, std::string(rule.designator)};
    }
    return result;
  };
  switch (letter) {
    case 'M': {
      Designation result{Kind::kUseCall, {}};
      if (text::Contains(call, "CY0")) result = {Kind::kDesignator, "CY0/M"};
      if (StartsWith(call, "FO")) result = {Kind::kDesignator, "FO/M"};
      return result;
    }
    case 'A':
      return first_of({{"SV", "SV/A"}, {"FO", "FO/A"}}, Kind::kKeepLetter);
    case 'B':
      return first_of({{"3Y", "3Y/B"}},
                      order == Order::kLetterAfterCall ? Kind::kUseCall : Kind::kKeepLetter);
    case 'C':
      return first_of({{"3D2", "3D2/C"}, {"FO", "FO/C"}, {"FK", "FK/C"}}, Kind::kKeepLetter);
    case 'G':
      return first_of({{"FR", "FR/G"}, {"VP8", "VP8/G"}}, Kind::kKeepLetter);
    case 'H':
      if (order == Order::kLetterBeforeCall) return {};
      return first_of({{"VP8", "VP8/H"}}, Kind::kKeepLetter);
    case 'J':
      return first_of({{"FR", "FR/J"}}, Kind::kKeepLetter);
    case 'O':
      return first_of({{"VP8", "VP8/O"}}, Kind::kKeepLetter);
    case 'R':
      return first_of({{"3D2", "3D2/R"}}, Kind::kKeepLetter);
    case 'S':
      return first_of({{"VP8", "VP8/S"}}, Kind::kKeepLetter);
    case 'T':
      return first_of({{"FR", "FR/T"}}, Kind::kKeepLetter);
    case 'P':
      return first_of({{"3Y", "3Y/P"}}, Kind::kUseCall);
    default:
      return {};
  }
}

// The characters of `call` before its first digit.
std::string LettersBeforeFirstDigit(const std::string& call) {
  std::string letters;
  for (char c : call) {
    if (text::IsDigit(c)) break;
    letters += c;
  }
  return letters;
}

// The W prefix of a call area, from the call's third character.
void SetCallArea(ParsedCall& parsed, char area) {
  parsed.PrefixCall.assign({'W', area});
}

// K, W, N and A calls with a two-letter prefix are treated as W plus their call-area digit,
// except the prefixes that belong to other entities (Alaska, Hawaii, the Caribbean and
// Pacific possessions) and Guantanamo's KG4 five-character calls.
void ApplyUnitedStatesRules(ParsedCall& parsed) {
  const std::string& call = parsed.BaseCall;
  const auto at = [&](std::size_t i) { return i < call.size() ? call[i] : '\0'; };
  const char c1 = at(0);
  const char c2 = at(1);
  const char c3 = at(2);
  if (c1 != 'K' && c1 != 'W' && c1 != 'N' && c1 != 'A') return;
  if (text::IsDigit(c2)) return;
  const std::string_view first_two = std::string_view(call).substr(0, 2);
  if (first_two >= "AL" && first_two <= "AZ") return;
  const std::string_view first_three = std::string_view(call).substr(0, 3);
  if (first_three == "KC4") {
    if (call.size() < 5) SetCallArea(parsed, c3);
    return;
  }
  if (first_three == "KV1" || first_three == "KV4" || first_three == "KG4") {
    if (call.size() > 5) SetCallArea(parsed, c3);
    return;
  }
  if (c2 == 'L' || c2 == 'H') return;
  const std::string_view second_third = call.size() >= 3 ? std::string_view(call).substr(1, 2)
                                                          : std::string_view();
  for (std::string_view excluded : {"P1", "P2", "P4", "P5", "V4"}) {
    if (second_third == excluded) return;
  }
  if (text::IsDigit(c3)) SetCallArea(parsed, c3);
}

}  // namespace

std::optional<std::string> ParseCall(const std::string& call, ParsedCall& parsed) {
  // Built where it is kept: most calls have no "/", and the upper-case call is their BaseCall.
  std::string& upper = parsed.BaseCall;
  upper.assign(call);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '\\') c = '/';
  }
  parsed.PrefixCall.clear();
  if (upper.find('/') == std::string::npos) {
    ApplyUnitedStatesRules(parsed);
    return std::nullopt;
  }
  std::string s = upper;

  for (std::string_view suffix : {"/P", "/M", "/A", "/AM", "/MM", "/QRP"}) {
    // Only a suffix whose first occurrence ends the call: W1AW/P/P keeps both.
    if (s.size() >= suffix.size() && s.find(suffix) == s.size() - suffix.size()) {
      s.erase(s.size() - suffix.size());
    }
  }

  const std::size_t first_slash = s.find('/');
  if (first_slash == std::string::npos) {
    parsed.BaseCall = s;
    ApplyUnitedStatesRules(parsed);
    return std::nullopt;
  }

  std::string left(text::Trim(std::string_view(s).substr(0, first_slash)));
  std::string right(text::Trim(std::string_view(s).substr(s.rfind('/') + 1)));
  if (left.empty()) {
    parsed.BaseCall = parsed.PrefixCall = right;
    return std::nullopt;
  }
  if (right.empty()) {
    parsed.BaseCall = parsed.PrefixCall = left;
    return std::nullopt;
  }

  std::optional<std::string> log_text;
  if (left.size() > right.size()) {  // the short part follows the call
    if (right.size() == 1 && text::IsDigit(right[0])) {
      log_text = LettersBeforeFirstDigit(left);
      right = *log_text + right;
    } else if (right.size() == 1) {
      const Designation designation = Designate(right[0], left, Order::kLetterAfterCall);
      if (designation.kind == Designation::Kind::kDesignator) {
        left = right = designation.designator;
      } else if (designation.kind == Designation::Kind::kUseCall) {
        right = left;
      }
    }
    if (right == "MM" || right == "QRP") right = left;
    parsed.BaseCall = left;
    parsed.PrefixCall = right;
    return log_text;
  }

  // The short part comes first.
  if (left.size() == 1 && text::IsDigit(left[0])) {
    log_text = LettersBeforeFirstDigit(right);
    left = *log_text + left;
  } else if (left.size() == 1) {
    const Designation designation = Designate(left[0], right, Order::kLetterBeforeCall);
    if (designation.kind == Designation::Kind::kDesignator) {
      left = right = designation.designator;
    } else if (designation.kind == Designation::Kind::kUseCall) {
      left = right;
    }
  }
  parsed.BaseCall = right;
  parsed.PrefixCall = left;
  return log_text;
}

}  // namespace torvane
