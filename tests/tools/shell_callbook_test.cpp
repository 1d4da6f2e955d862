#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"
#include "tests/support/uls_fixture.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using json = nlohmann::json;

// A data folder with the sample prefixes, the sample licences and their ZIP positions,
// filled through the tool as a user fills it.
class CallbookSource : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Execute(folder_.PrefixDatabase(), kSamplePrefixRows);
    WriteUlsFolder(files_ / "l_amat", SampleUlsFiles());
    std::ofstream(files_ / "gazetteer.txt") << SampleGazetteer();
    const auto fcc = RunTool({"import", "fcc", files_ / "l_amat", "--data-folder", folder_.path()});
    ASSERT_EQ(fcc.status, 0) << fcc.err;
    const auto zip =
        RunTool({"import", "zip", files_ / "gazetteer.txt", "--data-folder", folder_.path()});
    ASSERT_EQ(zip.status, 0) << zip.err;
  }

  // Runs the requests with the FCC database as the source of US stations; gives each answer's
  // result, and counts the CallDataOK events raised before it.
  struct Answer {
    json result;
    int call_data_events = 0;
  };
  std::vector<Answer> Ask(const std::vector<std::string>& requests,
                          const std::vector<std::string>& extra_options = {}) {
    std::string script = R"({"call": "SetCDSource", "args": ["FCC"]})"
                         "\n";
    for (const std::string& request : requests) script += request + "\n";
    std::vector<std::string> args = {"shell", "--json", "--data-folder", folder_.path()};
    args.insert(args.end(), extra_options.begin(), extra_options.end());
    std::vector<Answer> answers;
    int events = 0;
    bool first = true;
    for (const std::string& line : RunTool(args, script).lines) {
      const json parsed = json::parse(line);
      if (parsed.contains("event")) {
        if (parsed["event"] == "CallDataOK") ++events;
      } else if (parsed.contains("result")) {
        if (!first) answers.push_back({parsed["result"], events});
        first = false;
        events = 0;
      }
    }
    return answers;
  }

  static std::string Call(const std::string& method, const std::string& argument) {
    return json({{"call", method}, {"args", {argument}}}).dump();
  }

  TempDataFolder folder_;
  TempFolder files_;
};

TEST_F(CallbookSource, TheCurrentLicenceFillsTheRecordWithNamesAddressAndPosition) {
  const struct {
    const char* method;
    json expected;
  } cases[] = {
      {"GetFirstName", "Jane"},
      {"GetMiddleName", "Q"},
      {"GetLastname", "Example"},
      {"GetFullName", "Jane Q Example"},
      {"GetLicenseClass", "General"},  // the active licence, not the older Technician one
      {"GetPreviousCall", ""},
      {"GetDateFirstIssue", "08/06/2019"},
      {"GetExpirationDate", "08/06/2029"},
      {"GetEmailAddress", "jane@example.com"},
      {"GetStreet", "123 main st"},
      {"GetCity", "Montara"},
      {"GetState", "CA"},
      {"GetPostalCode", "94037"},
      {"GetCountry", "US"},
      {"GetQTH", "123 Main St, Montara, CA 94037"},
      {"GetAddress", "Jane Q Example, KN6XYZ\r\n123 Main St\r\nMontara, CA 94037"},
      {"GetDXLatitude", 37.5446},
      {"GetDXLongitude", -122.509},
      {"GetDataSource", ""},
      {"GetCQZone", "03"},
      {"GetITUZone", "06"},
  };
  std::vector<std::string> requests;
  for (const auto& c : cases) {
    requests.push_back(std::string(c.method) == "GetDataSource" ? R"({"call": "GetDataSource"})"
                                                                : Call(c.method, "KN6XYZ"));
  }
  const auto answers = Ask(requests);
  ASSERT_EQ(answers.size(), std::size(cases));
  for (std::size_t i = 0; i < answers.size(); ++i) {
    if (std::string(cases[i].method) == "GetDataSource") {
      EXPECT_EQ(answers[i].result, "FCC via Quorlin");
    } else {
      EXPECT_EQ(answers[i].result, cases[i].expected) << cases[i].method;
    }
  }
}

TEST_F(CallbookSource, ClubLicencesBrokenRecordsAndOddNamesReadAsTheLicenceSays) {
  const struct {
    const char* call;
    const char* method;
    const char* expected;
  } cases[] = {
      // A club: no personal names, so the entity name; no class letter; a PO box.
      {"W6CLB", "GetFullName", "Example Radio Club"},
      {"W6CLB", "GetFirstName", ""},
      {"W6CLB", "GetLicenseClass", ""},
      {"W6CLB", "GetQTH", "PO Box 370545, Half Moon Bay, CA 94019"},
      {"N6BRK", "GetStreet", "45 Long Road"},
      {"N6BRK", "GetFullName", "Keith Sample Jr"},
      {"N6BRK", "GetLicenseClass", "Extra"},
      {"N6BRK", "GetCQZone", "04"},
      {"N6BRK", "GetITUZone", "07"},
      {"K6PIP", "GetFullName", "Alan P Smith"},
      {"K6PIP", "GetQTH", "9 Elm St, Springfield, IL 62701"},
      {"K6LAT", "GetFirstName", "José"},
      {"K6LAT", "GetLicenseClass", "Technician Plus"},
  };
  for (const auto& c : cases) {
    const auto answers = Ask({Call(c.method, c.call)});
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].result, c.expected) << c.call << " " << c.method;
  }
}

TEST_F(CallbookSource, APositionAlreadyInTheRecordIsKeptAndTheZipCodeNotLookedUp) {
  // The record carries over from call to call; a held latitude stops the ZIP look-up, so
  // the second licensee keeps the first one's position while its address is its own.
  const auto answers = Ask({Call("GetDXLatitude", "KN6XYZ"), Call("GetCity", "N6BRK"),
                            Call("GetDXLatitude", "N6BRK"), Call("GetCountry", "N6BRK")});
  ASSERT_EQ(answers.size(), 4u);
  EXPECT_EQ(answers[0].result, 37.5446);
  EXPECT_EQ(answers[1].result, "Austin");
  EXPECT_EQ(answers[2].result, 37.5446);
  EXPECT_EQ(answers[3].result, "US");
}

TEST_F(CallbookSource, TheCQZoneLooksTheCallUpEveryTimeAndTheITUZoneOnlyWhenItIsNew) {
  const auto answers = Ask({Call("GetITUZone", "KN6XYZ"), Call("GetITUZone", "KN6XYZ"),
                            Call("GetCQZone", "KN6XYZ"), Call("GetCQZone", "KN6XYZ"),
                            Call("GetCQZoneFromST", "tx"), Call("GetITUZoneFromST", "HI"),
                            Call("GetCQZoneFromST", " ca"), Call("GetITUZoneFromST", "")});
  ASSERT_EQ(answers.size(), 8u);
  // A lookup from the FCC database raises CallDataOK three times: when the prefix is
  // resolved, when the licence is mapped and when the record is complete; a repeated call
  // raises it once.
  EXPECT_EQ(answers[0].call_data_events, 3);
  EXPECT_EQ(answers[1].call_data_events, 1);
  EXPECT_EQ(answers[2].call_data_events, 3);
  EXPECT_EQ(answers[3].call_data_events, 3);
  EXPECT_EQ(answers[3].result, "03");
  EXPECT_EQ(answers[4].result, "04");
  EXPECT_EQ(answers[5].result, "61");
  EXPECT_EQ(answers[6].result, "00");
  EXPECT_EQ(answers[7].result, "00");
  EXPECT_EQ(answers[4].call_data_events, 0);
}

TEST(ZoneGetters, ASingleZoneStaysAndOthersFallBackToTheEntity) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
  const struct {
    const char* source;
    const char* call;
    const char* cq;
    const char* itu;
  } cases[] = {
      // A source that finds nothing keeps the prefix data as the lookup found it.
      {"FCC", "DL1ABC", "14", "28"},  // blanks around the stored zone are trimmed
      {"FCC", "KG4AB", "08", "11"},   // one digit gets a leading zero
      // No state: the entity's first row, which holds the markers itself.
      {"FCC", "W1XYZ", "03/04/05", "06/07/08"},
      {"FCC", "ZZ1AA", "05", ""},  // an entity without a number has no row to fall back on
      // Without a callbook the record is cleared, prefix zones and entity number with it: the
      // CQ zone falls back on the prefix's entity, the ITU zone on the record's, now none.
      {"none", "DL1ABC", "14", ""},
  };
  for (const auto& c : cases) {
    const std::string script = json({{"call", "SetCDSource"}, {"args", {c.source}}}).dump() + "\n" +
                               json({{"call", "SetCDDXSource"}, {"args", {c.source}}}).dump() + "\n" +
                               json({{"call", "GetCQZone"}, {"args", {c.call}}}).dump() + "\n" +
                               json({{"call", "GetITUZone"}, {"args", {c.call}}}).dump() + "\n";
    std::vector<json> results;
    for (const std::string& line :
         RunTool({"shell", "--json", "--data-folder", folder.path()}, script).lines) {
      const json parsed = json::parse(line);
      if (parsed.contains("result")) results.push_back(parsed["result"]);
    }
    ASSERT_EQ(results.size(), 4u);
    EXPECT_THAT(std::vector<json>(results.begin() + 2, results.end()), ElementsAre(c.cq, c.itu))
        << c.source << " " << c.call;
  }
}

TEST_F(CallbookSource, WithoutALocalDatabaseTheDriveIsAskedAndOtherwiseReportedMissing) {
  // Move the database to a "CD-ROM" whose folder names differ in case from ours.
  const std::string drive = files_ / "cdrom";
  std::filesystem::create_directories(drive + "/fcc data");
  std::filesystem::rename(folder_.path() + "/FCC Data/FCCData.db", drive + "/fcc data/fccdata.db");

  const std::vector<std::string> requests = {R"({"call": "SetCDDrive", "args": ["e:"]})",
                                             Call("GetFirstName", "KN6XYZ"),
                                             R"({"call": "GetDataSource"})",
                                             R"({"call": "GetLocalFCCStatus"})"};
  const auto on_drive = Ask(requests, {"--drive", "E:=" + drive});
  ASSERT_EQ(on_drive.size(), 4u);
  EXPECT_EQ(on_drive[1].result, "Jane");
  EXPECT_EQ(on_drive[2].result, "FCC via Quorlin");
  EXPECT_EQ(on_drive[3].result, false);

  const auto no_drive = Ask(requests);
  ASSERT_EQ(no_drive.size(), 4u);
  EXPECT_EQ(no_drive[2].result, "FCC CD Not Available");

  // A call without a licence is reported by its source, not as a failure.
  const auto unlicensed = Ask({Call("GetFirstName", "K6NONE"), R"({"call": "GetDataSource"})"},
                              {"--drive", "E:=" + drive});
  const auto drive_set = Ask({R"({"call": "SetCDDrive", "args": ["E:"]})", Call("GetFirstName", "K6NONE"),
                              R"({"call": "GetDataSource"})"},
                             {"--drive", "E:=" + drive});
  ASSERT_EQ(drive_set.size(), 3u);
  EXPECT_EQ(drive_set[1].result, "");
  EXPECT_EQ(drive_set[2].result, "FCC via Quorlin");
  ASSERT_EQ(unlicensed.size(), 2u);
  EXPECT_EQ(unlicensed[1].result, "FCC CD Not Available");  // no drive chosen yet
}

TEST_F(CallbookSource, DevelopmentLogLinesTellWhereTheLicenceWasLookedFor) {
  const std::string log = folder_.LogFolder() + "/tvlog.txt";
  const std::vector<std::string> lookups = {R"({"call": "SetDevel", "args": [true]})",
                                            R"({"call": "SetCDDrive", "args": ["E:"]})",
                                            Call("GetFirstName", "KN6XYZ"),
                                            Call("GetFirstName", "K6NONE")};
  Ask(lookups);
  for (const std::string& line : std::vector<std::string>{"Callbook source: 6", "FCC mdb record found for: KN6XYZ", "FCC record first name: Jane",
        "FCC mdb record NOT found for: K6NONE"}) {
    EXPECT_THAT(ReadFile(log), HasSubstr(line + "\r\n"));
  }

  const std::string drive = files_ / "cdrom";
  std::filesystem::create_directories(drive + "/FCC Data");
  std::filesystem::rename(folder_.path() + "/FCC Data/FCCData.db", drive + "/FCC Data/FCCData.db");
  Ask(lookups, {"--drive", "E:=" + drive});
  for (const std::string& line :
       std::vector<std::string>{"FCC Path: " + drive + "/FCC Data/FCCData.db",
                                "FCC record found for: KN6XYZ", "FCC record NOT found for: K6NONE"}) {
    EXPECT_THAT(ReadFile(log), HasSubstr(line + "\r\n"));
  }
}

TEST_F(CallbookSource, TheLookupCardShowsWhoTheStationIs) {
  const auto card = RunTool(
      {"lookup", "KN6XYZ", "--source", "fcc", "--json", "--data-folder", folder_.path()});
  ASSERT_EQ(card.status, 0) << card.err;
  const json callbook = json::parse(card.out)["callbook"];
  EXPECT_EQ(callbook["name"], "Jane Q Example");
  EXPECT_THAT(callbook["address"],
              ElementsAre("Jane Q Example, KN6XYZ", "123 Main St", "Montara, CA 94037"));
  EXPECT_EQ(callbook["qth"], "123 Main St, Montara, CA 94037");
  EXPECT_EQ(callbook["licence_class"], "General");
  EXPECT_EQ(callbook["granted"], "08/06/2019");
  EXPECT_EQ(callbook["email"], "jane@example.com");
  EXPECT_EQ(callbook["data_source"], "FCC via Quorlin");
  EXPECT_EQ(callbook["cq_zone"], "03");
  EXPECT_EQ(callbook["itu_zone"], "06");

  const auto text = RunTool({"lookup", "KN6XYZ", "--source", "fcc", "--data-folder", folder_.path()});
  EXPECT_THAT(text.out, HasSubstr("Jane Q Example"));
  EXPECT_THAT(text.out, HasSubstr("CQ / ITU zone    03 / 06"));

  const auto unknown =
      RunTool({"lookup", "KN6XYZ", "--source", "callbook", "--data-folder", folder_.path()});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_THAT(unknown.err, HasSubstr("unknown callbook source \"callbook\""));
}

TEST_F(CallbookSource, TheImportCommandReportsRejectedLinesAndRefusesBadFiles) {
  const auto imported = RunTool({"import", "fcc", files_ / "l_amat", "--data-folder", folder_.path()});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_THAT(imported.out, HasSubstr("20 records read, 6 licences and 6 licensees kept, 2 records rejected"));
  EXPECT_THAT(imported.out, HasSubstr("AM.dat line 7 has no licensee number: AM|abc|||BAD1|"));

  const std::string database = folder_.path() + "/FCC Data/FCCData.db";
  const std::string before = ReadFile(database);
  std::ofstream(files_ / "l_amat.zip") << "not a zip";
  const auto refused = RunTool({"import", "fcc", files_ / "l_amat.zip", "--data-folder", folder_.path()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr("l_amat.zip is neither a folder nor a readable zip archive"));
  EXPECT_THAT(refused.err, HasSubstr("the licence database was not changed"));
  EXPECT_EQ(ReadFile(database), before);
}

}  // namespace
}  // namespace torvane::testing
