#include <gtest/gtest.h>

#include "lookup/call_parser.h"

namespace torvane {
namespace {

TEST(ParseCall, SplitsPortableSpecialAndUnitedStatesCalls) {
  const struct {
    const char* call;
    const char* base;
    const char* prefix;
  } cases[] = {
      // Suffixes are stripped only where their first occurrence ends the call.
      {"W1AW/P", "W1AW", ""},
      {"W1AW/M", "W1AW", ""},
      {"W1AW/QRP", "W1AW", ""},
      {"W1AW/MM", "W1AW", ""},
      {"W1AW/AM", "W1AW", ""},
      {"W1AW/M/P", "W1AW", ""},
      {"W1AW/P/P", "W1AW", "W1AW"},  // not stripped; P meets no 3Y call: the call is used
      {"W1AW/X/X", "W1AW", "X"},     // a letter without a rule stays the deciding part
      // Foreign prefixes before or after the call, new call areas.
      {"KH6/W1AW", "W1AW", "KH6"},
      {"W1AW/KH6", "W1AW", "KH6"},
      {"W1AW/4", "W1AW", "W4"},
      {"4/W1AW", "W1AW", "W4"},
      {"/W1AW", "W1AW", "W1AW"},
      {"W1AW/", "W1AW", "W1AW"},
      {"DL/W1AW/P", "W1AW", "DL"},
      {"VE3/W1AW/MM", "W1AW", "VE3"},
      {"W1AW/VE3/QRP", "W1AW", "VE3"},
      // Designators of islands that share a prefix.
      {"FO5XX/M/M", "FO/M", "FO/M"},
      {"FO5XX/M", "FO5XX", ""},  // a final /M is a mobile suffix
      {"M/FO5XX", "FO/M", "FO/M"},
      {"CY0XX/M/M", "CY0/M", "CY0/M"},
      {"C/FK8XX", "FK/C", "FK/C"},
      {"S/VP8XX", "VP8/S", "VP8/S"},
      {"VP8XX/H", "VP8/H", "VP8/H"},
      {"H/VP8XX", "VP8XX", "H"},  // H counts only after the call
      {"3Y0XX/B", "3Y/B", "3Y/B"},
      {"B/DL1XX", "DL1XX", "B"},  // B before a call without a rule keeps the letter
      {"DL1XX/B", "DL1XX", "DL1XX"},
      {"3D2XX/R", "3D2/R", "3D2/R"},
      {"3D2XX/C", "3D2/C", "3D2/C"},
      {"FR5XX/G", "FR/G", "FR/G"},
      {"VP8XX/G", "VP8/G", "VP8/G"},
      {"SV2XX/A/A", "SV/A", "SV/A"},
      {"3Y0XX/P/P", "3Y/P", "3Y/P"},
      // United States two-letter prefixes become W plus the call area.
      {"KB1ABC", "KB1ABC", "W1"},
      {"AA1AB", "AA1AB", "W1"},
      {"KL7ABC", "KL7ABC", ""},
      {"KH6ABC", "KH6ABC", ""},
      {"AL7AB", "AL7AB", ""},
      {"KP4AB", "KP4AB", ""},
      {"WP2AB", "WP2AB", ""},
      {"KC4AB", "KC4AB", ""},
      {"KC4A", "KC4A", "W4"},
      {"KG4AB", "KG4AB", ""},
      {"KG4ABC", "KG4ABC", "W4"},
      {"KV4ABC", "KV4ABC", "W4"},
      {"W1AW", "W1AW", ""},
      {"DL1ABC", "DL1ABC", ""},
      // Case and backslashes.
      {"w1aw\\p", "W1AW", ""},
      {"kb1abc", "KB1ABC", "W1"},
      // Hostile or degenerate input gives some BaseCall and never fails.
      {"", "", ""},
      {"/", "", ""},
      {"///", "", ""},
      {"12345", "12345", ""},
      {"K", "K", ""},
      {"KB", "KB", ""},
      {"\"W1AW'", "\"W1AW'", ""},
      {"W1AW\xC3\xA9", "W1AW\xC3\xA9", ""},
  };
  for (const auto& c : cases) {
    ParsedCall parsed{"old", "old"};
    ParseCall(c.call, parsed);
    EXPECT_EQ(parsed.BaseCall, c.base) << c.call;
    EXPECT_EQ(parsed.PrefixCall, c.prefix) << c.call;
  }
}

TEST(ParseCall, ReportsTheLettersADigitRuleCollectedOrNothing) {
  ParsedCall parsed;
  EXPECT_EQ(ParseCall("w1aw/4", parsed), "W");
  EXPECT_EQ(ParseCall("4/DL1ABC", parsed), "DL");
  EXPECT_EQ(ParseCall("kh6/w1aw", parsed), std::nullopt);
  EXPECT_EQ(ParseCall("dl1abc", parsed), std::nullopt);
}

TEST(ParseCall, SurvivesVeryLongCalls) {
  ParsedCall parsed;
  const std::string long_call(100000, 'W');
  ParseCall(long_call + "/" + long_call + "1", parsed);
  EXPECT_EQ(parsed.BaseCall.size(), 100001u);
}

}  // namespace
}  // namespace torvane
