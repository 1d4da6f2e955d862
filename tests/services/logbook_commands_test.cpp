#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/tool_runner.h"

namespace torvane::services {
namespace {

using ::testing::ElementsAre, ::testing::HasSubstr, ::testing::IsEmpty, ::testing::Not;
using torvane::testing::ReadFile, torvane::testing::Reply, torvane::testing::RunTool,
    torvane::testing::TempDataFolder, torvane::testing::TestServer;
using namespace std::chrono_literals;

const std::string kMarker = "<!-- Reply form eQSL.cc ADIF Real-time Interface -->";
constexpr const char* kPassword = "Pa55&word";

// Sets environment variables for the test's duration.
struct Environment {
  explicit Environment(std::map<std::string, std::string> set) : values(std::move(set)) {
    for (const auto& [name, value] : values) ::setenv(name.c_str(), value.c_str(), 1);
  }
  ~Environment() {
    for (const auto& [name, value] : values) ::unsetenv(name.c_str());
  }
  std::map<std::string, std::string> values;
};

// Each command prints the status texts as they come and succeeds only when the QSO was taken;
// credentials come from the environment and are never printed.
TEST(LogbookCommands, EqslAndClubLogPrintTheStatusTexts) {
  TempDataFolder folder;
  TestServer eqsl;
  TestServer clublog{TestServer::Scheme::kHttps};
  const std::string ca = torvane::testing::WriteTestCa(folder.path());
  const Environment environment({{"TORVANE_EQSL_USER", "w1aw"},
                                 {"TORVANE_EQSL_PASSWORD", kPassword},
                                 {"TORVANE_CLUBLOG_EMAIL", "ham@example.com"},
                                 {"TORVANE_CLUBLOG_PASSWORD", kPassword}});
  const std::vector<std::string> qso = {"G3ABC/P", "20240116", "1129", "FT8", "20M"};
  const struct {
    const char* command;
    Reply reply;
    int status;
    std::vector<std::string> lines;
  } cases[] = {
      {"eqsl",
       {.body = kMarker + "\nResult: 1 out of 1 records added<BR>\r\n"},
       0,
       {"OK: G3ABC/P added to eQSL Inbox."}},
      {"eqsl",
       {.body = kMarker + "\nError: e<BR>\r\nWarning: w<BR>\r\n"},
       1,
       {"Error: e<BR>", "Warning: w<BR>"}},
      {"clublog", {.body = "QSO OK"}, 0, {"OK: G3ABC/P added to Club Log."}},
      {"clublog",
       {.status = 400, .body = "Rejected"},
       1,
       {"Error: QSO rejected by Club Log: Rejected"}},
  };
  for (const auto& c : cases) {
    eqsl.Script("/qslcard/importADIF.cfm", {c.reply});
    clublog.Script("/realtime.php", {c.reply});
    std::vector<std::string> args = {c.command};
    args.insert(args.end(), qso.begin(), qso.end());
    args.insert(args.end(), {"--data-folder", folder.path(), "--eqsl-host", eqsl.HostPort(),
                             "--clublog-host", clublog.HostPort(), "--ca-bundle", ca,
                             "--clublog-api-key", "key", "--comment", "tnx"});
    if (std::string(c.command) == "clublog") args.insert(args.end(), {"--my-call", "G7XYZ"});
    const auto outcome = RunTool(args);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.lines, c.lines);
    EXPECT_THAT(outcome.out + outcome.err, Not(HasSubstr(kPassword)));
  }
  EXPECT_EQ(eqsl.Requests().size(), 2u);
  EXPECT_EQ(clublog.Requests().size(), 2u);
}

TEST(LogbookCommands, MissingCredentialsSendNothingAndSayWhereTheyComeFrom) {
  TempDataFolder folder;
  TestServer server;
  server.Script("/qslcard/importADIF.cfm", {{.body = kMarker}});
  const auto eqsl = RunTool({"eqsl", "K1ABC", "20240116", "1129", "FT8", "20m", "--data-folder",
                             folder.path(), "--eqsl-host", server.HostPort()});
  EXPECT_EQ(eqsl.status, 1);
  EXPECT_THAT(eqsl.lines, ElementsAre("Password not found, data not transferred"));
  EXPECT_THAT(eqsl.err, HasSubstr("TORVANE_EQSL_USER and TORVANE_EQSL_PASSWORD"));
  const auto lotw = RunTool({"lotw", "download", "--since", "2024-01-01", "--data-folder",
                             folder.path(), "--lotw-host", server.HostPort()});
  EXPECT_EQ(lotw.status, 2);
  EXPECT_THAT(lotw.err, HasSubstr("TORVANE_LOTW_USER and TORVANE_LOTW_PASSWORD"));
  EXPECT_THAT(server.Requests(), IsEmpty());
}

// The download shows how much has arrived while it runs; a failure is told from the import
// log, without its first line, which carries the password.
TEST(LogbookCommands, LotwDownloadStoresTheReportOrSaysWhyNot) {
  TempDataFolder folder;
  std::filesystem::create_directory(folder.path() + "/adif");
  TestServer server{TestServer::Scheme::kHttps};
  const std::string ca = torvane::testing::WriteTestCa(folder.path());
  const std::string report(3000, 'r');
  const Environment environment(
      {{"TORVANE_LOTW_USER", "W1AW"}, {"TORVANE_LOTW_PASSWORD", kPassword}});
  const auto download = [&] {
    return RunTool({"lotw", "download", "--since", "2024-01-01", "--file", "mine.adi",
                    "--data-folder", folder.path(), "--lotw-host", server.HostPort(), "--ca-bundle",
                    ca});
  };
  server.Script("/lotwuser/lotwreport.adi",
                {{.body = report, .chunk_bytes = 500, .chunk_pause = 300ms}});
  auto outcome = download();
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_THAT(outcome.lines, ElementsAre("stored " + folder.path() + "/adif/mine.adi"));
  EXPECT_EQ(ReadFile(folder.path() + "/adif/mine.adi"), report);
  EXPECT_THAT(outcome.err, HasSubstr("downloading the LoTW report\n"));
  EXPECT_THAT(outcome.err, HasSubstr(" bytes received"));

  server.Script("/lotwuser/lotwreport.adi", {{.status = 503}});
  outcome = download();
  EXPECT_EQ(outcome.status, 1);
  EXPECT_THAT(outcome.lines, IsEmpty());
  EXPECT_THAT(outcome.err, HasSubstr("torvane lotw download: File not received from the ARRL.\n"
                                     "torvane lotw download: HTTP status 503"));
  EXPECT_THAT(outcome.out + outcome.err, Not(HasSubstr(kPassword)));
}

}  // namespace
}  // namespace torvane::services
