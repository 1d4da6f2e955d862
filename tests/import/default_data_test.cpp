#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/db/database_set.h"
#include "core/db/sqlite.h"
#include "core/folders.h"
#include "import/cty_csv.h"
#include "import/prefix_tables.h"
#include "tests/import/import_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tools/torvane/run.h"

namespace torvane::import {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using torvane::testing::TempDataFolder;
using torvane::testing::TempFolder;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunTool(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  const int status = tool::Run(args, in, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string QueryText(const std::string& database, const std::string& sql) {
  auto connection = db::Connection::Open(database, db::Connection::Mode::kReadWrite);
  EXPECT_TRUE(connection.ok()) << database;
  if (!connection) return {};
  auto statement = connection->Prepare(sql);
  EXPECT_TRUE(statement.ok()) << sql;
  if (!statement || !*statement->Step()) return {};
  return statement->ColumnText(0);
}

TEST(DebianCty, EveryEntityIsPresentAndItsDxccNumberFindsTheRealEntityFirst) {
  TempDataFolder folder;
  const auto entities = ReadCtyCsv(testing::kDebianCtyCsv);
  ASSERT_TRUE(entities.ok()) << entities.error().description;
  {
    auto connection =
        db::Connection::Open(folder.PrefixDatabase(), db::Connection::Mode::kReadWrite);
    ASSERT_TRUE(connection.ok());
    const auto summary = ImportCtyCsv(*connection, testing::kDebianCtyCsv);
    ASSERT_TRUE(summary.ok()) << summary.error().description;
    EXPECT_EQ(summary.value().entities, static_cast<int>(entities.value().size()));
    std::size_t key_count = 0;
    for (const CtyEntity& entity : entities.value()) {
      key_count += entity.aliases.size() + (entity.MasterPrefix().find('/') != std::string::npos);
    }
    EXPECT_EQ(
        summary.value().keys + summary.value().duplicates.size() + summary.value().repeated_keys,
        key_count);
  }

  db::DatabaseSet set;
  testing::OpenTables(folder, set);
  db::Table& prefixes = set.Data2;
  for (const CtyEntity& entity : entities.value()) {
    ASSERT_TRUE(prefixes.FindFirst("Country", Variant(entity.country))) << entity.country;
    EXPECT_EQ(testing::FieldText(prefixes, "DXCC"), std::to_string(entity.dxcc)) << entity.country;
    EXPECT_EQ(testing::FieldText(prefixes, "master_prefix"), entity.MasterPrefix());
  }
  ASSERT_TRUE(prefixes.SetIndex("DXCCA"));
  for (const CtyEntity& entity : entities.value()) {
    if (entity.WaeOnly()) continue;
    ASSERT_TRUE(prefixes.Seek(Variant(static_cast<std::int32_t>(entity.dxcc)))) << entity.dxcc;
    EXPECT_EQ(testing::FieldText(prefixes, "country"), entity.country) << entity.dxcc;
  }

  const struct {
    const char* key;
    const char* country;
    const char* inactive;
    const char* cq_zone;
  } cases[] = {{"K", "United States", "<null>", "03/04/05"},
               {"AA0", "United States", "<null>", "03/04/05"},
               {"N2NL/MM", "United States", "!", "03/04/05"},
               {"KH6", "Hawaii", "<null>", "31"},
               {"FO/M", "Marquesas Islands", "<null>", "31"},
               {"3Y/B", "Bouvet", "<null>", "38"},
               {"3D2/R", "Rotuma Island", "<null>", "32"},
               {"3D2/C", "Conway Reef", "<null>", "32"},
               {"IT9", "Sicily", "<null>", "15"},
               {"I", "Italy", "<null>", "15"},
               {"II0PN/MM", "Italy", "!", "40"},
               {"4U1VIC", "Vienna Intl Ctr", "!", "15"},
               {"DL", "Fed. Rep. of Germany", "<null>", "14"},
               {"VK4", "Australia", "<null>", "30"},
               {"RL1O", "European Russia", "<null>", "16"},
               {"EF6", "Spain", "!", "14"}};
  for (const auto& c : cases) {
    const testing::LinkedRow row = testing::ReadLinkedRow(set, c.key);
    ASSERT_TRUE(row.found) << c.key;
    EXPECT_EQ(row.country, c.country) << c.key;
    EXPECT_EQ(row.inactive, c.inactive) << c.key;
    EXPECT_EQ(row.cq_zone, c.cq_zone) << c.key;
  }
}

TEST(BuildDefault, BuildsACompleteFolderAndRefusesToReplaceItsDatabaseWithoutForce) {
  TempFolder parent;
  const std::string folder = parent / "Quorlin";
  const Outcome built = RunTool({"db", "build-default", folder});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_THAT(built.out, HasSubstr("built " + folder + "/Databases/bandplan.db\n"));
  EXPECT_THAT(
      built.out,
      MatchesRegex("(.|\n)*cty.csv: [0-9]+ entities, [0-9]+ keys, [0-9]+ "
                   "entity rows, [0-9]+ duplicate keys skipped, [0-9]+ repeats merged\n(.|\n)*"));
  EXPECT_THAT(built.out, HasSubstr(" weather stations, 10 duplicate codes skipped"));
  EXPECT_THAT(Entries(parent.path()), ElementsAre("Quorlin"));
  EXPECT_THAT(Entries(folder), ElementsAre("Databases", "Logs"));
  EXPECT_THAT(Entries(folder + "/Databases"), ElementsAre("LoTWUsers.db", "bandplan.db"));

  const std::string database = folder + "/Databases/bandplan.db";
  EXPECT_EQ(QueryText(database,
                      "SELECT State || ' ' || Stn_Lat || ' ' || Stn_Lon FROM Weather "
                      "WHERE Location = 'KJFK'"),
            "NY 40.638611 -73.762222");
  EXPECT_EQ(QueryText(database,
                      "SELECT Country FROM Prefixes JOIN plink ON plink = ID "
                      "WHERE prefix = 'FO/M'"),
            "Marquesas Islands");

  // A mark in the built database shows whether a later run replaced it.
  testing::WriteFile(parent, "unused", "");
  {
    auto connection = db::Connection::Open(database, db::Connection::Mode::kReadWrite);
    ASSERT_TRUE(connection.ok());
    ASSERT_TRUE(connection
                    ->Execute("INSERT INTO plinkold (prefix, Before, plink) "
                              "VALUES ('MARK', '1994', 1)")
                    .ok());
  }
  const Outcome refused = RunTool({"db", "build-default", folder});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr(database + " already exists (--force replaces it)"));
  EXPECT_EQ(QueryText(database, "SELECT prefix FROM plinkold"), "MARK");

  const Outcome forced = RunTool({"db", "build-default", folder, "--force"});
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(QueryText(database, "SELECT COUNT(*) FROM plinkold"), "0");
  EXPECT_THAT(Entries(folder + "/Databases"), ElementsAre("LoTWUsers.db", "bandplan.db"));
  EXPECT_THAT(Entries(parent.path()), ElementsAre("Quorlin", "unused"));
}

TEST(BuildDefault, AMalformedSourceLeavesNothingBehind) {
  TempFolder parent;
  const std::string bad_cty = testing::WriteFile(
      parent, "bad.csv", "1A,Sov Mil Order of Malta,246,EU,15,28,41.90,-12.43,-1.0,1A\n");
  const std::string bad_xml = testing::WriteFile(parent, "bad.xml", "<gweather><region>");

  const Outcome new_folder = RunTool({"db", "build-default", parent / "New", "--cty", bad_cty});
  EXPECT_EQ(new_folder.status, 1);
  EXPECT_THAT(new_folder.err, HasSubstr(bad_cty + " line 1: the alias list does not end with ';'"));
  const Outcome bad_locations =
      RunTool({"db", "build-default", parent / "New", "--locations", bad_xml});
  EXPECT_EQ(bad_locations.status, 1);
  EXPECT_THAT(bad_locations.err, HasSubstr(bad_xml + " line 1: "));
  EXPECT_THAT(Entries(parent.path()), ElementsAre("bad.csv", "bad.xml"));

  // An existing folder keeps its database, even with --force.
  TempDataFolder existing;
  existing.Execute(existing.PrefixDatabase(), "INSERT INTO plink VALUES ('K', 1, NULL)");
  const Outcome kept =
      RunTool({"db", "build-default", existing.path(), "--force", "--cty", bad_cty});
  EXPECT_EQ(kept.status, 1);
  EXPECT_EQ(QueryText(existing.PrefixDatabase(), "SELECT group_concat(prefix) FROM plink"), "K");
  EXPECT_THAT(Entries(existing.path() + "/Databases"), ElementsAre("LoTWUsers.db", "bandplan.db"));
}

TEST(BuildDefault, WithoutAFolderItBuildsWhereAServiceObjectLooksFirst) {
  TempFolder documents;
  const Outcome built = RunTool({"db", "build-default", "--documents", documents.path(), "--cty",
                                 testing::WriteFile(documents, "cty.csv", testing::kCtyFixture)});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_THAT(built.out, HasSubstr("cty.csv: 19 entities, "));

  Options options;
  options.documents_folder = documents.path();
  const FolderSet folders = LocateFolders(options);
  EXPECT_EQ(folders.DataFolder, documents / "ZENTROVA/Quorlin");
  EXPECT_NE(
      RunTool({"db", "build-default", documents / "Other", "--documents", documents.path()}).status,
      0);
  EXPECT_FALSE(fs::exists(documents / "Other"));
  EXPECT_EQ(
      QueryText(folders.DataFolder + "/Databases/bandplan.db", "SELECT COUNT(*) FROM Prefixes"),
      "23");
}

TEST(ImportCty, ReplacesThePrefixTablesOfAnExistingDataFolder) {
  TempFolder files;
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(),
                 "INSERT INTO plink VALUES ('OLD', 1, NULL);"
                 "INSERT INTO Weather (Location) VALUES ('KJFK');");
  const std::string cty = testing::WriteFile(files, "cty.csv", testing::kCtyFixture);

  const Outcome imported = RunTool({"import", "cty", cty, "--data-folder", folder.path()});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out,
            "imported " + cty + " into " + folder.PrefixDatabase() + "\ncty.csv: 19 entities, " +
                QueryText(folder.PrefixDatabase(), "SELECT COUNT(*) FROM plink") +
                " keys, 23 entity rows, 3 duplicate keys skipped, 2 repeats merged\n");
  EXPECT_EQ(QueryText(folder.PrefixDatabase(), "SELECT COUNT(*) FROM plink WHERE prefix = 'OLD'"),
            "0");
  EXPECT_EQ(QueryText(folder.PrefixDatabase(), "SELECT Location FROM Weather"), "KJFK");

  const Outcome listed =
      RunTool({"import", "cty", cty, "--data-folder", folder.path(), "--list-duplicates"});
  EXPECT_THAT(listed.out, HasSubstr("  EF6 under Balearic Islands (line 7): kept under Spain\n"));
}

TEST(ImportCty, RefusesWhatItCannotUseAndChangesNothing) {
  TempFolder files;
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), "INSERT INTO plink VALUES ('OLD', 1, NULL);");
  const std::string bad = testing::WriteFile(files, "cty.csv", "3A,Monaco,260;\n");

  const Outcome malformed = RunTool({"import", "cty", bad, "--data-folder", folder.path()});
  EXPECT_EQ(malformed.status, 1);
  EXPECT_THAT(malformed.err, HasSubstr(bad + " line 1: expected 10 comma-separated fields, "
                                             "found 3; nothing was changed"));
  EXPECT_EQ(QueryText(folder.PrefixDatabase(), "SELECT group_concat(prefix) FROM plink"), "OLD");

  const Outcome no_database = RunTool({"import", "cty", bad, "--documents", files.path()});
  EXPECT_EQ(no_database.status, 1);
  EXPECT_THAT(no_database.err, HasSubstr("no prefix database in " + files.path() +
                                         "/ZENTROVA/Quorlin (torvane db build-default makes one)"));

  const Outcome both =
      RunTool({"import", "cty", bad, "--documents", files.path(), "--data-folder", folder.path()});
  EXPECT_NE(both.status, 0);
  EXPECT_THAT(both.err, HasSubstr("excludes"));
}

}  // namespace
}  // namespace torvane::import
