#include "services/online_extras.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/net/web_state.h"
#include "core/service.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "torvane/torvane_control.h"

namespace torvane::services {
namespace {

using torvane::testing::RefusingPort;
using torvane::testing::Reply;
using torvane::testing::TempDataFolder;
using torvane::testing::TestServer;

constexpr const char* kSpotPath = "/nuvexer/nuvexerbiodxspot.php";
constexpr const char* kNewsPath = "/programs/GetDXNewsForQL.php";
constexpr const char* kSunPath = "/programs/GetSun1.php";
constexpr const char* kClipsPath = "/programs/GetLast10AudioClips.php";

Reply Text(std::string body) {
  Reply reply;
  reply.body = std::move(body);
  return reply;
}

// A service whose maker's host is the given host, trusting the test CA, with short limits.
Options ServiceOptions(const TempDataFolder& folder, const std::string& service_host) {
  Options options = folder.MakeOptions();
  options.service_host = service_host;
  options.ca_bundle = torvane::testing::WriteTestCa(folder.path());
  options.http_connect_timeout_ms = 2'000;
  options.http_request_timeout_ms = 2'000;
  return options;
}

TEST(EncodeForUrl, KeepsLettersAndDigitsAndEncodesTheRest) {
  const struct {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"W1AW", "W1AW"},
      {"w1aw/p", "w1aw%2Fp"},
      {"KH6/W1AW", "KH6%2FW1AW"},
      {"two words", "two+words"},
      {"line\nbreak", "line<P>break"},
      {"cr\rstays", "cr\rstays"},
      {"tab\t", "tab%9"},
      {"a&b=c?d%", "a%26b%3Dc%3Fd%25"},
      {"\"quoted\"", "%22quoted%22"},
      {"caf\xC3\xA9", "caf%E9"},
      {"\xE2\x82\xAC", "%80"},
      {"\xE4\xB8\xAD", "%3F"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeForUrl(c.text), c.encoded) << c.text;
  EXPECT_EQ(EncodeForUrl(std::string("a\0b", 3)), "a%0b");
}

TEST(OnlineExtras, RequestAddressesAsTheServerSeesThem) {
  TempDataFolder folder;
  TestServer server(TestServer::Scheme::kHttps);
  for (const char* path : {kSpotPath, kNewsPath, kSunPath, kClipsPath}) {
    server.Script(path, {Text("reply")});
  }
  TorvaneControl control(ServiceOptions(folder, server.HostPort()));

  const struct {
    std::function<std::string()> call;
    std::string target;
  } cases[] = {
      {[&] { return control.GetSpotComments("W1AW/P"); },
       std::string(kSpotPath) + "?call=W1AW%2FP"},
      {[&] { return control.GetSpotComments("de W1AW"); },
       std::string(kSpotPath) + "?call=de+W1AW"},
      {[&] { return control.GetSpotComments("one\ntwo"); },
       std::string(kSpotPath) + "?call=one<P>two"},
      {[&] { return control.GetSpotComments("a\r\nb"); },
       std::string(kSpotPath) + "?call=a%0D<P>b"},
      {[&] { return control.GetSpotComments("O'Brien #1"); },
       std::string(kSpotPath) + "?call=O%27Brien+%231"},
      {[&] { return control.GetSpotComments("caf\xC3\xA9"); },
       std::string(kSpotPath) + "?call=caf%E9"},
      {[&] { return control.GetDXNews(); }, kNewsPath},
      {[&] { return control.GetSunData(); }, kSunPath},
      {[&] {
         control.SetMyCall("K1ABC/M");
         return control.GetLast4AudioClips();
       },
       std::string(kClipsPath) + "?call=K1ABC/M"},
      {[&] {
         control.SetMyCall("K1 \"ABC\"");
         return control.GetLast4AudioClips();
       },
       std::string(kClipsPath) + "?call=K1%20\"ABC\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.call(), "reply") << c.target;
    EXPECT_EQ(server.Requests().back().target, c.target);
    EXPECT_EQ(server.Requests().back().method, "GET");
  }
}

TEST(OnlineExtras, EmptyAndNegativeRepliesBecomeMessages) {
  const struct {
    std::string reply;
    const char* spot;
    const char* news;
    const char* sun;
  } cases[] = {
      {"", "No spot comments found", "No DX News found", "Connection Timed Out"},
      {"  \r\n \n", "No spot comments found", "No DX News found", "  \r\n \n"},
      {"Not Found: W1AW", "No comments found at Nuvex", "No news found at Nuvex",
       "Not Found: W1AW"},
      {"NOT FOUND:", "No comments found at Nuvex", "No news found at Nuvex", "NOT FOUND:"},
      {"not found", "not found", "not found", "not found"},
      {"Session Timeout, log in", "Session Timeout, log in",
       "ERROR: Please Retry (session timeout)", "Session Timeout, log in"},
      {"  W1AW: 5 by 9 \r\n", "  W1AW: 5 by 9 \r\n", "  W1AW: 5 by 9 \r\n", "  W1AW: 5 by 9 \r\n"},
  };
  for (const auto& c : cases) {
    TempDataFolder folder;
    TestServer server(TestServer::Scheme::kHttps);
    for (const char* path : {kSpotPath, kNewsPath, kSunPath, kClipsPath}) {
      server.Script(path, {Text(c.reply)});
    }
    TorvaneControl control(ServiceOptions(folder, server.HostPort()));
    EXPECT_EQ(control.GetSpotComments("W1AW"), c.spot) << c.reply;
    EXPECT_EQ(control.GetDXNews(), c.news) << c.reply;
    EXPECT_EQ(control.GetSunData(), c.sun) << c.reply;
    EXPECT_EQ(control.GetLast4AudioClips(), c.reply);
  }
}

TEST(OnlineExtras, OnlySpotCommentsAndNewsRepeatAnEmptyReply) {
  TempDataFolder folder;
  TestServer server(TestServer::Scheme::kHttps);
  for (const char* path : {kSpotPath, kNewsPath, kSunPath, kClipsPath}) {
    server.Script(path, {Text(""), Text("second")});
  }
  TorvaneControl control(ServiceOptions(folder, server.HostPort()));
  EXPECT_EQ(control.GetSpotComments("W1AW"), "second");
  EXPECT_EQ(control.GetDXNews(), "second");
  EXPECT_EQ(control.GetSunData(), "Connection Timed Out");
  EXPECT_EQ(control.GetLast4AudioClips(), "");
  std::vector<std::string> paths;
  for (const auto& request : server.Requests()) paths.push_back(request.path);
  EXPECT_THAT(paths, ::testing::ElementsAre(kSpotPath, kSpotPath, kNewsPath, kNewsPath, kSunPath,
                                            kClipsPath));
}

TEST(OnlineExtras, SpotCommentsAndNewsClearTheStopAndTheReplyTheOthersLeaveThem) {
  TempDataFolder folder;
  TestServer server(TestServer::Scheme::kHttps);
  for (const char* path : {kSpotPath, kNewsPath, kSunPath, kClipsPath}) {
    server.Script(path, {Text("fresh")});
  }
  Service service(ServiceOptions(folder, server.HostPort()), nullptr, nullptr);
  const struct {
    std::function<std::string()> call;
    bool clears;
  } cases[] = {
      {[&] { return service.online_extras().GetSpotComments("W1AW"); }, true},
      {[&] { return service.online_extras().GetDXNews(); }, true},
      {[&] { return service.online_extras().GetSunData(); }, false},
      {[&] { return service.online_extras().GetLast4AudioClips(); }, false},
  };
  for (const auto& c : cases) {
    service.transport().StopWeb();
    ThreadWebState().webReply = "from the last lookup";
    EXPECT_EQ(c.call(), "fresh");
    EXPECT_EQ(service.web().webStopped, !c.clears);
    EXPECT_EQ(ThreadWebState().webReply, c.clears ? "fresh" : "from the last lookup");
  }
}

TEST(OnlineExtras, AnUnreachableOrUntrustedServiceGivesTheEmptyReplyMessages) {
  RefusingPort refusing;
  TestServer untrusted(TestServer::Scheme::kHttps);
  for (const char* path : {kSpotPath, kNewsPath, kSunPath, kClipsPath}) {
    untrusted.Script(path, {Text("secret")});
  }
  for (const bool trust : {true, false}) {
    TempDataFolder folder;
    Options options = ServiceOptions(folder, trust ? refusing.HostPort() : untrusted.HostPort());
    if (!trust) options.ca_bundle.clear();
    TorvaneControl control(options);
    EXPECT_EQ(control.GetSpotComments("W1AW"), "No spot comments found");
    EXPECT_EQ(control.GetDXNews(), "No DX News found");
    EXPECT_EQ(control.GetSunData(), "Connection Timed Out");
    EXPECT_EQ(control.GetLast4AudioClips(), "");
  }
}

TEST(OnlineExtras, RepliesThatAreNotTextOrTooBigGiveTheEmptyReplyMessages) {
  TempDataFolder folder;
  TestServer server(TestServer::Scheme::kHttps);
  server.Script(kNewsPath, {Text(std::string("\x89PNG\r\n\x1A\n\0\0", 10))});
  server.Script(kSpotPath, {Text(std::string(9 * 1024 * 1024, 'w'))});
  TorvaneControl control(ServiceOptions(folder, server.HostPort()));
  EXPECT_EQ(control.GetDXNews(), "No DX News found");
  EXPECT_EQ(control.GetSpotComments("W1AW"), "No spot comments found");
}

TEST(WebMethods, TheProbesAnswerConstantsAndStopWebRaisesStopped) {
  struct Sink : EventSink {
    void WebStatus(const std::string& status) override { statuses.push_back(status); }
    std::vector<std::string> statuses;
  } sink;
  TempDataFolder folder;
  TorvaneControl control(folder.MakeOptions(), &sink);
  EXPECT_FALSE(control.RemoteConnected());
  EXPECT_EQ(control.GetPingTest("127.0.0.1"), 0);
  EXPECT_EQ(control.TestConnection("http://127.0.0.1", "80", "10", "GET"), 0);
  EXPECT_EQ(control.LocalTestConnection(), 0);
  EXPECT_EQ(control.SetWebConnectionStatus(true), 0);
  EXPECT_TRUE(ThreadWebState().webConnected);
  EXPECT_EQ(control.SetWebConnectionStatus(false), 0);
  EXPECT_FALSE(ThreadWebState().webConnected);
  EXPECT_EQ(control.StopWeb(), 0);
  EXPECT_THAT(sink.statuses, ::testing::ElementsAre("Stopped"));
}

}  // namespace
}  // namespace torvane::services
