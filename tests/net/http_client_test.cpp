#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"

namespace torvane::net {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using torvane::testing::ReadFile;
using torvane::testing::RefusingPort;
using torvane::testing::Reply;
using torvane::testing::TempFolder;
using torvane::testing::TestServer;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A host loop that counts its turns and runs an action at the first one.
class CountingLoop : public HostLoop {
 public:
  void Yield() override {
    ++turns;
    if (turns == 1 && at_first_turn) at_first_turn();
  }
  int turns = 0;
  std::function<void()> at_first_turn;
};

class StatusSink : public EventSink {
 public:
  void WebStatus(const std::string& status) override { statuses.push_back(status); }
  std::vector<std::string> statuses;
};

// The transport with the same collaborators the service gives it, short time limits, and the
// test CA trusted.
struct Harness {
  explicit Harness(bool trust_test_ca = true, int request_timeout_ms = 5'000) {
    Options options;
    options.http_connect_timeout_ms = 2'000;
    options.http_request_timeout_ms = request_timeout_ms;
    options.http_download_timeout_ms = request_timeout_ms;
    if (trust_test_ca) options.ca_bundle = torvane::testing::WriteTestCa(folder.path());
    configured = transport.Configure(options);
  }

  TempFolder folder;
  WebState web;
  StatusSink sink;
  EventDispatcher events{&sink};
  CountingLoop loop;
  HostYield host_yield{&loop};
  CurlLibrary curl;
  HttpTransport transport{web, events, host_yield};
  Status configured;
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

Reply Text(std::string body) {
  Reply reply;
  reply.body = std::move(body);
  return reply;
}

// A reply that trickles out, so that a transfer is still under way when a test acts on it.
Reply Trickle(std::size_t bytes = 40) {
  Reply reply;
  reply.body = std::string(bytes, 'x');
  reply.chunk_bytes = 1;
  reply.chunk_pause = 50ms;
  return reply;
}

TEST(GetText, ReturnsTheBodyOverHttpAndHttps) {
  for (const auto scheme : {TestServer::Scheme::kHttp, TestServer::Scheme::kHttps}) {
    Harness harness;
    ASSERT_TRUE(harness.configured.ok());
    TestServer server(scheme);
    server.Script("/a", {Text("hello\r\nworld")});
    EXPECT_EQ(harness.transport.http1().GetText(server.Url("/a")), "hello\r\nworld");
    EXPECT_THAT(harness.transport.http1().LastErrorText(), IsEmpty());
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].method, "GET");
  }
}

TEST(GetText, YieldsEmptyOnEveryKindOfFailure) {
  TestServer http;
  TestServer https(TestServer::Scheme::kHttps);
  RefusingPort refusing;
  Reply server_error = Text("<html>internal error</html>");
  server_error.status = 500;
  Reply unauthorised = Text("login first");
  unauthorised.status = 401;
  Reply dropped = Text("0123456789");
  dropped.drop_after = 3;
  Reply late = Text("too late");
  late.delay = 3s;
  Reply binary = Text(std::string("GIF89a\0\0\x01", 9));
  Reply huge = Text(std::string(kMaxTextReplyBytes + 1, 'h'));
  Reply huge_unannounced = huge;
  huge_unannounced.chunk_bytes = 1 << 20;
  huge_unannounced.chunked = true;
  http.Script("/500", {server_error});
  http.Script("/401", {unauthorised});
  http.Script("/dropped", {dropped});
  http.Script("/late", {late});
  http.Script("/binary", {binary});
  http.Script("/huge", {huge});
  http.Script("/huge-in-pieces", {huge_unannounced});
  https.Script("/tls", {Text("secret")});

  const struct {
    std::string url;
    bool trust_test_ca;
    const char* error;
  } cases[] = {
      {http.Url("/500"), true, "HTTP status 500"},
      {http.Url("/401"), true, "HTTP status 401"},
      {http.Url("/unscripted"), true, "HTTP status 404"},
      {http.Url("/dropped"), true, "bytes remaining"},
      {http.Url("/late"), true, "timed out"},
      {http.Url("/binary"), true, "not text"},
      {http.Url("/huge"), true, "Maximum file size exceeded"},
      {http.Url("/huge-in-pieces"), true, "larger than 8388608 bytes"},
      {"http://" + refusing.HostPort() + "/x", true, "Couldn't connect"},
      {https.Url("/tls"), false, "certificate"},
      {"ftp://127.0.0.1/x", true, "ftp"},
      {"http://", true, "URL"},
      {"", true, "URL"},
  };
  for (const auto& c : cases) {
    Harness harness(c.trust_test_ca, /*request_timeout_ms=*/500);
    EXPECT_EQ(harness.transport.http1().GetText(c.url), "") << c.url;
    EXPECT_THAT(harness.transport.http1().LastErrorText(), HasSubstr(c.error)) << c.url;
  }
}

TEST(GetText, FollowsARedirect) {
  Harness harness;
  TestServer server;
  Reply moved;
  moved.status = 302;
  moved.headers = {{"Location", "/new place"}};
  server.Script("/old", {moved});
  server.Script("/new place", {Text("arrived")});
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/old")), "arrived");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].target, "/new%20place");
}

TEST(GetText, TakesLargeAndSlowBodiesWhole) {
  Harness harness;
  TestServer server;
  std::string large;
  for (int i = 0; large.size() < 3 * 1024 * 1024; ++i) large += std::to_string(i) + "\n";
  Reply large_reply = Text(large);
  large_reply.chunk_bytes = 64 * 1024;
  server.Script("/large", {large_reply});
  Reply slow = Trickle(12);
  slow.body = "slow but sure";
  slow.chunked = true;
  server.Script("/slow", {slow});
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/large")), large);
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/slow")), "slow but sure");
}

TEST(GetText, ReadsABodyThatIsNotUtf8InTheSingleByteCodePage) {
  Harness harness;
  TestServer server;
  server.Script("/latin", {Text("Caf\xE9 \x80 5")});
  server.Script("/utf8", {Text("Caf\xC3\xA9")});
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/latin")), "Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/utf8")), "Caf\xC3\xA9");
}

TEST(GetText, SendsWhatNoRequestLineMayCarryPercentEncoded) {
  Harness harness;
  TestServer server;
  server.Script("/q", {Text("ok")});
  const struct {
    std::string query;
    std::string target;
  } cases[] = {
      {"a b", "/q?a%20b"},       {"say \"hi\"", "/q?say%20\"hi\""},
      {"it's<P>", "/q?it's<P>"}, {"x#y", "/q?x%23y"},
      {"50%", "/q?50%"},         {"tab\there\r\n", "/q?tab%09here%0D%0A"},
      {"\xC3\xA9", "/q?%C3%A9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(harness.transport.http1().GetText(server.Url("/q?" + c.query)), "ok") << c.query;
    EXPECT_EQ(server.Requests().back().target, c.target) << c.query;
  }
}

TEST(GeneralGet, RepeatsExactlyOnceWhenTheFirstReplyIsEmpty) {
  const struct {
    std::vector<std::string> replies;
    GetAttempts attempts;
    const char* result;
    std::size_t requests;
  } cases[] = {
      {{"", "second"}, GetAttempts::kRepeatWhenEmpty, "second", 2},
      {{"", "", "third"}, GetAttempts::kRepeatWhenEmpty, "", 2},
      {{"first", "second"}, GetAttempts::kRepeatWhenEmpty, "first", 1},
      {{" ", "second"}, GetAttempts::kRepeatWhenEmpty, " ", 1},
      {{"", "second"}, GetAttempts::kOnce, "", 1},
  };
  for (const auto& c : cases) {
    Harness harness;
    TestServer server;
    std::vector<Reply> replies;
    for (const auto& body : c.replies) replies.push_back(Text(body));
    server.Script("/news", replies);
    ThreadWebState().webReply = "stale";
    EXPECT_EQ(harness.transport.GeneralGet(server.Url("/news"), c.attempts), c.result);
    EXPECT_EQ(ThreadWebState().webReply, c.result);
    EXPECT_EQ(server.Requests().size(), c.requests) << c.replies.front();
  }
}

TEST(GeneralGet, AFailedFirstAttemptIsRepeatedToo) {
  Harness harness;
  TestServer server;
  Reply failing = Text("oops");
  failing.status = 503;
  server.Script("/news", {failing, Text("back again")});
  EXPECT_EQ(harness.transport.GeneralGet(server.Url("/news"), GetAttempts::kRepeatWhenEmpty),
            "back again");
}

TEST(DownloadFile, StoresACompleteReplyUnderTheRequestedName) {
  Harness harness;
  TestServer server(TestServer::Scheme::kHttps);
  Reply report = Text("<eoh>\n<CALL:4>W1AW<eor>\n");
  report.chunk_bytes = 5;
  server.Script("/lotwuser/lotwreport.adi", {report});
  const std::string target = harness.folder / "lotw.adi";
  EXPECT_NE(harness.transport.http2().DownloadFile(server.Url("/lotwuser/lotwreport.adi"), target),
            0);
  EXPECT_EQ(ReadFile(target), report.body);
  EXPECT_THAT(harness.transport.http2().LastErrorText(), IsEmpty());
  EXPECT_THAT(FilesIn(harness.folder.path()), ::testing::ElementsAre("lotw.adi", "test-ca.pem"));
}

TEST(DownloadFile, AFailedDownloadLeavesNoFileAndKeepsAnOlderOne) {
  TestServer server;
  Reply failing = Text("no such user");
  failing.status = 500;
  Reply dropped = Text(std::string(1000, 'a'));
  dropped.drop_after = 300;
  Reply late = Text("late");
  late.delay = 3s;
  server.Script("/500", {failing});
  server.Script("/dropped", {dropped});
  server.Script("/late", {late});
  for (const char* path : {"/500", "/dropped", "/late"}) {
    for (const bool older_file : {false, true}) {
      Harness harness(true, /*request_timeout_ms=*/500);
      const std::string target = harness.folder / "lotw.adi";
      if (older_file) std::ofstream(target) << "older";
      EXPECT_EQ(harness.transport.http2().DownloadFile(server.Url(path), target), 0) << path;
      EXPECT_THAT(harness.transport.http2().LastErrorText(), ::testing::Not(IsEmpty()));
      EXPECT_EQ(fs::exists(target), older_file) << path;
      if (older_file) {
        EXPECT_EQ(ReadFile(target), "older");
      }
      EXPECT_EQ(FilesIn(harness.folder.path()).size(), older_file ? 2u : 1u) << path;
    }
  }
}

TEST(DownloadFile, AFileThatCannotBeWrittenFailsBeforeAnyRequest) {
  Harness harness;
  TestServer server;
  server.Script("/report", {Text("data")});
  fs::create_directory(harness.folder / "locked");
  fs::permissions(harness.folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  const bool root_writes_anyway = ::access((harness.folder / "locked").c_str(), W_OK) == 0;
  std::vector<std::string> targets = {harness.folder / "missing/lotw.adi", "",
                                      harness.folder / "locked"};
  if (!root_writes_anyway) targets.push_back(harness.folder / "locked/lotw.adi");
  for (const auto& target : targets) {
    EXPECT_EQ(harness.transport.http2().DownloadFile(server.Url("/report"), target), 0) << target;
    EXPECT_THAT(harness.transport.http2().LastErrorText(), HasSubstr("cannot create")) << target;
  }
  EXPECT_THAT(server.Requests(), IsEmpty());
  fs::permissions(harness.folder / "locked", fs::perms::owner_all);
}

// The LoTW download does not yield, so a host cancels it from another thread: here the
// server's, once the download is under way.
TEST(DownloadFile, CancelEndsTheDownloadUnderWayAndStopDoesNot) {
  const struct {
    bool cancel;
    bool stop;
    bool stored;
  } cases[] = {
      {true, false, false},
      {false, true, true},
      {true, true, true},  // a stopped web withdraws the cancel
  };
  for (const auto& c : cases) {
    Harness harness;
    TestServer server;
    Reply report = Trickle(10);
    report.on_piece = [&](std::size_t sent) {
      if (sent != 1) return;
      if (c.cancel) harness.web.lotwCancel = true;
      if (c.stop) harness.web.webStopped = true;
    };
    server.Script("/report", {report});
    const std::string target = harness.folder / "lotw.adi";
    const std::int32_t result =
        harness.transport.http2().DownloadFile(server.Url("/report"), target);
    EXPECT_EQ(result != 0, c.stored) << c.cancel << c.stop;
    EXPECT_EQ(fs::exists(target), c.stored);
    ASSERT_TRUE(server.WaitUntilAnswered(1));
    EXPECT_EQ(server.Requests()[0].cut, !c.stored);
    if (!c.stored) {
      EXPECT_THAT(harness.transport.http2().LastErrorText(), HasSubstr("cancelled"));
    }
    EXPECT_EQ(harness.loop.turns, 0) << "the LoTW client never yields";
  }
}

TEST(Http1, YieldsDuringATransferAndStopWebThenEndsIt) {
  Harness harness;
  TestServer server;
  server.Script("/slow", {Trickle()});
  harness.loop.at_first_turn = [&] { harness.transport.StopWeb(); };
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/slow")), "");
  EXPECT_THAT(harness.transport.http1().LastErrorText(), HasSubstr("stopped"));
  EXPECT_GE(harness.loop.turns, 1);
  EXPECT_TRUE(harness.web.webStopped);
  ASSERT_TRUE(server.WaitUntilAnswered(1));
  EXPECT_TRUE(server.Requests()[0].cut);
}

TEST(Http1, AStopFlagSetBeforeTheRequestDoesNotEndIt) {
  Harness harness;
  TestServer server;
  Reply slow = Trickle(5);
  server.Script("/slow", {slow});
  harness.transport.StopWeb();
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/slow")), "xxxxx");
  EXPECT_GE(harness.loop.turns, 1);
  EXPECT_TRUE(harness.web.webStopped);
}

TEST(Http10, EndsTheRequestUnderWayWhileStopped) {
  Harness harness;
  TestServer server;
  server.Script("/xml/current/", {Trickle()});
  harness.loop.at_first_turn = [&] { harness.transport.StopWeb(); };
  EXPECT_EQ(harness.transport.http10().GetText(server.Url("/xml/current/?s=key;callsign=w1aw")),
            "");
  ASSERT_TRUE(server.WaitUntilAnswered(1));
  EXPECT_TRUE(server.Requests()[0].cut);

  // Still stopped: the next session request ends as soon as it starts.
  server.Script("/xml/current/", {Text("<Key>k</Key>")});
  EXPECT_EQ(harness.transport.http10().GetText(server.Url("/xml/current/?s=key")), "");
  harness.web.webStopped = false;
  EXPECT_EQ(harness.transport.http10().GetText(server.Url("/xml/current/?s=key")), "<Key>k</Key>");
}

TEST(HttpClient, ARequestFromTheHostDuringAYieldUsesHandlesOfItsOwn) {
  Harness harness;
  TestServer server;
  Reply slow = Trickle(4);
  server.Script("/outer", {slow});
  server.Script("/inner", {Text("inner reply")});
  std::string inner;
  harness.loop.at_first_turn = [&] {
    inner = harness.transport.http1().GetText(server.Url("/inner"));
  };
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/outer")), "xxxx");
  EXPECT_EQ(inner, "inner reply");
}

TEST(StopWeb, SetsTheFlagAndRaisesStopped) {
  Harness harness;
  EXPECT_EQ(harness.transport.StopWeb(), 0);
  EXPECT_TRUE(harness.web.webStopped);
  EXPECT_THAT(harness.sink.statuses, ::testing::ElementsAre("Stopped"));
  EXPECT_EQ(harness.transport.SetWebConnectionStatus(true), 0);
  EXPECT_TRUE(ThreadWebState().webConnected);
  EXPECT_EQ(harness.transport.SetWebConnectionStatus(false), 0);
  EXPECT_FALSE(ThreadWebState().webConnected);
}

TEST(ExtraCertificates, AnUnusableCaFileLeavesTheSystemStoreAlone) {
  TestServer https(TestServer::Scheme::kHttps);
  https.Script("/a", {Text("secret")});
  TestServer http;
  http.Script("/a", {Text("plain")});
  TempFolder folder;
  std::ofstream(folder / "empty.pem") << "no certificate here\n";
  for (const std::string& ca : {folder / "missing.pem", folder / "empty.pem"}) {
    WebState web;
    EventDispatcher events(nullptr);
    HostYield host_yield(nullptr);
    HttpTransport transport(web, events, host_yield);
    Options options;
    options.ca_bundle = ca;
    EXPECT_FALSE(transport.Configure(options).ok()) << ca;
    EXPECT_EQ(transport.http1().GetText(https.Url("/a")), "") << ca;
    EXPECT_EQ(transport.http1().GetText(http.Url("/a")), "plain") << ca;
  }
}

TEST(SessionLog, RecordsEachRequestAndOutcomeReadableByTheUserAlone) {
  Harness harness;
  TestServer server;
  server.Script("/xml/", {Text("<Key>abc</Key>")});
  RefusingPort refusing;
  const std::string log = harness.folder / "QRZ_Session.txt";
  harness.transport.http10().SetSessionLog(log);
  harness.transport.http10().GetText(server.Url("/xml/?username=w1aw;password=secret"));
  harness.transport.http10().GetText("http://" + refusing.HostPort() + "/xml/");
  const std::string text = ReadFile(log);
  EXPECT_THAT(text, HasSubstr("GET " + server.Url("/xml/?username=w1aw;password=secret") +
                              "\r\nHTTP status 200\r\n"));
  EXPECT_THAT(text, HasSubstr("failed: "));
  EXPECT_EQ(fs::status(log).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(HeaderLine, DropsTheLineEndingOfAValue) {
  EXPECT_EQ(HeaderLine("Content-Type", "application/x-www-form-urlencoded\r\n"),
            "Content-Type: application/x-www-form-urlencoded");
  EXPECT_EQ(HeaderLine("X", "a\r\nInjected: yes"), "X: a  Injected: yes");
  EXPECT_EQ(HeaderLine("X", ""), "X: ");
}

}  // namespace
}  // namespace torvane::net
