#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/db/data_folder.h"
#include "core/db/database_set.h"
#include "lookup/call_cache.h"
#include "prefix/prefix_lookup.h"
#include "prefix/prefix_reader.h"
#include "prefix/quick_queries.h"
#include "tests/support/default_data.h"
#include "tests/support/recording_events.h"
#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "torvane/torvane_control.h"

namespace torvane::testing {
namespace {

db::DatabasePaths PathsOf(const std::string& data_folder) {
  db::DatabasePaths paths;
  paths.prefix = data_folder + "/" + std::string(db::kPrefixDatabase);
  paths.lotw_users = data_folder + "/" + std::string(db::kLotwUsersDatabase);
  return paths;
}

// The quick and prefix getters over one way of reading the prefix tables.
struct QuickStack {
  QuickStack(db::DatabaseSet& databases, PrefixReader::Path path) : reader(databases, path) {
    reader.Reload();
    reader.WaitForIndex();
  }

  // Every answer the getters give for the call, in one text; then the callbook's variant of
  // the lookup and the entity valid on a date.
  std::string Answers(const std::string& call) {
    std::string all;
    const auto add = [&](const std::string& answer) { all += answer + "|"; };
    QuickPrefixAnswers answers;
    quick.GetQuickPrefixAnswers(call, answers);
    for (const std::string* field : {&answers.dxcc, &answers.country, &answers.continent,
                                     &answers.cq_zone, &answers.itu_zone, &answers.wpx_prefix}) {
      add(*field);
    }
    add(answers.matched ? "matched" : "unmatched");
    add(quick.GetQuickCountry(call));
    add(quick.GetQuickPrefixCountry(call));
    add(quick.GetQuickContinent(call));
    add(quick.GetQuickPrefixContinent(call));
    add(quick.GetQuickLatitude(call));
    add(quick.GetQuickPrefixLatitude(call));
    add(quick.GetQuickLongitude(call));
    add(quick.GetQuickPrefixLongitude(call));
    add(quick.GetQuickMasterPrefix(call));
    add(quick.GetQuickDXCCNumber(call));
    add(quick.GetQuickPrefixDXCCNumber(call));
    add(quick.GetQuickPrefixCQZone(call));
    add(quick.GetQuickPrefixITUZone(call));
    add(quick.GetRealPrefix(call));
    add(quick.GetPrefixWPX(call).ToText());
    add(quick.GetPrefixMasterPrefix(call).ToText());
    add(quick.GetPrefixHoursOffset(call).ToText());
    add(std::to_string(quick.GetQuickStatus(call, "6/15/1985")));
    add(std::to_string(quick.GetQuickStatus(call, "6/15/2020")));
    add(std::to_string(quick.GetIsAmbiguousPrefix(call)));

    ParsedCall parsed;
    ParseCall(call, parsed);
    add(lookup.LookupPrefixForCallbook(parsed.BaseCall, parsed.PrefixCall) ? "found" : "none");
    for (const EntityInfo* entity : {&lookup.CallEntity(), &lookup.PrefixEntity()}) {
      for (const std::string* field :
           {&entity->master_prefix, &entity->Country, &entity->Continent, &entity->Latitude,
            &entity->Longitude, &entity->Time_Offset, &entity->CQ_Zone, &entity->ITU_Zone,
            &entity->Abbreviation, &entity->Begin_Date, &entity->End_Date}) {
        add(*field);
      }
      add(std::to_string(entity->DXCC) + "/" + std::to_string(entity->ID));
    }
    add(lookup.WPXPrefix);
    add(std::to_string(lookup.EntityIdOnDate("3/1/1993", parsed.PrefixCall)));
    return all;
  }

  WebState web;
  EventDispatcher events{nullptr};
  PrefixReader reader;
  PrefixLookup lookup{reader, web, events};
  CallCache cache{lookup, web, events};
  QuickQueries quick{cache, lookup};
};

// Runs the calls through the index and through the tables, in the same order, and compares
// every answer. Returns whether the index was used.
bool ExpectSameAnswers(const std::string& data_folder, const std::vector<std::string>& calls) {
  db::DatabaseSet databases;
  EXPECT_TRUE(databases.OpenAtStartup(PathsOf(data_folder)).ok());
  QuickStack memory(databases, PrefixReader::Path::kMemory);
  QuickStack tables(databases, PrefixReader::Path::kTables);
  EXPECT_FALSE(tables.reader.UsesIndex());
  int differences = 0;
  for (const std::string& call : calls) {
    const std::string expected = tables.Answers(call);
    const std::string actual = memory.Answers(call);
    if (actual != expected && ++differences <= 5) {
      ADD_FAILURE() << "call \"" << call << "\"\n  tables: " << expected << "\n  memory: " << actual;
    }
  }
  EXPECT_EQ(differences, 0);
  return memory.reader.UsesIndex();
}

// Portable, designator, exact-call, case, blank and hostile forms.
std::vector<std::string> MixedCalls() {
  std::vector<std::string> calls = {
      "W1AW",      "w1aw",      "W1AW/P",    "W1AW/MM",   "W1AW/QRP", "KH6/W1AW",  "W1AW/KH6",
      "W1AW\\KH6", "KH7/W1XX",  "W1XX/KH7",  "FO/M",      "FO5AB/M",  "M/FO5AB",   "3D2AB/C",
      "C/3D2AB",   "VP8AB/H",   "FR5AB/G",   "3Y0X/B",    "B/3Y0X",   "KG4AB",     "KG4ABC",
      "KC4AA",     "KC4AAA",    "AL7AB",     "KL7AB",     "WP4AB",    "W6/DL1ABC", "DL1ABC/6",
      "DL0AB",     "DL0",       "VK0X",      "VK0XY",     "Y22AB",    "ZZ1A",      "G4ABC",
      "",          "/",         "//",        "W1AW/",     "/W1AW",    "1",         "Q",
      "XX9XX",     "W1AW/P/P",  "a/b/c",     std::string("DL\0A", 4), std::string("DL\0B", 4),
      "\xC3\xA9\xC3\xA9", std::string(300, 'W'), "W" + std::string(100, '1')};
  return calls;
}

std::vector<std::string> MasterScpCalls() {
  std::vector<std::string> calls;
  std::ifstream in("/usr/share/hamradio-files/MASTER.SCP");
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') calls.push_back(line);
  }
  return calls;
}

// Entity IDs kept as text, which compare with numbers in a way the index does not reproduce.
constexpr const char* kEntityIdsAsText = R"sql(
    CREATE TABLE p2 AS SELECT * FROM Prefixes;
    DROP TABLE Prefixes;
    CREATE TABLE Prefixes (ID TEXT, master_prefix TEXT, DXCC INTEGER, Country TEXT,
      Continent TEXT, Latitude REAL, Longitude REAL, Time_Offset REAL, CQ_Zone TEXT,
      ITU_Zone TEXT, Abbreviation TEXT, Begin_Date TEXT, End_Date TEXT);
    INSERT INTO Prefixes SELECT ID, master_prefix, DXCC, Country, Continent, Latitude,
      Longitude, Time_Offset, CQ_Zone, ITU_Zone, Abbreviation, Begin_Date, End_Date FROM p2;
    CREATE INDEX Prefixes_ID ON Prefixes (ID);
    CREATE INDEX Prefixes_DXCCA ON Prefixes (DXCC);
  )sql";

TEST(PrefixIndex, AnswersEveryGetterAsTheTablesDoOnTheShippedData) {
  std::vector<std::string> calls = MasterScpCalls();
  ASSERT_GT(calls.size(), 80000u);
  const std::vector<std::string> mixed = MixedCalls();
  calls.insert(calls.end(), mixed.begin(), mixed.end());
  EXPECT_TRUE(ExpectSameAnswers(DefaultDataFolder(), calls));
}

// Databases the shipped tools never write: the index must answer as the tables do, or leave
// the answering to them.
TEST(PrefixIndex, AnswersAsTheTablesDoOnOddDatabases) {
  struct Case {
    const char* name;
    const char* sql;  // run after the sample rows
    bool index_used;
  };
  const Case cases[] = {
      {"duplicate keys, links to missing rows, zones that are not numbers", R"sql(
         INSERT INTO plink (prefix, plink, inactive) VALUES ('DL', 11, NULL), ('dl1', 2, NULL),
           ('XX', 777, NULL), ('W1AW', 2, NULL), ('Q', -5, 'x');
         UPDATE Prefixes SET CQ_Zone = 'x5', ITU_Zone = '' WHERE ID = 11;
         INSERT INTO Prefixes (ID, Country, DXCC) VALUES (13, 'Text number', '12abc');
         INSERT INTO plink (prefix, plink) VALUES ('T1', 13), ('K', 13);
         INSERT INTO plink (prefix, plink) VALUES (CAST(X'444C0041' AS TEXT), 6);
       )sql",
       true},
      {"Null, text and blob links; blob and number keys; a binary key column", R"sql(
         DROP TABLE plink;
         CREATE TABLE plink (prefix TEXT, plink, inactive);
         CREATE INDEX plink_prefix ON plink (prefix);
         INSERT INTO plink VALUES ('K', 1, NULL), ('W', NULL, NULL), ('N', 'abc', NULL),
           ('DL', '3', X'21'), ('dl', 11, NULL), (X'4B4836', 2, NULL), (NULL, 3, NULL),
           ('G', 11.0, '!'), ('VP8', 6.5, NULL), ('Y2', 70000, NULL), ('FO/M', 4, 1),
           ('W1AW', 3, '!'), (12, 3, NULL), ('12', 6, NULL);
       )sql",
       true},
      {"a key column that compares numbers", R"sql(
         DROP TABLE plink;
         CREATE TABLE plink (prefix NUMERIC, plink INTEGER, inactive TEXT);
         CREATE INDEX plink_prefix ON plink (prefix);
         INSERT INTO plink VALUES ('K', 1, NULL), ('W', 1, NULL), ('1', 3, NULL), ('DL', 3, NULL);
       )sql",
       false},
      {"a key column with another collation", R"sql(
         DROP TABLE plink;
         CREATE TABLE plink (prefix TEXT COLLATE RTRIM, plink INTEGER, inactive TEXT);
         CREATE INDEX plink_prefix ON plink (prefix);
         INSERT INTO plink VALUES ('K ', 1, NULL), ('W', 1, NULL), ('DL  ', 3, NULL);
       )sql",
       false},
      {"entity IDs at both ends of their range, links to IDs between them", R"sql(
         INSERT INTO Prefixes (ID, Country, DXCC) VALUES (-32768, 'Lowest', 1), (32767, 'Highest', 2),
           (32766, 'Next to the highest', 3);
         INSERT INTO plink (prefix, plink) VALUES ('L1', -32768), ('H1', 32767), ('R1', 32766),
           ('M1', 20000), ('O1', -32767);
       )sql",
       true},
      {"entity IDs kept as text", kEntityIdsAsText, false},
      {"no index on the keys", "DROP INDEX plink_prefix;", false},
  };
  std::vector<std::string> calls = MixedCalls();
  for (const char* more : {"T1A", "XX1", "Q1", "12", "1", "DL1", "dl1", "KH6", "kh6", "G3", "Y2",
                           "L1A", "H1A", "R1A", "M1A", "O1A"}) {
    calls.emplace_back(more);
  }
  // One entity met again after others: its Null columns keep what the one before left, and
  // its zones are rewritten in the host's form by the getters in between.
  for (const char* more : {"ZZ1A", "DL1A", "ZZ1B", "G3A", "ZZ1C", "ZZ1C", "KH6/ZZ1A", "ZZ1A/KH6",
                           "ZZ1D", "KG4AB", "KG4AB", "ZZ1E", "W1AW", "ZZ1F", "DL1B", "DL1C"}) {
    calls.emplace_back(more);
  }
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TempDataFolder folder;
    folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
    folder.Execute(folder.PrefixDatabase(), test.sql);
    EXPECT_EQ(ExpectSameAnswers(folder.path(), calls), test.index_used);
  }
}

// What the host sees while the tables change under a running service: its own mark at once,
// another process's change within a second.
TEST(PrefixIndex, FollowsChangesToTheTables) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
  TorvaneControl control(folder.MakeOptions());
  EXPECT_EQ(control.GetQuickPrefixCountry("DL1ABC"), "Fed. Rep. of Germany");

  EXPECT_TRUE(control.SetSpecialCall("DL"));  // "DL" now only for the exact call
  EXPECT_NE(control.QuickCheckCall("DL1ABE"), 0) << "DL1ABE matches no key any more";
  EXPECT_EQ(control.QuickCheckCall("DL"), 0);

  // Another process repoints "DL" and adds a key.
  const std::string sql =
      "UPDATE plink SET plink = 11, inactive = NULL WHERE prefix = 'DL';"
      "INSERT INTO plink (prefix, plink) VALUES ('QQ', 2);";
  const std::string command =
      "sqlite3 '" + folder.PrefixDatabase() + "' \"" + sql + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_EQ(control.GetQuickPrefixCountry("DL1ABF"), "England");
  EXPECT_EQ(control.GetQuickPrefixCountry("QQ1A"), "Hawaii");
}

// A full check writes the entity records after its own lookup: a quick lookup of the same
// entity after it must copy the entity again, not keep what the check left.
TEST(PrefixIndex, AQuickLookupAfterAFullCheckOfTheSameEntityAnswersTheEntity) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
  TorvaneControl control(folder.MakeOptions());
  EXPECT_EQ(control.GetQuickCountry("DL1A"), "Fed. Rep. of Germany");
  control.GetCountry("DL1B");
  EXPECT_EQ(control.GetQuickCountry("DL1C"), "Fed. Rep. of Germany");
  EXPECT_EQ(control.GetQuickLatitude("DL1C"), "51");
  EXPECT_EQ(control.GetQuickContinent("DL1C"), "EU");
  EXPECT_EQ(control.GetQuickPrefixCQZone("DL1C"), "14");
}

// The answers of GetQuickPrefixAnswers come from the call alone: after any other call they are
// what a service that has answered nothing yet gives, Null columns included.
TEST(PrefixIndex, QuickPrefixAnswersDependOnTheCallAlone) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
  folder.Execute(folder.PrefixDatabase(), "UPDATE Prefixes SET Country = NULL WHERE ID = 9;");
  const std::vector<std::string> calls = {"ZZ1A",     "DL1A", "VK0XY", "KH6/ZZ1A", "ZZ1A/KH6",
                                          "W1AW",     "KG4AB", "Q1ZZ", "DL0AA",    "FO5AB/M",
                                          "KH7/W1XX", "G3A",  ""};
  db::DatabaseSet databases;
  ASSERT_TRUE(databases.OpenAtStartup(PathsOf(folder.path())).ok());
  const auto text_of = [](const QuickPrefixAnswers& answers) {
    return std::string(answers.matched ? "matched" : "unmatched") + "|" + answers.dxcc + "|" +
           answers.country + "|" + answers.continent + "|" + answers.cq_zone + "|" +
           answers.itu_zone + "|" + answers.wpx_prefix;
  };
  const auto fresh_answers = [](QuickStack& stack, const std::string& call) {
    QuickPrefixAnswers answers;
    stack.quick.GetQuickPrefixAnswers(call, answers);
    return answers;
  };
  for (const PrefixReader::Path path : {PrefixReader::Path::kMemory, PrefixReader::Path::kTables}) {
    QuickStack used(databases, path);
    QuickPrefixAnswers reused;  // texts left from the call before must not show through
    for (const std::string& call : calls) {
      QuickStack fresh(databases, path);
      const std::string alone = text_of(fresh_answers(fresh, call));
      for (const std::string& before : calls) {
        used.quick.GetQuickPrefixAnswers(before, reused);
        used.quick.GetQuickPrefixAnswers(call, reused);
        EXPECT_EQ(text_of(reused), alone) << call << " after " << before;
      }
    }
  }
  QuickStack memory(databases, PrefixReader::Path::kMemory);
  EXPECT_EQ(text_of(fresh_answers(memory, "ZZ1A")), "matched|0|Nowhere||05||ZZ1");
  EXPECT_EQ(text_of(fresh_answers(memory, "VK0XY")), "matched|111||AF|39|68|VK0");
  EXPECT_EQ(text_of(fresh_answers(memory, "Q1ZZ")), "unmatched|0|||||Q1");
  EXPECT_EQ(text_of(fresh_answers(memory, "")), "unmatched|0|||||");
}

// Many calls at once, on several threads over the one index, or on this thread over the tables,
// in either batch form: each answer is the one-call form's, and the service's getters and
// events see nothing of it.
TEST(PrefixIndex, ManyCallsAtOnceAreAnsweredAsEachAlone) {
  std::vector<std::string> calls = MasterScpCalls();
  const std::vector<std::string> mixed = MixedCalls();
  calls.insert(calls.end(), mixed.begin(), mixed.end());
  TempDataFolder tables_only;
  tables_only.Execute(tables_only.PrefixDatabase(), kSamplePrefixRows);
  tables_only.Execute(tables_only.PrefixDatabase(), kEntityIdsAsText);
  const auto text_of = [](const QuickPrefixAnswers& answers) {
    return std::string(answers.matched ? "matched" : "unmatched") + "|" + answers.dxcc + "|" +
           answers.country + "|" + answers.continent + "|" + answers.cq_zone + "|" +
           answers.itu_zone + "|" + answers.wpx_prefix;
  };
  for (const std::string& folder : {DefaultDataFolder(), tables_only.path()}) {
    SCOPED_TRACE(folder);
    Options options;
    options.data_folder = folder;
    RecordingEvents events;
    TorvaneControl control(options, &events);
    std::vector<std::string> alone;
    for (const std::string& call : calls) alone.push_back(text_of(control.GetQuickPrefixAnswers(call)));
    EXPECT_EQ(control.GetQuickPrefixCountry("DL1ABC"), "Fed. Rep. of Germany");
    const std::string real_prefix = control.GetRealPrefix("DL1ABC");
    events.Take();
    for (const unsigned threads : {1u, 2u, 3u, 0u}) {
      std::vector<QuickPrefixAnswers> answers(calls.size());
      ASSERT_EQ(control.GetQuickPrefixAnswers(calls, answers, threads), calls.size());
      int differences = 0;
      for (std::size_t i = 0; i < calls.size(); ++i) {
        if (text_of(answers[i]) != alone[i] && ++differences <= 5) {
          ADD_FAILURE() << threads << " threads, \"" << calls[i] << "\": " << text_of(answers[i])
                        << " alone: " << alone[i];
        }
      }
      EXPECT_EQ(differences, 0);

      QuickPrefixBatch batch;
      ASSERT_EQ(control.GetQuickPrefixBatch(calls, batch, threads), calls.size());
      ASSERT_EQ(batch.entity.size(), calls.size());
      ASSERT_EQ(batch.wpx_prefix.size(), calls.size());
      for (std::size_t i = 0; i < calls.size(); ++i) {
        QuickPrefixAnswers from_batch;
        from_batch.matched = batch.entity[i] >= 0;
        from_batch.dxcc = "0";
        if (from_batch.matched) {
          const QuickPrefixEntity& entity = batch.entities.at(static_cast<std::size_t>(batch.entity[i]));
          from_batch.dxcc = entity.dxcc;
          from_batch.country = entity.country;
          from_batch.continent = entity.continent;
          from_batch.cq_zone = entity.cq_zone;
          from_batch.itu_zone = entity.itu_zone;
        }
        from_batch.wpx_prefix = batch.wpx_prefix[i];
        if (text_of(from_batch) != alone[i] && ++differences <= 5) {
          ADD_FAILURE() << threads << " threads, each entity once, \"" << calls[i]
                        << "\": " << text_of(from_batch) << " alone: " << alone[i];
        }
      }
      EXPECT_EQ(differences, 0);
    }
    EXPECT_TRUE(events.Take().empty());
    // "DL1ABC" is still the call the getters answer for, with its entity.
    EXPECT_EQ(control.GetQuickPrefixCountry("DL1ABC"), "Fed. Rep. of Germany");
    EXPECT_EQ(control.GetQuickCountry("DL1ABC"), "Fed. Rep. of Germany");
    EXPECT_EQ(control.GetRealPrefix("DL1ABC"), real_prefix);
  }
}

// The answers given are as many as the shorter of the two lists; the rest are left alone.
TEST(PrefixIndex, ManyCallsAtOnceFillAsManyAnswersAsThereAreBoth) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
  TorvaneControl control(folder.MakeOptions());
  const std::vector<std::string> calls = {"DL1A", "W1AW", "G3A"};
  std::vector<QuickPrefixAnswers> answers(2);
  EXPECT_EQ(control.GetQuickPrefixAnswers(calls, answers, 2), 2u);
  EXPECT_EQ(answers[1].country, "Fed. Rep. of Germany");  // W1AW is an exact call of DL's
  answers.resize(5);
  answers[4].country = "kept";
  EXPECT_EQ(control.GetQuickPrefixAnswers(calls, answers), 3u);
  EXPECT_EQ(answers[2].country, "England");
  EXPECT_EQ(answers[4].country, "kept");
  EXPECT_EQ(control.GetQuickPrefixAnswers({}, answers, 4), 0u);
}

// The batch that gives each entity once: over the index, an entity met by calls on any
// thread is listed once; a refilled batch holds the new calls only; no calls, an empty batch.
TEST(PrefixIndex, ABatchListsEachEntityOnce) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
  TorvaneControl control(folder.MakeOptions());
  std::vector<std::string> calls;
  for (int i = 0; i < 3000; ++i) {
    for (const char* call : {"DL1A", "G3A", "Q1ZZ", "W1AW", "DL2B"}) calls.emplace_back(call);
  }
  QuickPrefixBatch batch;
  ASSERT_EQ(control.GetQuickPrefixBatch(calls, batch, 3), calls.size());
  std::vector<std::string> countries;
  for (const QuickPrefixEntity& entity : batch.entities) countries.push_back(entity.country);
  std::sort(countries.begin(), countries.end());
  EXPECT_EQ(countries, (std::vector<std::string>{"England", "Fed. Rep. of Germany"}));
  EXPECT_EQ(batch.entity[2], -1);  // Q1ZZ matches no prefix
  EXPECT_EQ(batch.entity[0], batch.entity[3]);  // W1AW is an exact call of DL's
  EXPECT_EQ(batch.entity.back(), batch.entity[0]);
  EXPECT_EQ(batch.wpx_prefix[1], "G3");

  const std::vector<std::string> fewer = {"G3A"};
  ASSERT_EQ(control.GetQuickPrefixBatch(fewer, batch), 1u);
  ASSERT_EQ(batch.entities.size(), 1u);
  EXPECT_EQ(batch.entities[0].country, "England");
  EXPECT_EQ(batch.entity, std::vector<std::int32_t>{0});

  EXPECT_EQ(control.GetQuickPrefixBatch({}, batch, 2), 0u);
  EXPECT_TRUE(batch.entities.empty() && batch.entity.empty() && batch.wpx_prefix.empty());
}

// A call far longer than any key: answered by the rules, in time that grows with its length
// only (a quadratic lookup of a megabyte call would not finish within the test's limit).
TEST(PrefixIndex, ACallLongerThanAnyKeyIsAnsweredByTheRules) {
  TorvaneControl control([] {
    Options options;
    options.data_folder = DefaultDataFolder();
    return options;
  }());
  const std::string call = "DL1" + std::string(1 << 20, 'A');
  EXPECT_EQ(control.GetQuickPrefixCountry(call), "Fed. Rep. of Germany");
  EXPECT_EQ(control.GetPrefixWPX(call).ToText(), "DL1");
  EXPECT_EQ(control.GetQuickPrefixCountry("W" + std::string(1 << 20, '/')), "United States");
}

}  // namespace
}  // namespace torvane::testing
