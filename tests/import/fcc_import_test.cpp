#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/db/sqlite.h"
#include "import/fcc_import.h"
#include "import/uls_records.h"
#include "import/zip_codes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/uls_fixture.h"
#include "tests/support/zip_writer.h"

namespace torvane::import {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::ReadFile;
using torvane::testing::TempDataFolder;
using torvane::testing::TempFolder;
using torvane::testing::UlsFiles;

// The rows a query gives, each as its columns joined with "|" (Null as "-").
std::vector<std::string> Rows(const std::string& database, const std::string& sql) {
  auto connection = db::Connection::Open(database, db::Connection::Mode::kReadWrite);
  EXPECT_TRUE(connection.ok());
  if (!connection) return {};
  auto statement = connection->Prepare(sql);
  EXPECT_TRUE(statement.ok()) << sql;
  if (!statement) return {};
  std::vector<std::string> rows;
  const int columns = statement->ColumnCount();
  while (true) {
    const auto stepped = statement->Step();
    if (!stepped.ok() || !*stepped) break;
    std::string row;
    for (int i = 0; i < columns; ++i) {
      if (i > 0) row += '|';
      Variant value;
      row += statement->ReadColumn(i, value) ? value.ToText() : "-";
    }
    rows.push_back(row);
  }
  return rows;
}

class FccImportTest : public ::testing::Test {
 protected:
  std::string database() const { return folder_ / "FCCData.db"; }
  TempFolder folder_;
};

TEST_F(FccImportTest, TheCurrentLicenceOfACallIsStoredLastAndEveryTableIsFilled) {
  torvane::testing::WriteUlsFolder(folder_ / "l_amat", torvane::testing::SampleUlsFiles());
  const auto summary = ImportFccLicences(folder_ / "l_amat", database());
  ASSERT_TRUE(summary.ok()) << summary.error().description;
  EXPECT_EQ(summary->records_read, 20u);
  EXPECT_EQ(summary->records_rejected, 2u);
  EXPECT_EQ(summary->licences, 6u);
  EXPECT_EQ(summary->licensees, 6u);
  ASSERT_EQ(summary->first_rejected.size(), 2u);
  EXPECT_EQ(summary->first_rejected[0].member, "AM.dat");
  EXPECT_EQ(summary->first_rejected[0].line, 7u);
  EXPECT_EQ(summary->first_rejected[0].reason, "has no licensee number");
  EXPECT_EQ(summary->first_rejected[1].member, "EN.dat");
  EXPECT_EQ(summary->first_rejected[1].line, 8u);  // after the record broken across two lines

  EXPECT_THAT(Rows(database(), "SELECT CallSign, usi, operatorclass, trusteecallsign, "
                               "previouscallsign, licensestatus FROM Amateur "
                               "WHERE CallSign IN ('KN6XYZ', 'W6CLB') ORDER BY rowid"),
              ElementsAre("KN6XYZ|100|T|-|KN6OLD|E", "KN6XYZ|200|G|-|-|A", "W6CLB|300|-|KN6XYZ|-|A"));
  EXPECT_THAT(Rows(database(), "SELECT USI, firstname, MI, lastname, suffix, streetaddress, city, "
                               "state, zipcode, pobox FROM Entity WHERE USI IN (300, 400, 500, 600) "
                               "ORDER BY USI"),
              ElementsAre("300|-|-|-|-|-|HALF MOON BAY|CA|94019|370545",
                          "400|Keith|-|Sample|Jr|45 Long Road|Austin|TX|78701|-",
                          "500|Alan|P|Smith|-|9 Elm St.|Springfield|IL|62701|-",
                          "600|José|-|Muñoz|-|-|San José|CA|95112|-"));
  EXPECT_THAT(Rows(database(), "SELECT USI, entityname, granteddate, expirationdate FROM EntityName "
                               "WHERE USI IN (200, 500) ORDER BY USI"),
              ElementsAre("200|Example, Jane|08/06/2019|08/06/2029",
                          "500|Smith ||, Alan P|02/02/2022|02/02/2032"));
  EXPECT_THAT(Rows(database(), "SELECT USI, email FROM Email"), ElementsAre("200|jane@example.com"));
}

TEST_F(FccImportTest, AZipArchiveWithWindowsLineEndsGivesTheSameDatabaseAsTheFolder) {
  UlsFiles files = torvane::testing::SampleUlsFiles();
  torvane::testing::WriteUlsFolder(folder_ / "l_amat", files);
  ASSERT_TRUE(ImportFccLicences(folder_ / "l_amat", database()).ok());
  const std::string everything = "SELECT * FROM Amateur UNION ALL SELECT USI, CallSign, "
                                 "entityname, firstname, lastname, city, state, zipcode, pobox "
                                 "FROM Entity";
  const auto from_folder = Rows(database(), everything);

  files.line_end = "\r\n";
  torvane::testing::WriteZip(folder_ / "l_amat.zip", torvane::testing::UlsMembers(files));
  std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
  const auto summary = ImportFccLicences(
      folder_ / "l_amat.zip", database(),
      [&](std::uint64_t done, std::uint64_t total) { progress.emplace_back(done, total); });
  ASSERT_TRUE(summary.ok()) << summary.error().description;
  EXPECT_EQ(Rows(database(), everything), from_folder);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back().first, progress.back().second);
}

TEST_F(FccImportTest, AFailedImportLeavesThePreviousDatabaseByteForByte) {
  torvane::testing::WriteUlsFolder(folder_ / "l_amat", torvane::testing::SampleUlsFiles());
  ASSERT_TRUE(ImportFccLicences(folder_ / "l_amat", database()).ok());
  const std::string before = ReadFile(database());

  auto members = torvane::testing::UlsMembers(torvane::testing::SampleUlsFiles());
  members.pop_back();  // no EN.dat
  torvane::testing::WriteZip(folder_ / "no-entities.zip", members);
  std::ofstream(folder_ / "not-a-zip.zip") << "PK but not really a zip archive";
  torvane::testing::WriteUlsFolder(folder_ / "garbage", UlsFiles{});
  UlsFiles mostly_garbage;
  mostly_garbage.headers = {"HD|x|", "HD|y|"};
  mostly_garbage.amateurs = {torvane::testing::AmateurLine(1, "K1ABC", "E"), "AM|junk"};
  mostly_garbage.entities = {torvane::testing::EntityLine(1, "K1ABC", {})};
  torvane::testing::WriteUlsFolder(folder_ / "mostly-garbage", mostly_garbage);
  const struct {
    std::string source;
    std::string message;
  } cases[] = {
      {folder_ / "no-entities.zip", "no-entities.zip has no EN.dat"},
      {folder_ / "not-a-zip.zip", "is neither a folder nor a readable zip archive"},
      {folder_ / "missing.zip", "missing.zip: no such file or folder"},
      {folder_.path(), "has no HD.dat"},
      {folder_ / "garbage", "0 of 0 records are not licence records"},
      {folder_ / "mostly-garbage", "3 of 5 records are not licence records\n  HD.dat line 1 has"},
  };
  for (const auto& c : cases) {
    const auto summary = ImportFccLicences(c.source, database());
    ASSERT_FALSE(summary.ok()) << c.source;
    EXPECT_THAT(summary.error().description, HasSubstr(c.message));
    EXPECT_EQ(ReadFile(database()), before) << c.source;
  }
  // Nothing is left beside the database either.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_THAT(names, ElementsAre("FCCData.db", "garbage", "l_amat", "mostly-garbage",
                                 "no-entities.zip", "not-a-zip.zip"));
}

TEST(UlsRecords, EntityLinesOfRealShapesAreReadOrRejected) {
  const struct {
    const char* line;
    const char* name_first_last_state_zip;  // nullptr: rejected
  } cases[] = {
      // The layout of today's file.
      {"EN|4186771|||KN6XYZ|L|L02283715|Example, Jane|Jane||Example||||||Montara|CA|94037|"
       "370545||000|0028710390|I||||||",
       "Example, Jane|Jane|Example|CA|94037"},
      // A "|" inside the entity name.
      {"EN|5106548|||WSHM478|L|L02913113|Smith ||, Alan P|Alan|P|Smith|||||||redacted|city|WV|"
       "25301||Alan P Smith|||000|0036794170|I||||||",
       nullptr},
      {"EN|5106548|||WSHM478|L|L02913113|Smith ||, Alan P|Alan|P|Smith|||||redacted|city|WV|"
       "25301|||000|0036794170|I||||||",
       "Smith ||, Alan P|Alan|Smith|WV|25301"},
      // The state written twice: the extra field is taken into the street.
      {"EN|4611491|||WRQZ473|L|L02562759|doe jr, john g|john|g|doe|jr||||1 cascadian way|EVERETT|"
       "WA|WA|98208||john g doe|000|0032446924|I||||||",
       "doe jr, john g|john|doe|WA|98208"},
      // A "|" inside the attention line does not disturb the address before it.
      {"EN|4781334|||WRXT202|L|L02680306|Roe, Sam|Sam||Roe|||||1 Hurfville Rd|Blackwood|NJ|"
       "08012|8784|c/o HamRegistry.org (BAl|4)|000|0033932369|I||||||",
       "Roe, Sam|Sam|Roe|NJ|08012"},
      // Fields missing at the end of an older line are read as empty.
      {"EN|77|||K1OLD|L||Old, Timer|Timer||Old|||||1 Road|Town|ME|04101|", "Old, Timer|Timer|Old|ME|04101"},
      {"EN|77|||K1OLD|L||too few", nullptr},
      {"EN|x77|||K1OLD|L||Old, Timer|Timer||Old|||||1 Road|Town|ME|04101|", nullptr},
      {"EN|77|||K1 OLD!|L||Old, Timer|Timer||Old|||||1 Road|Town|ME|04101|", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    std::string reason;
    const auto entity = ParseEntity(c.line, reason);
    if (c.name_first_last_state_zip == nullptr) {
      EXPECT_FALSE(entity.has_value()) << c.line;
      EXPECT_FALSE(reason.empty()) << c.line;
      continue;
    }
    ASSERT_TRUE(entity.has_value()) << c.line << ": " << reason;
    EXPECT_EQ(entity->entity_name + "|" + entity->first_name + "|" + entity->last_name + "|" +
                  entity->state + "|" + entity->zip,
              c.name_first_last_state_zip);
  }
}

TEST(UlsRecords, LinesOfAnyShapeAreReadOrRejectedNeverMisread) {
  // Random lines built from the characters that matter to the layout.
  std::mt19937 random(7);
  const std::string alphabet = "EN|AMHD0123456789 |||\r\xe9\xc3\xa9/,.-";
  for (int round = 0; round < 20000; ++round) {
    std::string line = round % 3 == 0 ? "EN|" : round % 3 == 1 ? "AM|12|||K1A|" : "HD|";
    const std::size_t length = random() % 120;
    for (std::size_t i = 0; i < length; ++i) line += alphabet[random() % alphabet.size()];
    std::string reason;
    const auto entity = ParseEntity(line, reason);
    const auto amateur = ParseAmateur(line, reason);
    const auto header = ParseHeader(line, reason);
    for (const std::int32_t usi : {entity ? entity->usi : 1, amateur ? amateur->usi : 1,
                                   header ? header->usi : 1}) {
      EXPECT_GT(usi, 0) << line;
    }
  }
}

TEST(ZipCodes, TheGazetteerReplacesTheTableAndStoresLongitudesWest) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(),
                 "INSERT INTO zipcodes (zip, latitude, longitude) VALUES (11111, 1, 2)");
  TempFolder files;
  std::ofstream(files / "gazetteer.txt") << torvane::testing::SampleGazetteer();
  auto connection = db::Connection::Open(folder.PrefixDatabase(), db::Connection::Mode::kReadWrite);
  ASSERT_TRUE(connection.ok());
  const auto summary = ImportZipCodes(*connection, files / "gazetteer.txt", false);
  ASSERT_TRUE(summary.ok()) << summary.error().description;
  EXPECT_EQ(summary->rows, 4u);
  EXPECT_THAT(summary->first_rejected, ElementsAre("line 5: the ZIP code is not five digits"));
  EXPECT_THAT(Rows(folder.PrefixDatabase(), "SELECT zip, latitude, longitude FROM zipcodes"),
              ElementsAre("94037|37.5446|122.509", "94019|37.4789|122.4386",
                          "78701|30.270569|97.742589", "95112|37.344|121.883"));

  // A file that is not a gazetteer changes nothing.
  std::ofstream(files / "other.csv") << "zip,lat,lon\n94037,37.5,-122.5\n";
  const auto refused = ImportZipCodes(*connection, files / "other.csv", false);
  ASSERT_FALSE(refused.ok());
  EXPECT_THAT(refused.error().description, HasSubstr("line 1 is not a ZCTA gazetteer header"));
  EXPECT_THAT(Rows(folder.PrefixDatabase(), "SELECT count(*) FROM zipcodes"), ElementsAre("4"));
}

}  // namespace
}  // namespace torvane::import
