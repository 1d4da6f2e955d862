#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/fake_cdrom.h"
#include "tests/support/record_fields.h"
#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::HasSubstr;
using json = nlohmann::json;

json Call(const std::string& method, const std::string& argument) {
  return {{"call", method}, {"args", {argument}}};
}
json Call(const std::string& method) { return {{"call", method}, {"args", json::array()}}; }

// One request per method, all for the same call.
std::vector<json> Calls(const std::string& call, const std::vector<std::string>& methods) {
  std::vector<json> requests;
  for (const std::string& method : methods) {
    requests.push_back(method == "GetDataSource" ? Call(method) : Call(method, call));
  }
  return requests;
}

// A data folder with the sample prefixes (K is the United States, DL Germany) and a ZIP
// position, and the fake libraries the shell is pointed at.
class CdromSource : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Execute(folder_.PrefixDatabase(), kSamplePrefixRows);
    folder_.Execute(
        folder_.PrefixDatabase(),
        "INSERT INTO zipcodes (zip, latitude, longitude) VALUES (12345, 42.81, 73.94);");
  }

  // Runs the requests after selecting `source` on drive E: for US calls and F: for others;
  // gives each request's result. `libraries`: pairs of a library option and the value that
  // replaces the fake's.
  std::vector<json> Ask(const std::string& source, const std::vector<json>& requests,
                        const std::vector<std::string>& libraries = {}) {
    std::string script;
    for (const json& setup : {Call("SetCDSource", source), Call("SetCDDXSource", source),
                              Call("SetCDDrive", "E:"), Call("SetCDDXDrive", "F:")}) {
      script += setup.dump() + "\n";
    }
    for (const json& request : requests) script += request.dump() + "\n";
    std::vector<std::string> args = Libraries({"shell", "--json"});
    for (std::size_t i = 0; i + 1 < libraries.size(); i += 2) {
      *(std::find(args.begin(), args.end(), libraries[i]) + 1) = libraries[i + 1];
    }
    std::vector<json> results;
    for (const std::string& line : RunTool(args, script).lines) {
      const json parsed = json::parse(line);
      if (parsed.contains("result")) results.push_back(parsed["result"]);
    }
    results.erase(results.begin(), results.begin() + std::min<std::ptrdiff_t>(4, results.size()));
    return results;
  }

  std::vector<std::string> Libraries(std::vector<std::string> args) const {
    args.insert(args.end(),
                {"--data-folder", folder_.path(), "--rac-library", rac_.path(), "--hamcall-library",
                 hamcall_.path(), "--qrz-cd-library", qrz_.path()});
    return args;
  }

  TempDataFolder folder_;
  FakeCdrom rac_{FakeRacLibrary()};
  FakeCdrom hamcall_{FakeHamCallLibrary()};
  FakeCdrom qrz_{FakeQrzLibrary()};
};

const std::string kRacRecord =
    "K2ABC" +
    Marked(
        "2:JOHN Q SMITH, 12 MAIN ST, ALBANY|3:SMITH|4:ALBANY|5:12345|6:NY|7:G|8:|11:|12:|"
        "22:caf\xE9 \x81|23:|25:JOHN") +
    kTerminator;

TEST_F(CdromSource, RacRecordFillsTheRecordFromTheDataPathAndLowerCaseCall) {
  rac_.Answer("k2abc", kRacRecord, 0);
  const auto results =
      Ask("RAC CDROM", Calls("K2ABC", {"GetFullName", "GetFirstName", "GetLicenseClass", "GetQTH",
                                       "GetAddress", "GetComment", "GetDXLatitude", "GetCountry",
                                       "GetDataStatus", "GetDataSource"}));
  EXPECT_THAT(results,
              ElementsAre("JOHN Q SMITH", "JOHN", "General", "12 Main St, Albany, NY 12345",
                          "John Q Smith, K2ABC\r\n 12 Main St\r\nAlbany, NY 12345",
                          // CP1252 é, and a byte the code page leaves undefined, kept as U+0081
                          "caf\u00e9 \u0081", 42.81, "US", "Call found in database.",
                          "Radio Amateur Callbook"));
  EXPECT_THAT(rac_.Journal(), ElementsAre("sGetCallInfo E:\\|k2abc|401 blanks"));
}

TEST_F(CdromSource, RacErrorCodesAloneDecideAndReadAsCodeAndText) {
  const struct {
    const char* call;
    std::int16_t code;
    const char* status;
  } rows[] = {
      {"K2AA", 21, "21: CD not found."},
      {"K2AB", -3, "-3: Wrong CD or incorrect software (DLL)."},
      {"K2AC", 7, "7: "},
      {"K2AD", -5, "-5: Internal Error."},
      {"K2AE", -4, "-4: Decode error."},
      {"K2AF", -2, "-2: Call has strange values (i.e. empty)."},
      {"K2AG", 2, "2: File Not found."},
      {"K2AH", 3, "3: Path Not found."},
      {"K2AI", 5, "5: File access denied."},
      {"K2AJ", 1101, "1101: Call is not in the database."},
      {"K2AK", 32000, "32000: Error allocating memory"},
  };
  rac_.Answer("k2abc", kRacRecord, 0);
  std::vector<json> requests = {Call("GetFullName", "K2ABC")};
  for (const auto& row : rows) {
    std::string lower = row.call;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // A record in the buffer beside an error code is not mapped.
    rac_.Answer(lower, Marked("2:OTHER NAME, 1 ELM, TOWN|3:") + kTerminator, row.code);
    for (json& request : Calls(row.call, {"GetDataStatus", "GetFullName", "GetDataSource"}))
      requests.push_back(std::move(request));
  }
  const auto results = Ask("RAC CDROM", requests);
  ASSERT_EQ(results.size(), 1 + 3 * std::size(rows));
  EXPECT_EQ(results[0], "JOHN Q SMITH");
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_THAT(std::vector<json>(results.begin() + 1 + 3 * i, results.begin() + 4 + 3 * i),
                ElementsAre(rows[i].status, "JOHN Q SMITH", "Radio Amateur Callbook"))
        << rows[i].call;
  }
}

TEST_F(CdromSource, RacSecondFormFilledToTheLastByteIsReadWithinTheBuffer) {
  // 401 bytes and no terminator: the e-mail field, which ends at the terminator, stays.
  std::string full = Marked("2:ANN LEE, 9 OAK ST|7:Basic|16:CANADA|17:|24:ann@example.ca");
  full += std::string(401 - full.size(), 'x');
  rac_.Answer("k2abc", Marked("2:BOB RAY, 1 ELM|7:|24:bob@example.ca") + kTerminator, 0);
  rac_.Answer("k2abd", full, 0);
  std::vector<json> requests = {Call("GetEmailAddress", "K2ABC")};
  for (json& request :
       Calls("K2ABD", {"GetEmailAddress", "GetFullName", "GetLastname", "GetQTH", "GetCountry"}))
    requests.push_back(std::move(request));
  EXPECT_THAT(Ask("RAC CDROM", requests), ElementsAre("bob@example.ca", "bob@example.ca", "ANN LEE",
                                                      "LEE", "9 OAK ST", "CANADA"));
}

TEST_F(CdromSource, HamCallAsksTheHam0FolderAndCountsOnlyAPositiveResultAsFound) {
  hamcall_.Answer("K2ABC",
                  Marked("182:E|184:JOHN|186:SMITH|188:12 MAIN ST|191:ALBANY|192:NY|193:12345|"
                         "195:20010305|207:js@example.com") +
                      kTerminator,
                  1);
  // Result 0 with a record in the buffer: not found, nothing mapped.
  hamcall_.Answer("K2ABD", Marked("184:OTHER") + kTerminator, 0);
  hamcall_.Answer("DL1ABC", Marked("184:HANS") + kTerminator, 3);
  std::vector<json> requests =
      Calls("K2ABC", {"GetFullName", "GetQTH", "GetDateFirstIssue", "GetLicenseClass",
                      "GetDXLongitude", "GetDataSource"});
  for (const json& request :
       {Call("GetFirstName", "K2ABD"), Call("GetDataSource"), Call("GetFirstName", "DL1ABC")})
    requests.push_back(request);
  EXPECT_THAT(Ask("HAMCALL CDROM", requests),
              ElementsAre("John  Smith", "12 Main St, Albany, NY 12345", "05 Mar 2001", "E", -73.94,
                          "HamCall", "John", "HamCall", "Hans"));
  EXPECT_THAT(hamcall_.Journal(), ElementsAre("LookupCallSign E:\\ham0\\|K2ABC|400|401 blanks",
                                              "LookupCallSign E:\\ham0\\|K2ABD|400|401 blanks",
                                              "LookupCallSign F:\\ham0\\|DL1ABC|400|401 blanks"));
}

TEST_F(CdromSource, HamCallRecordFillingTheWholeBufferIsReadToItsEnd) {
  std::string full = Marked("184:JOHN|213:");
  full += std::string(401 - full.size(), 'c');
  hamcall_.Answer("K2ABC", full, 1);
  EXPECT_THAT(Ask("HAMCALL CDROM", {Call("GetComment", "K2ABC")}),
              ElementsAre(std::string(401 - 6, 'c')));
}

TEST_F(CdromSource, QrzInitialisesBeforeEverySearchAndReadsFieldsByNumber) {
  qrz_.Answer("k2abc", "record", 1);
  // clang-format off
  const std::pair<int, std::string> fields[] = {
      {100, "JOHN Q SMITH"}, {1, "SMITH"}, {3, "JOHN Q"}, {4, "Q"}, {5, "1950"}, {7, "2030-01-01"},
      {8, "12 MAIN ST"}, {9, "ALBANY"}, {10, "NY"}, {11, "12345"}, {12, "E"}, {13, "WB2ABC"},
      {14, "G"}};
  // clang-format on
  for (const auto& [number, value] : fields) qrz_.Field("k2abc", number, value);
  // The search finds nothing: the previous call's fields stay.
  qrz_.Answer("k2abd", "record", 0);
  std::vector<json> requests =
      Calls("K2ABC", {"GetFullName", "GetFirstName", "GetQTH", "GetLicenseClass", "GetDXLatitude",
                      "GetCountry", "GetDataSource"});
  requests.push_back(Call("GetFullName", "K2ABD"));
  requests.push_back(Call("GetDataSource"));
  EXPECT_THAT(Ask("QRZ CDROM", requests),
              ElementsAre("John Q Smith", "John", "12 Main St, Albany, NY 12345", "E", 42.81, "US",
                          "QRZ CDROM", "John Q Smith", "QRZ CDROM"));
  std::vector<std::string> expected = {"QRZInit E:", "QRZSearch 1|k2abc|||4096 blanks|1"};
  for (const auto& [number, value] : fields)
    expected.push_back("QRZField " + std::to_string(number));
  expected.push_back("QRZInit E:");
  expected.push_back("QRZSearch 1|k2abd|||4096 blanks|1");
  EXPECT_EQ(qrz_.Journal(), expected);
}

TEST_F(CdromSource, QrzFieldLengthsOutsideTheBufferReadWithinIt) {
  qrz_.Answer("k2abc", "record", 1);
  qrz_.Field("k2abc", 8, std::string(4096, 'a'), 5000);  // longer than the buffer: its length
  qrz_.Field("k2abc", 9, "ALBANY", -1);                  // nothing to read: the old value stays
  qrz_.Field("k2abc", 1, "SMITHSON", 5);                 // the length cuts the text
  EXPECT_THAT(Ask("QRZ CDROM", Calls("K2ABC", {"GetCity", "GetStreet", "GetLastname"})),
              ElementsAre("", "A" + std::string(4095, 'a'), "Smith"));
}

TEST_F(CdromSource, MissingLibrariesAndFunctionsLeaveTheRecordAsItWas) {
  const std::string missing = folder_.path() + "/no-such-library.so";
  const struct {
    const char* source;
    std::vector<std::string> libraries;
    const char* data_source;
    const char* data_status;
  } rows[] = {
      // The RAC error code stays 0: found, but an empty buffer maps nothing.
      {"RAC CDROM",
       {"--rac-library", missing},
       "Radio Amateur Callbook",
       "Call found in database."},
      {"HAMCALL CDROM", {"--hamcall-library", missing}, "HamCall", "OK"},
      {"QRZ CDROM", {"--qrz-cd-library", missing}, "QRZ CDROM", "OK"},
      // A library without the function: the QRZ RAC library has none of QRZ's.
      {"QRZ CDROM", {"--qrz-cd-library", FakeRacLibrary()}, "QRZ CDROM", "OK"},
  };
  for (const auto& row : rows) {
    const auto results =
        Ask(row.source,
            {Call("GetFullName", "K2ABC"), Call("GetDataSource"), Call("GetDataStatus", "K2ABD")},
            row.libraries);
    EXPECT_THAT(results, ElementsAre("", row.data_source, row.data_status)) << row.source;
  }

  // Found by a library without QRZField: the field reads fail, the fields keep their values,
  // and the record is still finished.
  FakeCdrom without_field(FakeQrzLibraryWithoutField());
  without_field.Answer("k2abc", "record", 1);
  const auto results = Ask("QRZ CDROM", Calls("K2ABC", {"GetFullName", "GetAddress"}),
                           {"--qrz-cd-library", without_field.path()});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0], "");
  EXPECT_THAT(results[1].get<std::string>(), HasSubstr("K2ABC"));
  EXPECT_THAT(without_field.Journal(),
              ElementsAre("QRZInit E:", "QRZSearch 1|k2abc|||4096 blanks|1"));
}

TEST_F(CdromSource, TheLookupCardShowsTheSelectedCdromCallbook) {
  rac_.Answer("k2abc", kRacRecord, 0);
  hamcall_.Answer("K2ABC", Marked("184:JANE|186:DOE") + kTerminator, 1);
  qrz_.Answer("k2abc", "record", 1);
  qrz_.Field("k2abc", 100, "MARY ROE");
  const struct {
    const char* source;
    const char* name;
    const char* data_source;
  } rows[] = {{"rac", "JOHN Q SMITH", "Radio Amateur Callbook"},
              {"hamcall", "Jane  Doe", "HamCall"},
              {"qrzcd", "Mary Roe", "QRZ CDROM"}};
  for (const auto& row : rows) {
    const auto card = RunTool(
        Libraries({"lookup", "K2ABC", "--source", row.source, "--cd-drive", "E:", "--json"}));
    ASSERT_EQ(card.status, 0) << card.err;
    const json callbook = json::parse(card.out)["callbook"];
    EXPECT_EQ(callbook["name"], row.name);
    EXPECT_EQ(callbook["data_source"], row.data_source);
  }
  // The card checks the call more than once; each time the drive and call are the same.
  EXPECT_THAT(rac_.Journal(), Each(Eq("sGetCallInfo E:\\|k2abc|401 blanks")));

  const auto bad_drive = RunTool({"lookup", "K2ABC", "--source", "rac", "--cd-drive", "E:\\",
                                  "--data-folder", folder_.path()});
  EXPECT_EQ(bad_drive.status, 2);
  EXPECT_THAT(bad_drive.err, HasSubstr("--cd-drive"));
}

}  // namespace
}  // namespace torvane::testing
