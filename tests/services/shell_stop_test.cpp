#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/tool_runner.h"
#include "tools/torvane/run.h"

namespace torvane::services {
namespace {

using ::testing::ElementsAre;
using torvane::testing::Reply;
using torvane::testing::TempDataFolder;
using torvane::testing::TestServer;
using namespace std::chrono_literals;

constexpr const char* kNewsPath = "/programs/GetDXNewsForQL.php";

std::vector<std::string> RunShell(const TempDataFolder& folder, const TestServer& server,
                                  const std::string& input) {
  const std::vector<std::string> args = {
      "shell",          "--json",
      "--data-folder",  folder.path(),
      "--service-host", server.HostPort(),
      "--ca-bundle",    torvane::testing::WriteTestCa(folder.path())};
  const torvane::testing::ToolOutcome outcome = torvane::testing::RunTool(args, input);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  return outcome.lines;
}

// The host's StopWeb, run at the first yield of GetDXNews, ends the GET under way; the empty
// reply it leaves is repeated as usual, and that repeat (no StopWeb during it) completes.
TEST(ShellStopWeb, StopWebDuringDXNewsEndsTheTransferAndTheRepeatRuns) {
  TempDataFolder folder;
  TestServer server(TestServer::Scheme::kHttps);
  Reply slow;
  slow.body = std::string(40, '.');
  slow.chunk_bytes = 1;
  slow.chunk_pause = 50ms;
  Reply news;
  news.body = "DX news: 3Y0J QRV";
  server.Script(kNewsPath, {slow, news});
  const auto lines = RunShell(folder, server, R"({"meta": "on_yield", "call": {"call": "StopWeb"}}
{"call": "GetDXNews"}
{"call": "GetSunData"}
)");
  EXPECT_THAT(lines, ElementsAre(R"({"ok": true})", R"({"event":"WebStatus","args":["Stopped"]})",
                                 R"({"yield_result":0,"type":"int16","args":[]})",
                                 R"({"result":"DX news: 3Y0J QRV","type":"string","args":[]})",
                                 R"({"result":"Connection Timed Out","type":"string","args":[]})"));
  ASSERT_TRUE(server.WaitUntilAnswered(3));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].path, kNewsPath);
  EXPECT_TRUE(requests[0].cut);
  EXPECT_EQ(requests[1].path, kNewsPath);
  EXPECT_FALSE(requests[1].cut);
}

// A StopWeb made before the request leaves webStopped set, but the general client does not
// end a transfer for a stop it was not under way for.
TEST(ShellStopWeb, AnEarlierStopWebDoesNotEndALaterRequest) {
  TempDataFolder folder;
  TestServer server(TestServer::Scheme::kHttps);
  Reply sun;
  sun.body = "SFI=150 A=5 K=1";
  sun.chunk_bytes = 4;
  sun.chunk_pause = 20ms;
  server.Script("/programs/GetSun1.php", {sun});
  const auto lines = RunShell(folder, server, R"({"call": "StopWeb"}
{"call": "GetSunData"}
)");
  EXPECT_THAT(lines, ElementsAre(R"({"event":"WebStatus","args":["Stopped"]})",
                                 R"({"result":0,"type":"int16","args":[]})",
                                 R"({"result":"SFI=150 A=5 K=1","type":"string","args":[]})"));
}

TEST(ShellUpload, OptionalParametersMayBeLeftOut) {
  TempDataFolder folder;
  TestServer server(TestServer::Scheme::kHttps);
  Reply ok;
  ok.body = "received";
  server.Script("/up", {ok});
  const auto lines = RunShell(folder, server,
                              R"({"call": "UploadFiles", "args": [["C:\\none.adi"], ")" +
                                  server.Url("/up") + R"(", ""]}
{"call": "UploadFiles", "args": [["none.adi"], ")" +
                                  server.Url("/up") +
                                  R"(", "", "", "user", "pass"]}
{"call": "UploadFiles", "args": [["none.adi"]]}
)");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], R"({"result":"received","type":"string","args":[["C:\\none.adi"],")" +
                          server.Url("/up") + R"(",""]})");
  EXPECT_THAT(lines[1], ::testing::StartsWith(R"({"result":"received")"));
  EXPECT_THAT(lines[2], ::testing::HasSubstr("takes 3 to 6 arguments, got 1"));
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[0].body, "--Xu02=$--\r\n");
}

}  // namespace
}  // namespace torvane::services
