#include "import/prefix_tables.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "core/db/database_set.h"
#include "core/db/sqlite.h"
#include "tests/import/import_fixtures.h"
#include "tests/support/temp_folder.h"

namespace torvane::import {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::TempDataFolder;
using torvane::testing::TempFolder;

class CtyImportTest : public ::testing::Test {
 protected:
  Result<CtyImportSummary> Import(const std::string& text) {
    const std::string path = testing::WriteFile(files_, "cty.csv", text);
    auto connection =
        db::Connection::Open(folder_.PrefixDatabase(), db::Connection::Mode::kReadWrite);
    if (!connection) return connection.error();
    return ImportCtyCsv(*connection, path);
  }

  // Every row of both tables, in table order, as text.
  std::vector<std::string> Dump() {
    auto connection =
        db::Connection::Open(folder_.PrefixDatabase(), db::Connection::Mode::kReadWrite);
    EXPECT_TRUE(connection.ok());
    std::vector<std::string> rows;
    for (const char* sql :
         {"SELECT quote(prefix) || ',' || plink || ',' || quote(inactive) FROM plink ORDER BY "
          "rowid",
          "SELECT ID || ',' || DXCC || ',' || Country || ',' || CQ_Zone || ',' || Latitude FROM "
          "Prefixes ORDER BY rowid"}) {
      auto statement = connection->Prepare(sql);
      EXPECT_TRUE(statement.ok());
      while (*statement->Step()) rows.push_back(statement->ColumnText(0));
    }
    return rows;
  }

  // The first column of the first row of a query.
  std::string Query(const std::string& sql) {
    auto connection =
        db::Connection::Open(folder_.PrefixDatabase(), db::Connection::Mode::kReadWrite);
    auto statement = connection->Prepare(sql);
    EXPECT_TRUE(statement.ok()) << sql;
    EXPECT_TRUE(*statement->Step()) << sql;
    return statement->ColumnText(0);
  }
  int Count(const std::string& sql) { return std::stoi(Query(sql)); }

  TempFolder files_;
  TempDataFolder folder_;
};

TEST_F(CtyImportTest, EachKeyLinksToTheRowTheLookupWillRead) {
  const auto summary = Import(testing::kCtyFixture);
  ASSERT_TRUE(summary.ok()) << summary.error().description;
  db::DatabaseSet set;
  testing::OpenTables(folder_, set);

  const struct {
    const char* key;
    const char* inactive;
    const char* master;
    const char* dxcc;
    const char* country;
    const char* continent;
    const char *cq, *itu;
    const char *latitude, *longitude, *offset;
  } cases[] = {
      // The United States: every row carries the multi-zone markers, whatever the alias says.
      {"K", "<null>", "K", "291", "United States", "NA", "03/04/05", "06/07/08", "37.6", "-91.87",
       "5"},
      {"aa", "<null>", "K", "291", "United States", "NA", "03/04/05", "06/07/08", "37.6", "-91.87",
       "5"},
      {"AA0", "<null>", "K", "291", "United States", "NA", "03/04/05", "06/07/08", "37.6", "-91.87",
       "5"},
      {"N2NL/MM", "!", "K", "291", "United States", "NA", "03/04/05", "06/07/08", "37.6", "-91.87",
       "5"},
      {"AH2BY", "!", "K", "291", "United States", "NA", "03/04/05", "06/07/08", "37.6", "-91.87",
       "5"},
      // Other zones as cty gives them; a zone override makes its own row.
      {"KH6", "<null>", "KH6", "110", "Hawaii", "OC", "31", "61", "21.12", "-157.48", "10"},
      {"II0PN/MM", "!", "I", "248", "Italy", "EU", "40", "28", "42.82", "12.58", "-1"},
      {"VK4", "<null>", "VK", "150", "Australia", "OC", "30", "55", "-23.7", "132.33", "-10"},
      {"VK9XX", "!", "VK", "150", "Australia", "AS", "30", "59", "-12.5", "96.8", "-6.5"},
      // Designator entities are reached through their primary prefix.
      {"FO/M", "<null>", "FO/M", "509", "Marquesas Islands", "OC", "31", "63", "-8.92", "-140.07",
       "9.5"},
      {"fo/m", "<null>", "FO/M", "509", "Marquesas Islands", "OC", "31", "63", "-8.92", "-140.07",
       "9.5"},
      {"3D2/R", "<null>", "3D2/R", "460", "Rotuma Island", "OC", "32", "56", "-12.48", "177.08",
       "-12"},
      {"3D2R", "!", "3D2/R", "460", "Rotuma Island", "OC", "32", "56", "-12.48", "177.08", "-12"},
      {"3Y/B", "<null>", "3Y/B", "24", "Bouvet", "AF", "38", "67", "-54.42", "3.38", "-1"},
      {"FO", "<null>", "FO", "175", "French Polynesia", "OC", "32", "63", "-17.65", "-149.4", "10"},
      {"1A", "<null>", "1A", "246", "Sov Mil Order of Malta", "EU", "15", "28", "41.9", "12.43",
       "-1"},
      {"3D2", "<null>", "3D2", "176", "Fiji", "OC", "32", "56", "-17.78", "177.92", "-12"},
      {"GM", "<null>", "GM", "279", "Scotland", "EU", "14", "27", "56.82", "-4.18", "0"},
      // WAE-only entities keep their parent's DXCC number and their own name.
      {"IT9", "<null>", "IT9", "248", "Sicily", "EU", "15", "28", "37.5", "14", "-1"},
      {"IG9", "<null>", "IG9", "248", "African Italy", "AF", "33", "37", "35.67", "12.67", "-1"},
      {"GM/S", "<null>", "GM/S", "279", "Shetland Islands", "EU", "14", "27", "60.5", "-1.5", "0"},
      {"GM0GFL", "!", "GM/S", "279", "Shetland Islands", "EU", "14", "27", "60.5", "-1.5", "0"},
      // A key met twice keeps its first entity.
      {"GB0BL", "!", "GM", "279", "Scotland", "EU", "14", "27", "56.82", "-4.18", "0"},
      {"4U0R", "!", "4U1V", "206", "Vienna Intl Ctr", "EU", "15", "28", "48.2", "16.3", "-1"},
      {"EF6", "!", "EA", "281", "Spain", "EU", "14", "37", "40.32", "-3.43", "-1"},
      // Within one entity a prefix takes the key from an exact call; otherwise the first stays.
      {"RL1O", "<null>", "UA", "54", "European Russia", "EU", "16", "19", "53.65", "41.37", "-4"},
      {"RA1N", "<null>", "UA", "54", "European Russia", "EU", "16", "19", "53.65", "41.37", "-4"},
      {"R", "<null>", "UA", "54", "European Russia", "EU", "16", "29", "53.65", "41.37", "-4"},
  };
  for (const auto& c : cases) {
    const testing::LinkedRow row = testing::ReadLinkedRow(set, c.key);
    ASSERT_TRUE(row.found) << c.key;
    EXPECT_EQ(row.inactive, c.inactive) << c.key;
    EXPECT_EQ(row.master_prefix, c.master) << c.key;
    EXPECT_EQ(row.dxcc, c.dxcc) << c.key;
    EXPECT_EQ(row.country, c.country) << c.key;
    EXPECT_EQ(row.continent, c.continent) << c.key;
    EXPECT_EQ(row.cq_zone, c.cq) << c.key;
    EXPECT_EQ(row.itu_zone, c.itu) << c.key;
    EXPECT_EQ(row.latitude, c.latitude) << c.key;
    EXPECT_EQ(row.longitude, c.longitude) << c.key;
    EXPECT_EQ(row.time_offset, c.offset) << c.key;
    EXPECT_EQ(row.abbreviation, "<null>") << c.key;
    EXPECT_EQ(row.begin_date, "<null>") << c.key;
    EXPECT_EQ(row.end_date, "<null>") << c.key;
  }
  // Primary prefixes without "/" are keys only where their alias lists name them.
  for (const char* absent : {"4U1V", "=3D5X", "*IT9", "FO/m/", "VK9"}) {
    EXPECT_FALSE(testing::ReadLinkedRow(set, absent).found) << absent;
  }
}

TEST_F(CtyImportTest, EachDistinctOverrideSetGetsOneRowOfItsEntity) {
  ASSERT_TRUE(Import(testing::kCtyFixture).ok());
  db::DatabaseSet set;
  testing::OpenTables(folder_, set);
  const auto link = [&](const char* key) { return testing::ReadLinkedRow(set, key).link; };

  // VK4[55] and VI4[55] share one row; VK9XX has another; VK and AX the main one.
  EXPECT_EQ(link("VK4"), link("VI4"));
  EXPECT_NE(link("VK4"), link("VK"));
  EXPECT_NE(link("VK9XX"), link("VK4"));
  EXPECT_EQ(link("AX"), link("VK"));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM Prefixes WHERE DXCC = 150"), 3);
  // The United States' zone overrides all end in the same markers: one row.
  EXPECT_EQ(link("AA0"), link("K"));
  EXPECT_EQ(link("N2NL/MM"), link("K"));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM Prefixes WHERE DXCC = 291"), 1);
  // Italy's main row and its (40) row; Sicily and African Italy one each.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM Prefixes WHERE DXCC = 248"), 4);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM Prefixes"), 23);
}

TEST_F(CtyImportTest, ASeekOnTheDxccNumberFindsTheRealEntityBeforeWaeOnlyAndOverrideRows) {
  ASSERT_TRUE(Import(testing::kCtyFixture).ok());
  db::DatabaseSet set;
  testing::OpenTables(folder_, set);
  db::Table& prefixes = set.Data2;
  ASSERT_TRUE(prefixes.SetIndex("DXCCA"));
  const struct {
    std::int32_t dxcc;
    const char* country;
  } cases[] = {{248, "Italy"},     {279, "Scotland"},      {206, "Austria"},
               {150, "Australia"}, {291, "United States"}, {509, "Marquesas Islands"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(prefixes.Seek(Variant(c.dxcc))) << c.dxcc;
    EXPECT_EQ(testing::FieldText(prefixes, "country"), c.country) << c.dxcc;
  }
  // The main rows of real entities come first of all, then the rest in file order.
  EXPECT_EQ(Query("SELECT group_concat(master_prefix || ':' || CQ_Zone || ':' || ITU_Zone, ' ') "
                  "FROM (SELECT * FROM Prefixes ORDER BY rowid)"),
            "1A:15:28 3D2:32:56 3D2/R:32:56 3Y/B:38:67 EA:14:37 EA6:14:37 FO:32:63 FO/M:31:63 "
            "GM:14:27 I:15:28 K:03/04/05:06/07/08 KH6:31:61 OE:15:28 UA:16:29 VK:30:59 4U1V:15:28 "
            "GM/S:14:27 I:40:28 IG9:33:37 IT9:15:28 UA:16:19 VK:30:55 VK:30:59");
}

TEST_F(CtyImportTest, KeysMetTwiceAreCountedAndTheFirstIsKept) {
  const auto summary = Import(testing::kCtyFixture);
  ASSERT_TRUE(summary.ok());
  EXPECT_EQ(summary.value().entities, 19);
  EXPECT_EQ(summary.value().rows, 23);
  EXPECT_EQ(summary.value().repeated_keys, 2);
  EXPECT_EQ(summary.value().keys, Count("SELECT COUNT(*) FROM plink"));
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT upper(prefix)) FROM plink"), summary.value().keys);
  std::vector<std::string> duplicates;
  for (const DuplicateKey& duplicate : summary.value().duplicates) {
    duplicates.push_back(duplicate.key + ": " + duplicate.kept_country + " / " +
                         duplicate.skipped_country + " line " + std::to_string(duplicate.line));
  }
  EXPECT_THAT(duplicates, ElementsAre("EF6: Spain / Balearic Islands line 7",
                                      "GB0BL: Scotland / Shetland Islands line 11",
                                      "4U0R: Vienna Intl Ctr / Austria line 17"));
}

TEST_F(CtyImportTest, ANewerFileReplacesBothTablesAndLeavesTheOthersAlone) {
  folder_.Execute(folder_.PrefixDatabase(),
                  "INSERT INTO Weather (Location, Place) VALUES ('KJFK', 'Kennedy');"
                  "INSERT INTO plinkold (prefix, Before, plink) VALUES ('VP2E', '1994', 7);");
  ASSERT_TRUE(Import(testing::kCtyFixture).ok());
  ASSERT_TRUE(Import("3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A =3A/4Z5KJ/LH;\n").ok());
  EXPECT_THAT(Dump(), ElementsAre("'3A',1,NULL", "'3A/4Z5KJ/LH',1,'!'", "1,260,Monaco,14,43.73"));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM Weather"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM plinkold"), 1);
}

TEST_F(CtyImportTest, AMalformedFileLeavesTheTablesExactlyAsTheyWere) {
  ASSERT_TRUE(Import(testing::kCtyFixture).ok());
  const auto before = Dump();
  const auto failed = Import(std::string("3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A;\n") +
                             "3B6,Agalega & St. Brandon,4,AF,39,53,-10.45,-56.67,-4.0,3B6 3B7(;\n");
  ASSERT_FALSE(failed.ok());
  EXPECT_THAT(failed.error().description, HasSubstr("cty.csv line 2: alias \"3B7(\""));
  EXPECT_EQ(Dump(), before);
}

TEST_F(CtyImportTest, AFailureWhileWritingRollsBackBothTables) {
  ASSERT_TRUE(Import("3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A;\n").ok());
  const auto before = Dump();
  // The storage refuses one key after the Prefixes rows and earlier keys were written.
  folder_.Execute(folder_.PrefixDatabase(),
                  "CREATE TRIGGER refuse BEFORE INSERT ON plink WHEN NEW.prefix = 'I' "
                  "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
  const auto failed = Import(testing::kCtyFixture);
  ASSERT_FALSE(failed.ok());
  EXPECT_THAT(failed.error().description, HasSubstr("refused"));
  EXPECT_EQ(Dump(), before);
}

TEST(PrefixTables, MoreRowsThanSixteenBitLinksHoldIsAnError) {
  std::vector<CtyEntity> entities(1);
  entities[0].primary_prefix = "K";
  entities[0].country = "United States";
  entities[0].dxcc = 1;
  for (int i = 0; i < 32767; ++i) {
    CtyAlias alias;
    alias.key = "K" + std::to_string(i);
    alias.latitude_deg = 1 + i * 0.001;
    alias.longitude_deg = 0;
    entities[0].aliases.push_back(alias);
  }
  const auto tables = BuildPrefixTables(entities);
  ASSERT_FALSE(tables.ok());
  EXPECT_THAT(tables.error().description, HasSubstr("more than 32767 entity rows"));
  entities[0].aliases.pop_back();
  EXPECT_TRUE(BuildPrefixTables(entities).ok());
}

}  // namespace
}  // namespace torvane::import
