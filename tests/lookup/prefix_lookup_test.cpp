#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "service/service.h"
#include "tests/lookup/lookup_fixture.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;

class PrefixLookupTest : public LookupTest {};

TEST_F(PrefixLookupTest, TheLongestUsableKeyDecidesTheEntity) {
  const struct {
    const char* call;
    const char* country;
    const char* dxcc;
    const char* wpx;
    const char* real_prefix;
    const char* prefix_country;
  } cases[] = {
      {"DL1ABC", "Fed. Rep. of Germany", "230", "DL1", "", "Fed. Rep. of Germany"},
      {"W1AW", "Fed. Rep. of Germany", "230", "W1", "", "Fed. Rep. of Germany"},  // exact "!"
      {"W1AWX", "United States", "291", "W1", "", "United States"},  // "!" refused when shorter
      {"KH6/W1AW", "Hawaii", "110", "W1", "KH6", "Hawaii"},
      {"KH7/W1XX", "Hawaii", "110", "W1", "", "Hawaii"},  // a pair key empties the prefix call
      {"W1XX/KH7", "Hawaii", "110", "W1", "", "Hawaii"},
      {"FO5XX/M/M", "Marquesas Islands", "509", "FO/M", "FO/M", "Marquesas Islands"},
      {"KG4AB", "Guantanamo Bay", "105", "KG4", "", "Guantanamo Bay"},
      {"3DA0XY", "Guantanamo Bay", "105", "3DA0", "", "Guantanamo Bay"},  // no key: unchanged
      {"kb1abc", "United States", "291", "KB1", "W1", "United States"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(control().GetQuickCountry(c.call), c.country) << c.call;
    EXPECT_EQ(control().GetQuickDXCCNumber(c.call), c.dxcc) << c.call;
    EXPECT_EQ(control().GetPrefixWPX(c.call), Variant(c.wpx)) << c.call;
    EXPECT_EQ(control().GetRealPrefix(c.call), c.real_prefix) << c.call;
    EXPECT_EQ(control().GetQuickPrefixCountry(c.call), c.prefix_country) << c.call;
  }
}

TEST_F(PrefixLookupTest, TheKg4RuleSendsLongCallsToTheFourthCallArea) {
  control_.reset();
  Service service(folder_.MakeOptions(), nullptr, nullptr);
  PrefixLookup& lookup = service.prefix_lookup();
  std::string prefix_call;
  EXPECT_FALSE(lookup.LookupPrefix("DL1ABC", prefix_call));
  // Called without a prefix call, KG4ABC gets "W4" and probes only KG4ABC and KG4AB (the
  // length of "W4"), finding neither: the call's entity keeps the previous values, the
  // prefix entity becomes the United States.
  EXPECT_FALSE(lookup.LookupPrefix("KG4ABC", prefix_call));
  EXPECT_EQ(prefix_call, "W4");
  EXPECT_EQ(lookup.CallEntity().Country, "Fed. Rep. of Germany");
  EXPECT_EQ(lookup.PrefixEntity().Country, "United States");
  prefix_call.clear();
  EXPECT_FALSE(lookup.LookupPrefix("KG4AB", prefix_call));  // five characters: its own entity
  EXPECT_EQ(prefix_call, "");
  EXPECT_EQ(lookup.CallEntity().Country, "Guantanamo Bay");
}

TEST_F(PrefixLookupTest, OffsetsInvertTheStoredSignAndZonesTakeTwoDigits) {
  EXPECT_EQ(control().GetPrefixHoursOffset("K1ABC"), Variant(-5.0));
  EXPECT_EQ(control().GetPrefixHoursOffset("FO5XX/M/M"), Variant(9.5));
  EXPECT_EQ(control().GetPrefixHoursOffset("QQQ"), Variant(std::int16_t{0}));  // no entity

  EXPECT_EQ(control().GetQuickPrefixCQZone("DL1ABC"), "14");  // stored " 14 "
  EXPECT_EQ(control().GetQuickPrefixITUZone("KG4AB"), "11");
  EXPECT_EQ(control().GetQuickPrefixCQZone("K1ABC"), "03/04/05");
}

TEST_F(PrefixLookupTest, NullColumnsKeepThePreviousValues) {
  // ZZ has no DXCC number and no position.
  EXPECT_EQ(control().GetQuickLatitude("ZZ1AA"), "0");
  EXPECT_EQ(control().GetQuickDXCCNumber("ZZ1AA"), "0");
  EXPECT_EQ(control().GetQuickDXCCNumber("ZZ1AA"), "291");  // written back on the first read
  EXPECT_EQ(control().GetQuickLatitude("DL1ABC"), "51");
  EXPECT_EQ(control().GetQuickLatitude("ZZ1AB"), "51");
  EXPECT_EQ(control().GetQuickContinent("ZZ1AB"), "EU");
  EXPECT_EQ(control().GetQuickMasterPrefix("ZZ1AB"), "ZZ");
  // DL0 links to no entity row: nothing changes but the WPX prefix.
  EXPECT_EQ(control().GetQuickCountry("DL0ABC"), "Nowhere");
  EXPECT_EQ(control().GetPrefixWPX("DL0ABC"), Variant("DL0"));
}

TEST_F(PrefixLookupTest, EntityValidityFollowsTheQsoDate) {
  const struct {
    const char* call;
    const char* date;
    std::int16_t id;
  } cases[] = {
      {"VK0/W1AW", "6/1/1989", 0},  // before Begin_Date
      {"VK0/W1AW", "6/1/1995", 9},  {"VK0/W1AW", "", 0},
      {"VK0X/W1AW", "6/1/1995", 9},  // a "Before" that is no four-digit year is ignored
      {"DL0/W1AW", "1/5/1993", 7},  // an old key valid before 1994
      {"Y2/W1AW", "1/1/1990", 7},   {"Y2/W1AW", "1/1/1991", 0},  // after End_Date
      // VK0's End_Date is Null, so it keeps the one Y2 left behind.
      {"VK0/W1AW", "6/1/1995", 0},
      {"DL1ABC", "2020-01-01", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(control().GetQuickStatus(c.call, c.date), c.id) << c.call << " " << c.date;
  }
}

TEST_F(PrefixLookupTest, AmbiguousPrefixesAreReportedForPortableCallsOnly) {
  const struct {
    const char* call;
    std::int16_t code;
  } cases[] = {
      {"ZK1/W1AW", 2}, {"VK0/W1AW", 2},  {"3D2/W1AW", 3}, {"3D2XX/R", 0}, {"3D2/W1AW/C", 0},
      {"VP8/W1AW", 5}, {"FO/W1AW", 4},   {"FO5XX/M/M", 0},  {"FR/W1AW", 4}, {"FR/W1AW/T", 0},
      {"CE0/W1AW", 2}, {"CE0X/W1AW", 0}, {"HK0/W1AW", 0}, {"3Y/W1AW", 2}, {"W1AW", 0},
      {"DL/W1AW", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(control().GetIsAmbiguousPrefix(c.call), c.code) << c.call;
}

TEST_F(PrefixLookupTest, ARepeatedCallIsNotResolvedAgainUntilTheQuickCacheIsCleared) {
  EXPECT_EQ(control().GetPrefixHoursOffset("DL1ABC"), Variant(1.0));
  EXPECT_TRUE(control().SetSpecialCall("DL"));  // DL may now only be taken exactly
  EXPECT_EQ(control().GetPrefixHoursOffset("DL1ABC"), Variant(1.0));  // cached
  EXPECT_EQ(control().ClearQuickCheckCall(), Variant());
  EXPECT_EQ(control().GetPrefixHoursOffset("DL1ABC"), Variant(std::int16_t{0}));  // not found
  EXPECT_EQ(control().GetQuickCountry("DL"), "Fed. Rep. of Germany");  // exact is still taken
}

TEST_F(PrefixLookupTest, SetSpecialCallMarksOnlyExistingKeysAndTheMarkIsKept) {
  EXPECT_FALSE(control().SetSpecialCall("XX9"));
  EXPECT_TRUE(control().SetSpecialCall("kh6"));  // keys compare without regard to case
  EXPECT_EQ(control().GetQuickCountry("KH6ABC"), "United States");  // KH6 refused, K taken
  Start();
  EXPECT_EQ(control().GetQuickCountry("KH6ABC"), "United States");
  EXPECT_EQ(control().GetQuickCountry("KH6"), "Hawaii");
}

TEST_F(PrefixLookupTest, EntitiesAreReadByIdAndDxccNumber) {
  EXPECT_EQ(control().GetCountryFromID(2), "Hawaii");
  EXPECT_EQ(control().GetCountryFromID(0), "");
  EXPECT_EQ(control().GetCountryFromID(77), "");
  EXPECT_EQ(control().GetCountryFromDXCC(291), "United States");  // first row of the number
  EXPECT_EQ(control().GetCountryFromDXCC(0), "");
  EXPECT_EQ(control().GetContinentFromDXCC(230), "EU");
  EXPECT_EQ(control().GetCQZoneFromDXCC(105), "08");
  EXPECT_EQ(control().GetCQZoneFromDXCC(230), "14");
  EXPECT_EQ(control().GetITUZoneFromDXCC(291), "06/07/08");
  EXPECT_EQ(control().GetCQZoneFromDXCC(999), "");
  EXPECT_EQ(control().GetDXCCNumberFromID(4), "509");
  EXPECT_EQ(control().GetDXCCNumberFromID(77), "0");
  EXPECT_EQ(control().GetDXCCNumberFromID(0), "0");
  EXPECT_EQ(control().GetDXCCNumberFromID(8), "0");  // Null number
  EXPECT_EQ(control().GetContinentFromID(77), "0");
  EXPECT_EQ(control().GetContinentFromID(0), "");
}

TEST_F(PrefixLookupTest, HostileCallsAnswerQuietlyAndLeaveTheDatabaseAlone) {
  const std::string before = ReadFile(folder_.PrefixDatabase());
  for (const std::string& call :
       {std::string(), std::string("/"), std::string("////"), std::string("0123456789"),
        std::string(10000, 'W'), std::string("\\\\"), std::string("W1AW' OR '1'='1"),
        std::string("\"; DROP TABLE plink; --"), std::string("\xC3\xA9\xE2\x82\xAC"),
        std::string("W1AW\0X", 6)}) {
    control().GetQuickCountry(call);
    control().GetPrefixWPX(call);
    control().GetIsAmbiguousPrefix(call);
    control().GetQuickStatus(call, call);
    control().GetCountry(call);
    control().GetMilesToDX(call);
    control().GetCallsign(call);
  }
  control_.reset();
  EXPECT_EQ(ReadFile(folder_.PrefixDatabase()), before);
}

}  // namespace
}  // namespace torvane::testing
