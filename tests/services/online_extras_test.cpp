#include "services/online_extras.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/net/web_state.h"
#include "service/service.h"
#include "tests/support/recording_events.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/tool_runner.h"
#include "torvane/torvane_control.h"

namespace torvane::services {
namespace {

using ::testing::Each, ::testing::ElementsAre, ::testing::Field;
using torvane::testing::ReceivedRequest, torvane::testing::RefusingPort, torvane::testing::Reply,
    torvane::testing::TempDataFolder, torvane::testing::TestServer;
using namespace std::chrono_literals;

constexpr const char* kSpotPath = "/nuvexer/nuvexerbiodxspot.php";
constexpr const char* kNewsPath = "/programs/GetDXNewsForQL.php";
constexpr const char* kSunPath = "/programs/GetSun1.php";
constexpr const char* kClipsPath = "/programs/GetLast10AudioClips.php";

// A data folder, and a local HTTPS server as the maker's host that answers every text service
// with the same replies.
struct Site {
  explicit Site(const std::vector<Reply>& replies = {}) { Answer(replies); }
  void Answer(const std::vector<Reply>& replies) {
    for (const char* path : {kSpotPath, kNewsPath, kSunPath, kClipsPath}) {
      server.Script(path, replies);
    }
  }
  // Options of a service that trusts the test CA, with short limits.
  Options ServiceOptions() const {
    Options options = folder.MakeOptions();
    options.service_host = server.HostPort();
    options.ca_bundle = torvane::testing::WriteTestCa(folder.path());
    options.http_connect_timeout_ms = options.http_request_timeout_ms = 2'000;
    return options;
  }
  TempDataFolder folder;
  TestServer server{TestServer::Scheme::kHttps};
};

TEST(OnlineExtras, RequestAddressesAsTheServerSeesThem) {
  Site site({{.body = "reply"}});
  TorvaneControl control(site.ServiceOptions());
  // Spot comments: letters and digits stay, a space is "+", a line feed "<P>", a carriage
  // return stays (the request line carries it as %0D), anything else is "%" and its code in the
  // single-byte code page, in hex without a leading zero.
  const struct {
    std::string call;
    const char* query;
  } spots[] = {
      {"de W1AW/P", "de+W1AW%2FP"},
      {"a\r\nb\t.", "a%0D<P>b%9%2E"},
      {"O'Brien #1&=?%\"", "O%27Brien+%231%26%3D%3F%25%22"},
      {"caf\xC3\xA9 \xE2\x82\xAC\xE4\xB8\xAD", "caf%E9+%80%3F"},
      {std::string("a\0b", 3), "a%0b"},
      {"", ""},
  };
  const auto last_target = [&] { return site.server.Requests().back().target; };
  for (const auto& c : spots) {
    EXPECT_EQ(control.GetSpotComments(c.call), "reply") << c.query;
    EXPECT_EQ(last_target(), std::string(kSpotPath) + "?call=" + c.query);
  }
  EXPECT_EQ(control.GetDXNews(), "reply");
  EXPECT_EQ(last_target(), kNewsPath);
  EXPECT_EQ(control.GetSunData(), "reply");
  EXPECT_EQ(last_target(), kSunPath);
  // The audio clips take MyCall as it is; only what no request line may carry is encoded.
  control.SetMyCall("K1ABC/M \"it's\"<P>#\t\xC3\xA9%\r\n");
  EXPECT_EQ(control.GetLast4AudioClips(), "reply");
  EXPECT_EQ(last_target(),
            std::string(kClipsPath) + "?call=K1ABC/M%20\"it's\"<P>%23%09%C3%A9%%0D%0A");
  EXPECT_THAT(site.server.Requests(), Each(Field(&ReceivedRequest::method, "GET")));
}

// A service that cannot be reached or trusted, or that answers nothing usable, gives the
// messages of an empty reply.
TEST(OnlineExtras, EmptyNegativeAndUnusableRepliesBecomeMessages) {
  enum class Host { kServer, kRefusing, kUntrusted };
  const char* kNoSpots = "No spot comments found";
  const char* kNoNews = "No DX News found";
  const char* kNoSun = "Connection Timed Out";
  const struct {
    std::vector<Reply> replies;  // of every service
    // What each gives; nullptr: the first reply as it came.
    const char* spot = nullptr;
    const char* news = nullptr;
    const char* sun = nullptr;
    const char* clips = nullptr;
    Host host = Host::kServer;
  } cases[] = {
      // Spot comments and news repeat an empty or failed reply once; the others make one
      // attempt.
      {{{}, {.body = "second"}}, "second", "second", kNoSun},
      {{{.status = 503}, {.body = "second"}}, "second", "second", kNoSun},
      {{{}, {}, {.body = "third"}}, kNoSpots, kNoNews, kNoSun},
      {{{.body = "  \r\n \n"}, {.body = "second"}}, kNoSpots, kNoNews},
      {{{.body = "Not Found: W1AW"}}, "No comments found at Nuvex", "No news found at Nuvex"},
      {{{.body = "NOT FOUND:"}}, "No comments found at Nuvex", "No news found at Nuvex"},
      {{{.body = "not found"}}},
      {{{.body = "Session Timeout, log in"}}, nullptr, "ERROR: Please Retry (session timeout)"},
      {{{.body = "  W1AW: 5 by 9 \r\n"}}},
      {{{.body = std::string("\x89PNG\r\n\x1A\n\0\0", 10)}}, kNoSpots, kNoNews, kNoSun, ""},
      {{{.body = std::string(9 * 1024 * 1024, 'w')}}, kNoSpots, kNoNews, kNoSun, ""},
      {{{.body = "secret"}}, kNoSpots, kNoNews, kNoSun, "", Host::kRefusing},
      {{{.body = "secret"}}, kNoSpots, kNoNews, kNoSun, "", Host::kUntrusted},
  };
  Site site;
  RefusingPort refusing;
  for (const auto& c : cases) {
    site.Answer(c.replies);
    Options options = site.ServiceOptions();
    if (c.host == Host::kRefusing) options.service_host = refusing.HostPort();
    if (c.host == Host::kUntrusted) options.ca_bundle.clear();
    TorvaneControl control(options);
    const std::string& reply = c.replies.front().body;
    const auto expect = [&](const char* given) { return given ? given : reply; };
    const std::string shown = reply.substr(0, 24);
    EXPECT_EQ(control.GetSpotComments("W1AW"), expect(c.spot)) << shown;
    EXPECT_EQ(control.GetDXNews(), expect(c.news)) << shown;
    EXPECT_EQ(control.GetSunData(), expect(c.sun)) << shown;
    EXPECT_EQ(control.GetLast4AudioClips(), expect(c.clips)) << shown;
  }
}

TEST(OnlineExtras, SpotCommentsAndNewsClearTheStopAndTheReplyTheOthersLeaveThem) {
  Site site({{.body = "fresh"}});
  Service service(site.ServiceOptions(), nullptr, nullptr);
  OnlineExtras& extras = service.online_extras();
  const struct {
    std::function<std::string()> call;
    bool clears;
  } cases[] = {
      {[&] { return extras.GetSpotComments("W1AW"); }, true},
      {[&] { return extras.GetDXNews(); }, true},
      {[&] { return extras.GetSunData(); }, false},
      {[&] { return extras.GetLast4AudioClips(); }, false},
  };
  for (const auto& c : cases) {
    service.transport().StopWeb();
    ThreadWebState().webReply = "from the last lookup";
    EXPECT_EQ(c.call(), "fresh");
    EXPECT_EQ(service.web().webStopped, !c.clears);
    EXPECT_EQ(ThreadWebState().webReply, c.clears ? "fresh" : "from the last lookup");
  }
}

// The host's StopWeb, run at the first yield of GetDXNews, ends the GET under way; the empty
// reply it leaves is repeated as usual, and that repeat (no StopWeb during it) completes.
TEST(ShellStopWeb, StopWebDuringDXNewsEndsTheTransferAndTheRepeatRuns) {
  Site site({{.body = std::string(40, '.'), .chunk_bytes = 1, .chunk_pause = 50ms},
             {.body = "DX news: 3Y0J QRV"}});
  const Options options = site.ServiceOptions();
  const auto outcome = torvane::testing::RunTool(
      {"shell", "--json", "--data-folder", site.folder.path(), "--service-host",
       options.service_host, "--ca-bundle", options.ca_bundle},
      R"({"meta": "on_yield", "call": {"call": "StopWeb"}}
{"call": "GetDXNews"}
)");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_THAT(outcome.lines,
              ElementsAre(R"({"ok": true})", R"({"event":"WebStatus","args":["Stopped"]})",
                          R"({"yield_result":0,"type":"int16","args":[]})",
                          R"({"result":"DX news: 3Y0J QRV","type":"string","args":[]})"));
  ASSERT_TRUE(site.server.WaitUntilAnswered(2));
  const auto requests = site.server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].path, kNewsPath);
  EXPECT_TRUE(requests[0].cut);
  EXPECT_FALSE(requests[1].cut);
}

TEST(WebMethods, TheProbesAnswerConstantsAndStopWebRaisesStopped) {
  torvane::testing::RecordingEvents events;
  TempDataFolder folder;
  TorvaneControl control(folder.MakeOptions(), &events);
  EXPECT_FALSE(control.RemoteConnected());
  EXPECT_EQ(control.GetPingTest("127.0.0.1"), 0);
  EXPECT_EQ(control.TestConnection("http://127.0.0.1", "80", "10", "GET"), 0);
  EXPECT_EQ(control.LocalTestConnection(), 0);
  EXPECT_EQ(control.SetWebConnectionStatus(true), 0);
  EXPECT_TRUE(ThreadWebState().webConnected);
  EXPECT_EQ(control.SetWebConnectionStatus(false), 0);
  EXPECT_FALSE(ThreadWebState().webConnected);
  EXPECT_EQ(control.StopWeb(), 0);
  EXPECT_THAT(events.Take(), ElementsAre("WebStatus Stopped"));
}

}  // namespace
}  // namespace torvane::services
