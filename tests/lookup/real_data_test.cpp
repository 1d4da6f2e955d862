#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "lookup/call_parser.h"
#include "tests/support/default_data.h"
#include "torvane/torvane_control.h"

namespace torvane::testing {
namespace {

Options DefaultDataOptions() {
  Options options;
  options.data_folder = DefaultDataFolder();
  return options;
}

struct CtyEntity {
  std::string country;
  std::string dxcc;
};

// What cty.csv itself says: every key (alias prefix or exact call, markers removed) with the
// entities that list it.
std::map<std::string, std::set<std::pair<std::string, std::string>>> CtyKeys() {
  std::map<std::string, std::set<std::pair<std::string, std::string>>> keys;
  std::ifstream in(kDebianCtyCsv);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
    if (fields.size() != 10) continue;
    std::stringstream aliases(fields[9]);
    for (std::string alias; aliases >> alias;) {
      std::string key;
      for (char c : alias.substr(alias[0] == '=' ? 1 : 0)) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/') break;
        key += c;
      }
      keys[key].insert({fields[1], fields[2]});
    }
  }
  return keys;
}

TEST(RealData, EveryUnambiguousKeyOfCtyCsvResolvesToItsEntity) {
  TorvaneControl control(DefaultDataOptions());
  int checked = 0;
  for (const auto& [key, entities] : CtyKeys()) {
    if (entities.size() != 1) continue;  // listed by two entities
    ParsedCall parsed;
    ParseCall(key, parsed);
    // Keys that the parsing rules send elsewhere: portable forms, United States two-letter
    // calls (W plus the call area decides them) and long KG4 calls.
    if (!parsed.PrefixCall.empty() || key.find('/') != std::string::npos ||
        key.find("KG4") != std::string::npos) {
      continue;
    }
    const auto& [country, dxcc] = *entities.begin();
    EXPECT_EQ(control.GetQuickPrefixDXCCNumber(key), dxcc) << key;
    EXPECT_EQ(control.GetQuickPrefixCountry(key), country) << key;
    ++checked;
  }
  EXPECT_GT(checked, 15000);
}

TEST(RealData, CallsOfEveryKindAgreeWithCtyCsv) {
  TorvaneControl control(DefaultDataOptions());
  const struct {
    const char* call;
    const char* dxcc;
    const char* country;
    const char* cq_zone;
  } cases[] = {
      // Plain calls.
      {"DL1ABC", "230", "Fed. Rep. of Germany", "14"},
      {"G4ABC", "223", "England", "14"},
      {"JA1ABC", "339", "Japan", "25"},
      // Portable, before and after; a new call area; mode suffixes.
      {"KH6/W1AW", "110", "Hawaii", "31"},
      {"W1AW/KH6", "110", "Hawaii", "31"},
      {"DL/W1AW/P", "230", "Fed. Rep. of Germany", "14"},
      {"CE0Y/W1AW", "47", "Easter Island", "12"},
      {"W1AW/4", "291", "United States", "03/04/05"},
      {"DL1ABC/MM", "230", "Fed. Rep. of Germany", "14"},
      // Designators.
      {"FO5XX/M/M", "509", "Marquesas Islands", "31"},
      {"C/FK8XX", "512", "Chesterfield Islands", "30"},
      {"3D2XX/C", "489", "Conway Reef", "32"},
      {"VP8XX/H", "241", "South Shetland Islands", "13"},
      // United States two-letter prefixes and the other entities of K, W, N and A calls.
      {"KB1ABC", "291", "United States", "03/04/05"},
      {"AA7XX", "291", "United States", "03/04/05"},
      {"KL7ABC", "6", "Alaska", "01"},
      {"KP4ABC", "202", "Puerto Rico", "08"},
      {"KG4AB", "105", "Guantanamo Bay", "08"},
      // Exact-call entries, and a prefix that another entity lists as an exact call.
      {"TX0A", "175", "French Polynesia", "32"},
      {"4U1VIC", "206", "Vienna Intl Ctr", "15"},
      {"2M0BDR", "279", "Shetland Islands", "14"},
      {"EF6ABC", "21", "Balearic Islands", "14"},
      {"IT9ABC", "248", "Sicily", "15"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(control.GetQuickPrefixDXCCNumber(c.call), c.dxcc) << c.call;
    EXPECT_EQ(control.GetQuickPrefixCountry(c.call), c.country) << c.call;
    EXPECT_EQ(control.GetQuickPrefixCQZone(c.call), c.cq_zone) << c.call;
  }
}

TEST(RealData, EntitiesByNumberAreTheDxccEntitiesNotTheirWaeParts) {
  TorvaneControl control(DefaultDataOptions());
  EXPECT_EQ(control.GetCountryFromDXCC(248), "Italy");
  EXPECT_EQ(control.GetCountryFromDXCC(279), "Scotland");
  EXPECT_EQ(control.GetCountryFromDXCC(291), "United States");
  EXPECT_EQ(control.GetCQZoneFromDXCC(291), "03/04/05");
  EXPECT_EQ(control.GetContinentFromDXCC(6), "NA");
}

}  // namespace
}  // namespace torvane::testing
