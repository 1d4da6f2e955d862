#include "tests/support/default_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/folders.h"
#include "import/cty_csv.h"
#include "tests/import/import_fixtures.h"
#include "tests/support/tool_runner.h"

namespace torvane::import {
namespace {

namespace fs = std::filesystem;
using namespace testing;
using ::testing::MatchesRegex;
using torvane::testing::RunTool;

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

void ExpectRefused(const std::vector<std::string>& args, const std::string& message) {
  const auto outcome = RunTool(args);
  EXPECT_NE(outcome.status, 0) << message;
  EXPECT_THAT(outcome.err, HasSubstr(message));
}

// That every key of the real file reaches its entity is the lookup's real-data test.
TEST(DebianCty, EveryEntityIsPresentAndEachDxccNumberFindsItsRealEntity) {
  auto entities = ReadCtyCsv(torvane::testing::kDebianCtyCsv);
  ASSERT_TRUE(entities.ok()) << entities.error().description;
  db::DatabaseSet set;
  OpenTables(torvane::testing::DefaultDataFolder(), set);
  for (const CtyEntity& entity : *entities) {
    ASSERT_TRUE(set.Data2.FindFirst("Country", Variant(entity.country))) << entity.country;
    EXPECT_EQ(Record(set.Data2, {"DXCC", "master_prefix"}),
              std::to_string(entity.dxcc) + "|" + entity.MasterPrefix());
  }
  ASSERT_TRUE(set.Data2.SetIndex("DXCCA"));
  for (const CtyEntity& entity : *entities) {
    if (entity.WaeOnly()) continue;
    ASSERT_TRUE(set.Data2.Seek(Variant(entity.dxcc))) << entity.dxcc;
    EXPECT_EQ(Record(set.Data2, {"Country"}), entity.country) << entity.dxcc;
  }
}

TEST(BuildDefault, BuildsACompleteFolderAndReplacesItsDatabaseOnlyWithForce) {
  TempFolder parent;
  const std::string folder = parent / "Quorlin";
  const std::string database = folder + "/Databases/bandplan.db";
  const auto built = RunTool({"db", "build-default", folder});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_THAT(built.lines,
              ElementsAre("built " + database,
                          MatchesRegex("cty.csv: [0-9]+ entities, [0-9]+ keys, [0-9]+ entity "
                                       "rows, [0-9]+ duplicate keys, [0-9]+ repeats merged"),
                          MatchesRegex("Locations.xml: [0-9]+ weather stations, 10 duplicate "
                                       "codes skipped")));
  EXPECT_THAT(Entries(parent.path()), ElementsAre("Quorlin"));
  EXPECT_THAT(Entries(folder), ElementsAre("Databases", "Logs"));
  EXPECT_THAT(Entries(folder + "/Databases"), ElementsAre("LoTWUsers.db", "bandplan.db"));
  EXPECT_EQ(Sql(database,
                "SELECT State || ' ' || Stn_Lat || ' ' || Stn_Lon || ' ' || "
                "(SELECT Country FROM Prefixes JOIN plink ON plink = ID "
                "WHERE prefix = 'FO/M') FROM Weather WHERE Location = 'KJFK'"),
            "NY 40.638611 -73.762222 Marquesas Islands");

  // A mark in the built database shows whether a later run replaced it.
  Sql(database, "INSERT INTO plinkold (prefix, Before, plink) VALUES ('MARK', '1994', 1)");
  const auto refused = RunTool({"db", "build-default", folder});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr(database + " already exists (--force replaces it)"));
  EXPECT_EQ(Sql(database, "SELECT prefix FROM plinkold"), "MARK");
  ASSERT_EQ(RunTool({"db", "build-default", folder, "--force"}).status, 0);
  EXPECT_EQ(Sql(database, "SELECT COUNT(*) FROM plinkold"), "0");
  EXPECT_THAT(Entries(folder + "/Databases"), ElementsAre("LoTWUsers.db", "bandplan.db"));
}

TEST(BuildDefault, ABadSourceLeavesNothingBehind) {
  TempFolder parent;
  TempDataFolder existing;
  existing.Execute(existing.PrefixDatabase(), "INSERT INTO plink VALUES ('K', 1, NULL)");
  const std::string cty = WriteFile(parent, "bad.csv", "1A,Malta,246,EU,15,28,41.9,-12.43,-1,1A\n");
  const std::string xml = WriteFile(parent, "bad.xml", "<gweather><region>");
  ExpectRefused({"db", "build-default", parent / "New", "--cty", cty},
                cty + " line 1: the alias list does not end with ';'");
  ExpectRefused({"db", "build-default", parent / "New", "--locations", xml}, xml + " line 1: ");
  // An existing folder keeps its database, even with --force.
  ExpectRefused({"db", "build-default", existing.path(), "--force", "--cty", cty}, cty);
  EXPECT_THAT(Entries(parent.path()), ElementsAre("bad.csv", "bad.xml"));
  EXPECT_EQ(Sql(existing.PrefixDatabase(), "SELECT group_concat(prefix) FROM plink"), "K");
  EXPECT_THAT(Entries(existing.path() + "/Databases"), ElementsAre("LoTWUsers.db", "bandplan.db"));
}

TEST(ImportCty, ReplacesOnlyThePrefixTablesOfTheDataFolderAndRefusesWhatItCannotUse) {
  TempFolder documents;
  const std::string cty = WriteFile(documents, "cty.csv", kCtyFixture);
  const std::string bad = WriteFile(documents, "bad.csv", "3A,Monaco,260;\n");
  // Without a data folder both commands look where a service object would: the documents
  // folder's ZENTROVA/Quorlin, else the Quorlin folder above the component's own folder.
  ExpectRefused({"import", "cty", bad, "--documents", documents.path()},
                "/Quorlin (torvane db build-default makes one)");
  ASSERT_EQ(RunTool({"db", "build-default", "--documents", documents.path()}).status, 0);
  Options options;
  options.documents_folder = documents.path();
  const std::string folder = LocateFolders(options).DataFolder;
  ASSERT_EQ(folder, documents / "ZENTROVA/Quorlin");

  const std::string database = folder + "/Databases/bandplan.db";
  Sql(database, "INSERT INTO plinkold (prefix, Before, plink) VALUES ('VP2E', '1994', 7)");
  const std::string prefixes =
      "SELECT (SELECT COUNT(*) FROM plink) || ' ' || (SELECT COUNT(*) FROM Prefixes)";
  const std::string others =
      "SELECT (SELECT COUNT(*) FROM Weather) || ' ' || (SELECT group_concat(prefix) FROM plinkold)";
  const std::string prefixes_before = Sql(database, prefixes),
                    others_before = Sql(database, others);
  ExpectRefused({"import", "cty", bad, "--data-folder", folder},
                bad + " line 1: expected 10 comma-separated fields, found 3; nothing was changed");
  ExpectRefused({"import", "cty", documents / "none.csv", "--documents", documents.path()},
                "cannot read " + documents / "none.csv");
  ExpectRefused({"import", "cty", cty, "--documents", documents.path(), "--data-folder", folder},
                "excludes");
  ExpectRefused({"db", "build-default", documents / "Other", "--documents", documents.path()},
                "excludes");
  EXPECT_EQ(Sql(database, prefixes), prefixes_before);
  EXPECT_FALSE(fs::exists(documents / "Other"));

  // The fixture's 64 keys are far fewer than the full table's: only --force replaces them.
  const auto imported = RunTool(
      {"import", "cty", cty, "--documents", documents.path(), "--list-duplicates", "--force"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "imported " + cty + " into " + database +
                              "\ncty.csv: 15 entities, 64 keys, 19 entity rows, 3 duplicate "
                              "keys, 2 repeats merged\n"
                              "  EF6: Balearic Islands over Spain (line 5)\n"
                              "  GB0BL: Scotland over Shetland Islands (line 9)\n"
                              "  4U0R: Vienna Intl Ctr over Austria (line 13)\n");
  EXPECT_EQ(Sql(database, prefixes), "64 19");
  EXPECT_EQ(Sql(database, others), others_before);
}

}  // namespace
}  // namespace torvane::import
