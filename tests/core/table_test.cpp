#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/db/data_folder.h"
#include "core/db/database_set.h"
#include "core/db/sqlite.h"
#include "core/files.h"
#include "tests/support/temp_folder.h"

namespace torvane::db {
namespace {

using torvane::testing::TempDataFolder;

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Execute(folder_.PrefixDatabase(), R"sql(
      INSERT INTO plink (prefix, plink, inactive) VALUES
        ('DL', 230, NULL), ('K', 291, NULL), ('KH6', 110, NULL), ('W1AW', 291, '!'),
        ('K', 999, NULL), ('O''BRIEN', 5, NULL);
      INSERT INTO Prefixes (ID, master_prefix, DXCC, Country, CQ_Zone, Latitude) VALUES
        (230, 'DL', 230, 'Fed. Rep. of Germany', '14', 51.0),
        (291, 'K', 291, 'United States', '03/04/05', 37.6),
        (110, 'KH6', 110, 'Hawaii', NULL, 21.12);
    )sql");
    ASSERT_TRUE(OpenSet());
  }

  bool OpenSet() {
    const Status status = set_.OpenAtStartup(Paths());
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().description);
    return status.ok();
  }

  DatabasePaths Paths() const {
    return {folder_.PrefixDatabase(), folder_.FccDatabase(), folder_.LotwUsersDatabase()};
  }

  static std::string Text(const Table& table, const char* field) {
    const Variant* value = table.Field(field);
    return value != nullptr ? value->ToText() : "<null>";
  }

  TempDataFolder folder_;
  DatabaseSet set_;
};

TEST_F(TableTest, SeekFindsTheFirstRecordWithTheKeyInAnyLetterCase) {
  Table& plink = set_.Data1;
  ASSERT_TRUE(plink.SetIndex("prefix"));
  const struct {
    const char* key;
    bool found;
    const char* link;
  } cases[] = {{"DL", true, "230"}, {"dl", true, "230"}, {"kh6", true, "110"},
               {"K", true, "291"},  // first of two rows in table order
               {"DL1", false, ""},  {"", false, ""},   {"O'BRIEN", true, "5"}};
  for (const auto& c : cases) {
    EXPECT_EQ(plink.Seek(Variant(c.key)), c.found) << c.key;
    EXPECT_EQ(plink.NoMatch(), !c.found) << c.key;
    if (c.found) {
      EXPECT_EQ(Text(plink, "plink"), c.link) << c.key;
    } else {
      EXPECT_EQ(plink.Field("plink"), nullptr) << c.key;
    }
  }
}

TEST_F(TableTest, FieldsAreReadByNameInAnyCaseWithNullDistinctFromEmpty) {
  Table& prefixes = set_.Data2;
  ASSERT_TRUE(prefixes.SetIndex("ID"));
  ASSERT_TRUE(prefixes.Seek(Variant(std::int32_t{110})));
  EXPECT_EQ(Text(prefixes, "country"), "Hawaii");
  EXPECT_EQ(Text(prefixes, "COUNTRY"), "Hawaii");
  EXPECT_EQ(Text(prefixes, "Latitude"), "21.12");
  EXPECT_EQ(prefixes.Field("CQ_Zone"), nullptr);  // Null
  EXPECT_EQ(prefixes.Field("no_such_field"), nullptr);

  ASSERT_TRUE(prefixes.SetIndex("DXCCA"));
  ASSERT_TRUE(prefixes.Seek(Variant(std::int16_t{291})));
  EXPECT_EQ(Text(prefixes, "CQ_Zone"), "03/04/05");
}

TEST_F(TableTest, IndexesResolveByNameOrPrimaryKeyAndUnknownOnesAreRefused) {
  EXPECT_TRUE(set_.Data2.SetIndex("PrimaryKey"));
  EXPECT_TRUE(set_.Data2.Seek(Variant(std::int32_t{230})));
  EXPECT_EQ(Text(set_.Data2, "master_prefix"), "DL");
  EXPECT_TRUE(set_.Data9.SetIndex("prefix"));  // plinkold has its own "prefix" index
  EXPECT_FALSE(set_.Data1.SetIndex("nonexistent"));
  EXPECT_EQ(set_.Data1.CurrentIndex(), "");
  EXPECT_FALSE(set_.Data1.Seek(Variant("DL")));  // no index chosen yet
  EXPECT_TRUE(set_.Data1.NoMatch());
}

TEST_F(TableTest, CriteriaValuesAreBoundSoQuotesFindOnlyThemselves) {
  Table& plink = set_.Data1;
  EXPECT_FALSE(plink.FindFirst("prefix", Variant("DL' OR '1'='1")));
  EXPECT_TRUE(plink.NoMatch());
  EXPECT_TRUE(plink.FindFirst("prefix", Variant("o'brien")));
  EXPECT_EQ(Text(plink, "plink"), "5");
  EXPECT_FALSE(plink.FindFirst("no_such_field", Variant("DL")));
  // The table is intact after the hostile criteria.
  EXPECT_TRUE(plink.FindFirst("prefix", Variant("DL")));
}

TEST_F(TableTest, FindFirstAndFindLastTakeTheEndsOfTheMatchesInTableOrder) {
  Table& plink = set_.Data1;
  ASSERT_TRUE(plink.FindFirst("prefix", Variant("k")));
  EXPECT_EQ(Text(plink, "plink"), "291");
  ASSERT_TRUE(plink.FindLast("prefix", Variant("k")));
  EXPECT_EQ(Text(plink, "plink"), "999");
}

TEST_F(TableTest, ScanVisitsRecordsInTableOrderAndEndsWithEof) {
  Table& plink = set_.Data1;
  std::vector<std::string> seen;
  for (plink.MoveFirst(); !plink.Eof(); plink.MoveNext()) seen.push_back(Text(plink, "prefix"));
  EXPECT_EQ(seen, (std::vector<std::string>{"DL", "K", "KH6", "W1AW", "K", "O'BRIEN"}));
  EXPECT_FALSE(plink.MoveNext());
  EXPECT_TRUE(plink.Eof());

  Table& weather = set_.Data3;  // empty
  EXPECT_FALSE(weather.MoveFirst());
  EXPECT_TRUE(weather.Eof());
}

TEST_F(TableTest, UpdateIsOnDiskAfterTheSetEnds) {
  {
    DatabaseSet set;
    ASSERT_TRUE(set.OpenAtStartup(Paths()).ok());
    Table& plink = set.Data1;
    ASSERT_TRUE(plink.SetIndex("prefix"));
    ASSERT_TRUE(plink.Seek(Variant("KH6")));
    ASSERT_TRUE(plink.Edit());
    ASSERT_TRUE(plink.SetField("INACTIVE", Variant("!")));
    ASSERT_TRUE(plink.Update());
    EXPECT_EQ(Text(plink, "inactive"), "!");  // the current record shows the stored value
    EXPECT_FALSE(plink.SetField("inactive", Variant("x")));  // not editing any more
  }
  DatabaseSet reopened;
  ASSERT_TRUE(reopened.OpenAtStartup(Paths()).ok());
  ASSERT_TRUE(reopened.Data1.SetIndex("prefix"));
  ASSERT_TRUE(reopened.Data1.Seek(Variant("KH6")));
  EXPECT_EQ(Text(reopened.Data1, "inactive"), "!");
}

TEST_F(TableTest, WritesNeedACurrentRecordAndAKnownField) {
  Table& plink = set_.Data1;
  ASSERT_TRUE(plink.SetIndex("prefix"));
  EXPECT_FALSE(plink.Seek(Variant("nothing")));
  EXPECT_FALSE(plink.Edit());
  EXPECT_FALSE(plink.Update());
  ASSERT_TRUE(plink.Seek(Variant("DL")));
  ASSERT_TRUE(plink.Edit());
  EXPECT_FALSE(plink.SetField("bogus", Variant("!")));
}

TEST_F(TableTest, ClosedTablesFailQuietly) {
  Table& amateur = set_.Data5;  // no FCC database in this folder
  EXPECT_FALSE(set_.LocalFCCAvailable);
  EXPECT_FALSE(amateur.IsOpen());
  EXPECT_FALSE(amateur.SetIndex("CallSign"));
  EXPECT_FALSE(amateur.FindLast("CallSign", Variant("W1AW")));
  EXPECT_TRUE(amateur.NoMatch());
  EXPECT_FALSE(amateur.MoveFirst());
  EXPECT_EQ(amateur.Field("usi"), nullptr);
  EXPECT_FALSE(amateur.Edit());
}

TEST(DatabaseSetStartup, OpensFccTablesOnlyWhenTheFileExists) {
  torvane::testing::TempDataFolder folder(/*with_fcc=*/true);
  folder.Execute(folder.FccDatabase(), R"sql(
    INSERT INTO Amateur (CallSign, usi, operatorclass) VALUES ('W1AW', 1, 'E'), ('W1AW', 2, 'G');
    INSERT INTO EntityName (USI, entityname) VALUES (2, 'Example, Jane');
  )sql");
  DatabaseSet set;
  ASSERT_TRUE(
      set.OpenAtStartup({folder.PrefixDatabase(), folder.FccDatabase(), folder.LotwUsersDatabase()})
          .ok());
  EXPECT_TRUE(set.LocalFCCAvailable);
  EXPECT_EQ(set.Data7.CurrentIndex(), "PrimaryKey");
  ASSERT_TRUE(set.Data5.FindLast("CallSign", Variant("w1aw")));
  EXPECT_EQ(set.Data5.Field("operatorclass")->ToText(), "G");
  ASSERT_TRUE(set.Data7.Seek(Variant(std::int32_t{2})));
  EXPECT_EQ(set.Data7.Field("entityname")->ToText(), "Example, Jane");
}

TEST(DatabaseSetStartup, FailsOnAMissingOrCorruptRequiredDatabaseAndLeavesLaterSlotsClosed) {
  torvane::testing::TempDataFolder folder;
  {
    std::ofstream corrupt(folder.PrefixDatabase(), std::ios::trunc);
    corrupt << "this is not a database file, just some text that is long enough";
  }
  DatabaseSet set;
  const Status status =
      set.OpenAtStartup({folder.PrefixDatabase(), folder.FccDatabase(), folder.LotwUsersDatabase()});
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().number, SQLITE_NOTADB);
  EXPECT_TRUE(set.Data10.IsOpen());  // the LoTW users table opens first
  EXPECT_FALSE(set.Data1.IsOpen());

  DatabaseSet missing;
  const Status none = missing.OpenAtStartup(
      {folder.path() + "/none.db", folder.FccDatabase(), folder.path() + "/none-either.db"});
  ASSERT_FALSE(none.ok());
  EXPECT_EQ(none.error().number, SQLITE_CANTOPEN);
  EXPECT_FALSE(std::filesystem::exists(folder.path() + "/none-either.db"));
}

TEST(DataFolder, PathsMatchWithoutRegardToCaseAndExistingDatabasesAreKept) {
  torvane::testing::TempFolder folder;
  std::vector<std::string> created;
  ASSERT_TRUE(InitDataFolder(folder.path(), false, created).ok());
  EXPECT_EQ(created.size(), 2u);
  created.clear();
  ASSERT_TRUE(InitDataFolder(folder.path(), true, created).ok());
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0], folder.path() + "/FCC Data/FCCData.db");
  EXPECT_TRUE(files::FileExists(folder.path() + "/databases/BANDPLAN.db"));
  EXPECT_FALSE(CreateDatabase(folder.path() + "/Databases/bandplan.db", Schema::kPrefix).ok());
}

}  // namespace
}  // namespace torvane::db
