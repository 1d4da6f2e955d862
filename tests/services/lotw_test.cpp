#include "services/lotw.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/db/data_folder.h"
#include "core/net/web_state.h"
#include "tests/support/recording_events.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/tool_runner.h"
#include "torvane/torvane_control.h"

namespace torvane::services {
namespace {

using ::testing::ElementsAre, ::testing::ElementsAreArray, ::testing::HasSubstr, ::testing::IsEmpty,
    ::testing::SizeIs, ::testing::UnorderedElementsAre;
using torvane::testing::ReadFile, torvane::testing::RecordingEvents, torvane::testing::RefusingPort,
    torvane::testing::Reply, torvane::testing::TempFolder, torvane::testing::TestServer;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kReportPath = "/lotwuser/lotwreport.adi";

const std::string kReport =
    "ARRL Logbook of the World Status Report\nGenerated at 2020-11-02 21:31:01\nfor k0swe\n\n"
    "<PROGRAMID:4>LoTW\n<APP_LoTW_LASTQSL:19>2020-10-31 21:08:24\n\n<APP_LoTW_NUMREC:1>1\n\n"
    "<eoh>\n\n<CALL:4>N6DN\n<BAND:3>20M\n<FREQ:8>14.07610\n<MODE:3>FT8\n<QSO_DATE:8>20201025\n"
    "<TIME_ON:6>201500\n<QSL_RCVD:1>Y\n<QSLRDATE:8>20201031\n<eor>\n<APP_LoTW_EOF>\n";

// Where the host keeps its ADIF folder.
enum class Adif { kInside, kInsideUpperCase, kBeside, kBoth, kNone };

// A data folder inside a folder of its own (so that its "../adif" is the test's alone) and
// LoTW on HTTPS at 127.0.0.1.
struct Station {
  explicit Station(Adif adif = Adif::kInside) {
    std::vector<std::string> created;
    EXPECT_TRUE(db::InitDataFolder(data, false, created).ok());
    if (adif == Adif::kInside || adif == Adif::kBoth) fs::create_directory(data + "/adif");
    if (adif == Adif::kInsideUpperCase) fs::create_directory(data + "/ADIF");
    if (adif == Adif::kBeside || adif == Adif::kBoth) fs::create_directory(root / "adif");
  }
  Options ServiceOptions() const {
    Options options;
    options.data_folder = data;
    options.documents_folder = root / "no-documents";
    options.install_folder = root / "no-install";
    options.clock = [] { return LocalDateTime{2026, 6, 21, 12, 0, 10}; };
    options.lotw_host = server.HostPort();
    options.ca_bundle = torvane::testing::WriteTestCa(root.path());
    options.http_connect_timeout_ms = 2'000;
    options.http_download_timeout_ms = 5'000;
    return options;
  }
  std::vector<std::string> ImportLogLines() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadFile(data + "/Logs/ImportError.txt"));
    for (std::string line; std::getline(text, line);) {
      EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  std::string ReportUrl(const std::string& query) const {
    return "https://" + server.HostPort() + kReportPath + "?" + query;
  }

  TempFolder root;
  std::string data = root / "data";
  TestServer server{TestServer::Scheme::kHttps};
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// The query is written literally, nothing encoded; only what no request line may carry (the
// blank of a date with a time) is escaped on the wire. The file goes into "adif" of the data
// folder, else into "adif" beside it; without either nothing is asked. Off line, the log says
// only that. The log replaces the last attempt's, readable by its owner alone.
TEST(GetLoTW, AsksForTheReportWithTheLiteralQueryAndStoresItInTheAdifFolder) {
  const struct {
    Adif adif = Adif::kInside;
    bool connected = true;
    const char* folder = "/adif";  // of the file, after the data folder; nullptr: none
    std::int32_t result = 0;
    std::vector<std::string> args = {"w1aw", "pw", "2024-01-01", ""};
    const char* query =
        "login=w1aw&password=pw&qso_query=1&qso_qsl=yes&qso_qslsince=2024-01-01"
        "&qso_qsldetail=yes";            // as the import log shows it
    const char* target_query = nullptr;  // as the server received it, when it differs
  } cases[] = {
      {},
      {.args = {"  K1ABC ", " P&ss%41= ", "2024-01-01 12:00:00", "K1ABC/P"},
       .query = "login=k1abc&password= P&ss%41= &qso_query=1&qso_qsl=yes&qso_qslsince=2024-01-01 "
                "12:00:00&qso_owncall=K1ABC/P&qso_qsldetail=yes",
       .target_query = "login=k1abc&password=%20P&ss%41=%20&qso_query=1&qso_qsl=yes"
                       "&qso_qslsince=2024-01-01%2012:00:00&qso_owncall=K1ABC/P&qso_qsldetail=yes"},
      {.adif = Adif::kInsideUpperCase, .folder = "/ADIF"},
      {.adif = Adif::kBeside, .folder = "/../adif"},
      {.adif = Adif::kBoth},
      {.adif = Adif::kNone, .folder = nullptr, .result = 1},
      {.connected = false, .folder = nullptr},
  };
  for (const auto& c : cases) {
    Station station(c.adif);
    station.server.Script(kReportPath, {{.body = kReport, .chunk_bytes = 64}});
    const std::string log = station.data + "/Logs/ImportError.txt";
    std::ofstream(log) << "the last attempt\r\n";
    ::chmod(log.c_str(), 0644);
    RecordingEvents events;
    TorvaneControl control(station.ServiceOptions(), &events);
    control.SetWebConnectionStatus(c.connected);
    std::string filename = "lotw.adi";
    EXPECT_EQ(control.GetLoTW(c.args[0], c.args[1], c.args[2], filename, c.args[3]), c.result);
    struct stat status {};
    ASSERT_EQ(::stat(log.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const std::string url = station.ReportUrl(c.query);
    const auto requests = station.server.Requests();
    if (c.folder != nullptr) {
      EXPECT_EQ(filename, station.data + c.folder + "/lotw.adi");
      EXPECT_EQ(ReadFile(filename), kReport);
      EXPECT_THAT(station.ImportLogLines(), ElementsAre(url));
      EXPECT_THAT(events.Take(), ElementsAre("LoTWDownloadStatus 100", "LoTWDownloadStatus 200"));
      ASSERT_THAT(requests, SizeIs(1));
      EXPECT_EQ(requests[0].target,
                std::string(kReportPath) + "?" + (c.target_query ? c.target_query : c.query));
      continue;
    }
    EXPECT_EQ(filename, "lotw.adi");
    EXPECT_THAT(requests, IsEmpty());
    if (c.connected) {
      EXPECT_THAT(station.ImportLogLines(), ElementsAre(url, "Quorlin can't find ADIF folder."));
      EXPECT_THAT(events.Take(), ElementsAre("WebStatus Connection error."));
    } else {
      EXPECT_THAT(station.ImportLogLines(), ElementsAre("Web connection not available."));
      EXPECT_THAT(events.Take(), IsEmpty());
    }
  }
}

// A download that fails leaves the reason in the log and no file, whole or partial, under the
// name; the connection error is not raised while the web is stopped.
TEST(GetLoTW, AFailedDownloadIsLoggedAndLeavesNoFile) {
  enum class Host { kServer, kRefusing };
  const struct {
    Reply reply;
    const char* reason;  // part of the log's third line
    Host host = Host::kServer;
    bool locked_folder = false;
    bool stopped = false;
    const char* name = "lotw.adi";
  } cases[] = {
      {{.status = 500, .body = "Internal error"}, "HTTP status 500"},
      {{.body = kReport, .drop_after = 100}, "bytes remaining"},
      {{.body = kReport}, "onnect", Host::kRefusing},
      {{.body = kReport}, "cannot create", Host::kServer, true},
      {{.status = 404}, "HTTP status 404", Host::kServer, false, true},
      {{.body = kReport}, "cannot create", Host::kServer, false, false, "missing/lotw.adi"},
  };
  for (const auto& c : cases) {
    Station station;
    const std::string adif = station.data + "/adif";
    if (c.locked_folder) {
      fs::permissions(adif, fs::perms::owner_read | fs::perms::owner_exec);
      if (::access(adif.c_str(), W_OK) == 0) continue;  // root writes anyway
    }
    station.server.Script(kReportPath, {c.reply});
    RefusingPort refusing;
    Options options = station.ServiceOptions();
    if (c.host == Host::kRefusing) options.lotw_host = refusing.HostPort();
    RecordingEvents events;
    TorvaneControl control(options, &events);
    control.SetWebConnectionStatus(true);
    if (c.stopped) control.StopWeb();
    events.Take();
    std::string filename = c.name;
    EXPECT_EQ(control.GetLoTW("w1aw", "pw", "2024-01-01", filename, "W1AW"), 1) << c.reason;
    EXPECT_EQ(filename, adif + "/" + c.name);
    const auto lines = station.ImportLogLines();
    ASSERT_THAT(lines, SizeIs(3)) << c.reason;
    EXPECT_THAT(lines[0], HasSubstr("/lotwuser/lotwreport.adi?login=w1aw&password=pw&"));
    EXPECT_EQ(lines[1], "File not received from the ARRL.");
    EXPECT_THAT(lines[2], HasSubstr(c.reason));
    EXPECT_THAT(FilesIn(adif), IsEmpty());
    std::vector<std::string> expected = {"LoTWDownloadStatus 100", "LoTWDownloadStatus 200"};
    if (!c.stopped) expected.push_back("WebStatus Connection error.");
    EXPECT_THAT(events.Take(), ElementsAreArray(expected));
    fs::permissions(adif, fs::perms::owner_all);
  }
}

// The download does not yield to the host, so the shell's other thread delivers the host's
// call while it runs: CancelLoTWImport ends it, StopWeb does not.
TEST(ShellLoTW, CancelFromAnotherThreadEndsTheDownloadAndStopWebDoesNot) {
  std::string slow_report = kReport;
  while (slow_report.size() < 4000) slow_report += "<CALL:4>N6DN\n<eor>\n";
  const struct {
    const char* call;
    const char* type;
    std::int32_t result;
    const char* web_status;
  } cases[] = {
      {"CancelLoTWImport", "int32", 1, "Connection error."},
      {"StopWeb", "int16", 0, "Stopped"},
  };
  for (const auto& c : cases) {
    Station station;
    station.server.Script(kReportPath,
                          {{.body = slow_report, .chunk_bytes = 100, .chunk_pause = 50ms}});
    const Options options = station.ServiceOptions();
    const std::string call = c.call;
    const auto outcome =
        torvane::testing::RunTool({"shell", "--json", "--data-folder", station.data, "--lotw-host",
                                   options.lotw_host, "--ca-bundle", options.ca_bundle},
                                  R"({"call": "SetWebConnectionStatus", "args": [true]}
{"meta": "after", "ms": 500, "call": {"call": ")" +
                                      call + R"("}}
{"call": "GetLoTW", "args": ["w1aw", "pw", "2024-01-01", "lotw.adi", ""]}
)");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    const std::string path = station.data + "/adif/lotw.adi";
    const std::string result = R"({"result":)" + std::to_string(c.result) +
                               R"(,"type":"int32","args":["w1aw","pw","2024-01-01",")" + path +
                               R"(",""]})";
    EXPECT_THAT(
        outcome.lines,
        UnorderedElementsAre(
            R"({"result":0,"type":"int16","args":[true]})", R"({"ok": true})",
            R"({"event":"LoTWDownloadStatus","args":[100]})",
            R"({"after_result":)" + std::to_string(c.result) + R"(,"type":")" + c.type +
                R"(","args":[],"call":")" + call + R"("})",
            R"({"event":"LoTWDownloadStatus","args":[200]})",
            R"({"event":"WebStatus","args":[")" + std::string(c.web_status) + R"("]})", result));
    EXPECT_EQ(outcome.lines.back(), result);
    if (c.result == 0) {
      EXPECT_EQ(ReadFile(path), slow_report);
      continue;
    }
    EXPECT_THAT(station.ImportLogLines(),
                ElementsAre(HasSubstr("lotwreport.adi"), "File not received from the ARRL.",
                            HasSubstr("cancelled")));
    EXPECT_THAT(FilesIn(station.data + "/adif"), IsEmpty());
    ASSERT_TRUE(station.server.WaitUntilAnswered(1));
    EXPECT_TRUE(station.server.Requests()[0].cut);
  }
}

TEST(ShellLoTW, AfterRunsOnlyTheCallsThatInterruptWork) {
  TempFolder folder;
  std::vector<std::string> created;
  ASSERT_TRUE(db::InitDataFolder(folder.path(), false, created).ok());
  const auto outcome = torvane::testing::RunTool(
      {"shell", "--json", "--data-folder", folder.path()},
      R"({"meta": "after", "ms": 0, "call": {"call": "GetIsLoTW", "args": ["W1AW"]}}
{"meta": "after", "ms": -1, "call": {"call": "StopWeb"}}
{"meta": "after", "ms": 1.5, "call": {"call": "StopWeb"}}
{"meta": "after", "ms": 10}
{"meta": "after", "ms": 0, "call": {"call": "stopweb"}}
{"call": "UploadLoTW", "args": ["C:\\log.adi"]}
)");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  ASSERT_THAT(outcome.lines, SizeIs(8));
  EXPECT_EQ(outcome.lines[0],
            R"({"error":"after runs only CancelLoTWImport or StopWeb, not GetIsLoTW"})");
  EXPECT_THAT(outcome.lines[1], HasSubstr("\"ms\\\" must be a whole number"));
  EXPECT_THAT(outcome.lines[2], HasSubstr("\"ms\\\" must be a whole number"));
  EXPECT_EQ(outcome.lines[3], R"({"error":"after needs a \"call\""})");
  EXPECT_EQ(outcome.lines[4], R"({"ok": true})");
  // The delayed call and the next request race; their lines come in either order.
  EXPECT_THAT(
      std::vector<std::string>(outcome.lines.begin() + 5, outcome.lines.end()),
      UnorderedElementsAre(R"({"result":0,"type":"int32","args":["C:\\log.adi"]})",
                           R"({"event":"WebStatus","args":["Stopped"]})",
                           R"({"after_result":0,"type":"int16","args":[],"call":"StopWeb"})"));
}

}  // namespace
}  // namespace torvane::services
