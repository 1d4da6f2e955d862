#include "import/cty_csv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "tests/import/import_fixtures.h"

namespace torvane::import {
namespace {

using ::testing::HasSubstr;

TEST(CtyAlias, MarkersOverrideTheirValuesInAnyOrder) {
  const struct {
    const char* token;
    const char* key;
    bool exact;
    std::optional<int> cq, itu;
    std::optional<double> latitude, longitude;
    std::optional<std::string> continent;
    std::optional<double> offset;
  } cases[] = {
      {"K", "K", false, {}, {}, {}, {}, {}, {}},
      {"AA0(4)[7]", "AA0", false, 4, 7, {}, {}, {}, {}},
      {"=N2NL/MM(7)", "N2NL/MM", true, 7, {}, {}, {}, {}, {}},
      {"VK4[55]", "VK4", false, {}, 55, {}, {}, {}, {}},
      {"=vk9xx[54](29)", "VK9XX", true, 29, 54, {}, {}, {}, {}},
      // Longitudes are written west positive and kept east positive; offsets keep their sign.
      {"=VK9XX<-12.50/-96.80>{AS}~-6.5~", "VK9XX", true, {}, {}, -12.5, 96.8, "AS", -6.5},
      {"R0~-7~<55.0/84.5>(19){AS}", "R0", false, 19, {}, 55.0, -84.5, "AS", -7.0},
      {"=3D2AG/P", "3D2AG/P", true, {}, {}, {}, {}, {}, {}},
  };
  for (const auto& c : cases) {
    CtyAlias alias;
    std::string error;
    ASSERT_TRUE(ParseCtyAlias(c.token, alias, error)) << c.token << ": " << error;
    EXPECT_EQ(alias.key, c.key) << c.token;
    EXPECT_EQ(alias.exact, c.exact) << c.token;
    EXPECT_EQ(alias.cq_zone, c.cq) << c.token;
    EXPECT_EQ(alias.itu_zone, c.itu) << c.token;
    EXPECT_EQ(alias.latitude_deg, c.latitude) << c.token;
    EXPECT_EQ(alias.longitude_deg, c.longitude) << c.token;
    EXPECT_EQ(alias.continent, c.continent) << c.token;
    EXPECT_EQ(alias.time_offset_hours, c.offset) << c.token;
    EXPECT_EQ(alias.HasOverrides(), c.cq || c.itu || c.latitude || c.continent || c.offset)
        << c.token;
  }
}

TEST(CtyAlias, MalformedTokensAreRefusedWithAReason) {
  const struct {
    const char* token;
    const char* reason;
  } cases[] = {
      {"AA0(4", "'(' is not closed"},       {"AA0(x)[7]", "\"x\" is not a zone"},
      {"(4)[7]", "no prefix or call"},      {"=", "no prefix or call"},
      {"AA0(4)(5)", "two CQ zones"},        {"AA0[7][8]", "two ITU zones"},
      {"K-1", "'-' cannot be part"},        {"AA0<12.5>", "not a latitude/longitude pair"},
      {"AA0<95/10>", "not a latitude"},     {"AA0{NORTH}", "not a two-letter continent"},
      {"AA0~x~", "not a time offset"},      {"AA0~5", "'~' is not closed"},
      {"AA0(4)x", "'x' after the markers"}, {"AA0(0)", "\"0\" is not a zone"},
  };
  for (const auto& c : cases) {
    CtyAlias alias;
    std::string error;
    EXPECT_FALSE(ParseCtyAlias(c.token, alias, error)) << c.token;
    EXPECT_THAT(error, HasSubstr(c.reason)) << c.token;
  }
}

TEST(CtyCsv, HeaderFieldsAreReadWithPositionsNorthAndEastPositive) {
  const auto entities = ParseCtyCsv(testing::kCtyFixture, "fixture");
  ASSERT_TRUE(entities.ok()) << entities.error().description;
  ASSERT_EQ(entities.value().size(), 19u);

  const CtyEntity& us = entities.value()[14];
  EXPECT_EQ(us.line, 15);
  EXPECT_EQ(us.primary_prefix, "K");
  EXPECT_EQ(us.country, "United States");
  EXPECT_EQ(us.dxcc, 291);
  EXPECT_EQ(us.continent, "NA");
  EXPECT_EQ(us.cq_zone, 5);
  EXPECT_EQ(us.itu_zone, 8);
  EXPECT_DOUBLE_EQ(us.latitude_deg, 37.60);
  EXPECT_DOUBLE_EQ(us.longitude_deg, -91.87);
  EXPECT_DOUBLE_EQ(us.time_offset_hours, 5.0);
  EXPECT_EQ(us.aliases.size(), 9u);
  EXPECT_FALSE(us.WaeOnly());

  const CtyEntity& fiji = entities.value()[1];
  EXPECT_DOUBLE_EQ(fiji.longitude_deg, 177.92);
  EXPECT_DOUBLE_EQ(fiji.time_offset_hours, -12.0);

  const CtyEntity& scotland = entities.value()[9];
  EXPECT_DOUBLE_EQ(scotland.longitude_deg, -4.18);

  const CtyEntity& sicily = entities.value()[13];
  EXPECT_TRUE(sicily.WaeOnly());
  EXPECT_EQ(sicily.MasterPrefix(), "IT9");
  EXPECT_EQ(entities.value()[2].MasterPrefix(), "3D2/R");
}

TEST(CtyCsv, BlankLinesAndWindowsLineEndsAreAccepted) {
  const auto entities = ParseCtyCsv(
      "\r\n1A,Sov Mil Order of Malta,246,EU,15,28,41.90,-12.43,-1.0,1A;\r\n  \r\n"
      "3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A =3A/4Z5KJ/LH;",
      "fixture");
  ASSERT_TRUE(entities.ok()) << entities.error().description;
  ASSERT_EQ(entities.value().size(), 2u);
  EXPECT_EQ(entities.value()[1].line, 4);
  EXPECT_EQ(entities.value()[1].aliases.size(), 2u);
  EXPECT_EQ(entities.value()[1].aliases[1].key, "3A/4Z5KJ/LH");
}

TEST(CtyCsv, AMalformedLineIsReportedWithItsNumber) {
  const std::string good = "1A,Sov Mil Order of Malta,246,EU,15,28,41.90,-12.43,-1.0,1A;\n";
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"3A,Monaco,260,EU,14,27,43.73,-7.40,3A;", "expected 10 comma-separated fields, found 9"},
      {"3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A", "does not end with ';'"},
      {"3A,Monaco,two,EU,14,27,43.73,-7.40,-1.0,3A;", "\"two\" is not a DXCC entity number"},
      {"3A,Monaco,0,EU,14,27,43.73,-7.40,-1.0,3A;", "\"0\" is not a DXCC entity number"},
      {"3A,Monaco,260,Europe,14,27,43.73,-7.40,-1.0,3A;", "not a two-letter continent"},
      {"3A,Monaco,260,EU,,27,43.73,-7.40,-1.0,3A;", "\"\" is not a CQ zone"},
      {"3A,Monaco,260,EU,14,27,N43,-7.40,-1.0,3A;", "\"N43\" is not a latitude"},
      {"3A,Monaco,260,EU,14,27,43.73,-190,-1.0,3A;", "\"-190\" is not a longitude"},
      {"3A,Monaco,260,EU,14,27,43.73,-7.40,+1h,3A;", "not a time offset"},
      {",Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A;", "the primary prefix is empty"},
      {"3A,,260,EU,14,27,43.73,-7.40,-1.0,3A;", "the country name is empty"},
      {"3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A =3A/4Z5KJ(;",
       "alias \"=3A/4Z5KJ(\": '(' is not closed"},
  };
  for (const auto& c : cases) {
    const auto entities = ParseCtyCsv(good + "\n" + c.line + "\n" + good, "cty-new.csv");
    ASSERT_FALSE(entities.ok()) << c.line;
    EXPECT_THAT(entities.error().description, HasSubstr("cty-new.csv line 3: ")) << c.line;
    EXPECT_THAT(entities.error().description, HasSubstr(c.message)) << c.line;
  }
}

TEST(CtyCsv, AFileWithoutEntitiesOrThatCannotBeReadIsAnError) {
  EXPECT_FALSE(ParseCtyCsv("\n\n", "empty.csv").ok());
  const auto missing = ReadCtyCsv("/nonexistent/cty.csv");
  ASSERT_FALSE(missing.ok());
  EXPECT_THAT(missing.error().description, HasSubstr("cannot read /nonexistent/cty.csv"));
}

}  // namespace
}  // namespace torvane::import
