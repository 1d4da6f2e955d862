#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "import/cty_csv.h"
#include "import/prefix_tables.h"
#include "tests/import/import_fixtures.h"

namespace torvane::import {
namespace {

using namespace testing;

TEST(CtyCsv, AMalformedLineIsReportedWithItsNumber) {
  // Windows line ends and blank lines before it must not hide or shift the line.
  const std::string good = "3D2,Fiji,176,OC,32,56,-17.78,-177.92,-12.0,3D2 =3D5X;\r\n \r\n";
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"3A,M,260,EU,14,27,43,-7,3A;", "expected 10 comma-separated fields, found 9"},
      {"3A,M,260,EU,14,27,43,-7,-1,3A", "the alias list does not end with ';'"},
      {"3A,M,0,EU,14,27,43,-7,-1,3A;", "\"0\" is not a DXCC entity number"},
      {"3A,M,260,Europe,14,27,43,-7,-1,3A;", "\"Europe\" is not a two-letter continent"},
      {"3A,M,260,EU,,27,43,-7,-1,3A;", "\"\" is not a CQ zone"},
      {"3A,M,260,EU,14,27,43,-190,-1,3A;", "\"-190\" is not a longitude"},
      {"3A,M,260,EU,14,27,43,-7,+1h,3A;", "\"+1h\" is not a time offset"},
      {"*,M,260,EU,14,27,43,-7,-1,3A;", "the primary prefix is empty"},
      {"3A,M,260,EU,14,27,43,-7,-1,3A =;", "alias \"=\": no prefix or call"},
      {"3A,M,260,EU,14,27,43,-7,-1,3A(4;", "alias \"3A(4\": '(' is not closed"},
      {"3A,M,260,EU,14,27,43,-7,-1,3A(0);", "\"0\" is not a zone"},
      {"3A,M,260,EU,14,27,43,-7,-1,3A[7](4)[8];", "two ITU zones"},
      {"3A,M,260,EU,14,27,43,-7,-1,3A<95/10>;", "\"95/10\" is not a latitude/longitude pair"},
      {"3A,M,260,EU,14,27,43,-7,-1,K-1;", "'-' cannot be part of a prefix or call"},
      {"3A,M,260,EU,14,27,43,-7,-1,3A(4)x;", "'x' after the markers"},
  };
  for (const auto& c : cases) {
    const auto entities = ParseCtyCsv(good + c.line + "\n" + good, "cty-new.csv");
    ASSERT_FALSE(entities.ok()) << c.line;
    EXPECT_THAT(entities.error().description, HasSubstr("cty-new.csv line 3: ")) << c.line;
    EXPECT_THAT(entities.error().description, HasSubstr(c.message)) << c.line;
  }
  EXPECT_FALSE(ParseCtyCsv("\n\n", "empty.csv").ok());
}

class CtyImportTest : public ::testing::Test {
 protected:
  Result<CtyImportSummary> Import(const std::string& text) {
    auto connection =
        db::Connection::Open(folder_.PrefixDatabase(), db::Connection::Mode::kReadWrite);
    if (!connection) return connection.error();
    return ImportCtyCsv(*connection, WriteFile(files_, "cty.csv", text), false);
  }
  // Both tables, row by row in table order.
  std::string Dump() {
    return Sql(
        folder_.PrefixDatabase(),
        "SELECT (SELECT group_concat(prefix || ',' || plink || ',' || quote(inactive), ' ') "
        "FROM (SELECT * FROM plink ORDER BY rowid)) || ' / ' || (SELECT group_concat(ID "
        "|| ',' || DXCC || ',' || Country, ' ') FROM (SELECT * FROM Prefixes ORDER BY rowid))");
  }

  TempFolder files_;
  TempDataFolder folder_;
};

// A "plink" key and the "Prefixes" row it links to, read through the table layer as the prefix
// lookup reads them: "!" for an exact-call key, then ID and the entity's fields.
std::string LinkedRow(db::DatabaseSet& set, const std::string& key) {
  if (!set.Data1.SetIndex("prefix") || !set.Data1.Seek(Variant(key))) return "no key";
  const Variant* link = set.Data1.Field("plink");
  if (link == nullptr || !link->AsInteger() || !set.Data2.SetIndex("ID") ||
      !set.Data2.Seek(Variant(*link->AsInteger()))) {
    return "no row";
  }
  const std::string inactive = Record(set.Data1, {"inactive"});
  return (inactive == "<null>" ? "" : inactive + " ") +
         Record(set.Data2, {"ID", "master_prefix", "DXCC", "Country", "Continent", "CQ_Zone",
                            "ITU_Zone", "Latitude", "Longitude", "Time_Offset"});
}

TEST_F(CtyImportTest, EachKeyLinksToTheRowTheLookupReadsAndRealEntitiesComeFirst) {
  const auto summary = Import(kCtyFixture);
  ASSERT_TRUE(summary.ok()) << summary.error().description;
  db::DatabaseSet set;
  OpenTables(folder_.path(), set);

  // Rows 1-12 are the main rows of the entities without "*", in file order; then the rest.
  // Positions are north and east positive; offsets keep cty's sign.
  const struct {
    const char* key;
    const char* row;
  } cases[] = {
      // The United States: one row with the multi-zone markers, whatever the alias says.
      {"K", "9|K|291|United States|NA|03/04/05|06/07/08|37.6|-91.87|5"},
      {"AA0", "9|K|291|United States|NA|03/04/05|06/07/08|37.6|-91.87|5"},
      {"N2NL/MM", "! 9|K|291|United States|NA|03/04/05|06/07/08|37.6|-91.87|5"},
      {"3D2", "1|3D2|176|Fiji|OC|32|56|-17.78|177.92|-12"},
      // Each distinct set of overrides has one row of its entity.
      {"II0PN/MM", "! 15|I|248|Italy|EU|40|28|42.82|12.58|-1"},
      {"AX", "12|VK|150|Australia|OC|30|59|-23.7|132.33|-10"},
      {"VK4", "18|VK|150|Australia|OC|30|55|-23.7|132.33|-10"},
      {"VI4", "18|VK|150|Australia|OC|30|55|-23.7|132.33|-10"},
      {"VK9XX", "! 19|VK|150|Australia|AS|29|54|-12.5|96.8|-6.5"},
      // Designator entities are reached through their primary prefix.
      {"FO/M", "6|FO/M|509|Marquesas Islands|OC|31|63|-8.92|-140.07|9.5"},
      {"3D2/R", "2|3D2/R|460|Rotuma Island|OC|32|56|-12.48|177.08|-12"},
      {"3D2R", "! 2|3D2/R|460|Rotuma Island|OC|32|56|-12.48|177.08|-12"},
      // "*" entities keep their parent's DXCC number and their own name.
      {"IT9", "16|IT9|248|Sicily|EU|15|28|37.5|14|-1"},
      {"GM0GFL", "! 14|GM/S|279|Shetland Islands|EU|14|27|60.5|-1.5|0"},
      // A key met twice keeps its first entity, unless a prefix meets an exact call: the
      // prefix takes the key, across two entities or within one.
      {"GB0BL", "! 7|GM|279|Scotland|EU|14|27|56.82|-4.18|0"},
      {"4U0R", "! 13|4U1V|206|Vienna Intl Ctr|EU|15|28|48.2|16.3|-1"},
      {"EF6", "4|EA6|21|Balearic Islands|EU|14|37|39.6|2.95|-1"},
      {"RL1O", "17|UA|54|European Russia|EU|16|19|53.65|41.37|-4"},
      {"RA1N", "17|UA|54|European Russia|EU|16|19|53.65|41.37|-4"},
      {"R", "11|UA|54|European Russia|EU|16|29|53.65|41.37|-4"},
  };
  for (const auto& c : cases) EXPECT_EQ(LinkedRow(set, c.key), c.row) << c.key;
  // Primary prefixes without "/" are keys only where their alias lists name them.
  for (const char* key : {"4U1V", "VK9", "*IT9", "=3D5X"}) EXPECT_EQ(LinkedRow(set, key), "no key");
  EXPECT_EQ(Sql(folder_.PrefixDatabase(),
                "SELECT COUNT(*) || ' ' || COUNT(coalesce(Abbreviation, Begin_Date, End_Date)) "
                "FROM Prefixes"),
            "19 0");

  ASSERT_TRUE(set.Data2.SetIndex("DXCCA"));
  for (const auto& [dxcc, country] :
       {std::pair{248, "Italy"}, {206, "Austria"}, {279, "Scotland"}, {150, "Australia"}}) {
    ASSERT_TRUE(set.Data2.Seek(Variant(dxcc))) << dxcc;
    EXPECT_EQ(Record(set.Data2, {"Country"}), country) << dxcc;
  }
}

TEST_F(CtyImportTest, AFailureLeavesBothTablesExactlyAsTheyWere) {
  ASSERT_TRUE(Import("3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A;\n").ok());
  const std::string before = Dump();
  const auto malformed = Import(
      "1A,Sov Mil Order of Malta,246,EU,15,28,41.90,-12.43,-1.0,1A;\n"
      "3B6,Agalega,4,AF,39,53,-10.45,-56.67,-4.0,3B6 3B7(;\n");
  ASSERT_FALSE(malformed.ok());
  EXPECT_THAT(malformed.error().description, HasSubstr("cty.csv line 2: alias \"3B7(\""));
  EXPECT_EQ(Dump(), before);

  // The storage refuses one key after the Prefixes rows and earlier keys were written.
  folder_.Execute(folder_.PrefixDatabase(),
                  "CREATE TRIGGER refuse BEFORE INSERT ON plink WHEN NEW.prefix = 'I' "
                  "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
  const auto refused = Import(kCtyFixture);
  ASSERT_FALSE(refused.ok());
  EXPECT_THAT(refused.error().description, HasSubstr("refused"));
  EXPECT_EQ(Dump(), before);
}

TEST(PrefixTables, MoreRowsThanSixteenBitLinksHoldIsAnError) {
  std::vector<CtyEntity> entities(1);
  entities[0].primary_prefix = "K";
  entities[0].country = "United States";
  entities[0].dxcc = 1;
  for (int i = 0; i < 32767; ++i) {  // each alias a position of its own, so a row of its own
    CtyAlias& alias = entities[0].aliases.emplace_back();
    alias.key = "K" + std::to_string(i);
    alias.latitude_deg = 1 + i * 0.001;
  }
  const auto tables = BuildPrefixTables(entities);
  ASSERT_FALSE(tables.ok());
  EXPECT_THAT(tables.error().description, HasSubstr("more than 32767 entity rows"));
  entities[0].aliases.pop_back();
  EXPECT_TRUE(BuildPrefixTables(entities).ok());
}

}  // namespace
}  // namespace torvane::import
