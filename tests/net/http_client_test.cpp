#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "core/events.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"

namespace torvane::net {
namespace {

using ::testing::Contains, ::testing::Each, ::testing::Field, ::testing::HasSubstr,
    ::testing::IsEmpty;
using torvane::testing::ReadFile, torvane::testing::ReceivedRequest, torvane::testing::RefusingPort,
    torvane::testing::Reply, torvane::testing::TempFolder, torvane::testing::TestServer;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A host loop that counts its turns and runs an action at the first one.
struct CountingLoop : HostLoop {
  void Yield() override {
    if (++turns == 1 && at_first_turn) at_first_turn();
  }
  int turns = 0;
  std::function<void()> at_first_turn;
};

// The extra CA file the transport is given.
enum class Ca { kTest, kNone, kMissing, kUnusable };

// The transport with the collaborators the service gives it and short time limits.
struct Harness {
  explicit Harness(Ca ca = Ca::kTest, int timeout_ms = 5'000) {
    Options options;
    options.http_connect_timeout_ms = 2'000;
    options.http_request_timeout_ms = options.http_download_timeout_ms = timeout_ms;
    if (ca == Ca::kTest) options.ca_bundle = torvane::testing::WriteTestCa(folder.path());
    if (ca == Ca::kMissing) options.ca_bundle = folder / "missing.pem";
    if (ca == Ca::kUnusable) {
      options.ca_bundle = folder / "unusable.pem";
      std::ofstream(options.ca_bundle) << "no certificate here\n";
    }
    configured = transport.Configure(options).ok();
  }

  TempFolder folder;
  WebState web;
  EventDispatcher events{nullptr};
  CountingLoop loop;
  HostYield host_yield{&loop};
  HttpTransport transport{web, events, host_yield};
  bool configured = false;
};

// A reply that trickles out, so that a transfer is still under way when a test acts on it.
Reply Trickle(std::size_t bytes, bool chunked = false) {
  return {
      .body = std::string(bytes, 'x'), .chunk_bytes = 1, .chunk_pause = 50ms, .chunked = chunked};
}

TEST(GetText, GivesTheBodyOfASuccessAndEmptyWithTheReasonForAnythingElse) {
  TestServer http;
  TestServer https(TestServer::Scheme::kHttps);
  RefusingPort refusing;
  std::string large;
  for (int i = 0; large.size() < 3 * 1024 * 1024; ++i) large += std::to_string(i) + "\n";
  const std::string huge(kMaxTextReplyBytes + 1, 'h');
  const std::string hello = "hello\r\nworld";
  http.Script("/new place", {{.body = "arrived"}});
  const struct {
    TestServer* server;  // answers /r with the reply; nullptr: the request goes to `url`
    Reply reply;
    std::string body;   // what GetText gives
    const char* error;  // part of LastErrorText; nullptr: it is empty
    Ca ca = Ca::kTest;
    std::string url = {};
  } cases[] = {
      {&http, {.body = hello}, hello, nullptr},
      {&https, {.body = hello}, hello, nullptr},
      {&http, {.status = 302, .headers = {{"Location", "/new place"}}}, "arrived", nullptr},
      {&http, {.body = large, .chunk_bytes = 64 * 1024}, large, nullptr},
      {&http, Trickle(4, /*chunked=*/true), "xxxx", nullptr},
      // A body that is not UTF-8 is read in the single-byte code page.
      {&http, {.body = "Caf\xE9 \x80 5"}, "Caf\xC3\xA9 \xE2\x82\xAC 5", nullptr},
      {&http, {.body = "Caf\xC3\xA9"}, "Caf\xC3\xA9", nullptr},
      {&http, {.status = 500, .body = "<html>error</html>"}, "", "HTTP status 500"},
      {&http, {.body = "0123456789", .drop_after = 3}, "", "bytes remaining"},
      {&http, {.body = "too late", .delay = 3s}, "", "timed out"},
      {&http, {.body = std::string("GIF89a\0\0\x01", 9)}, "", "not text"},
      {&http, {.body = huge}, "", "Maximum file size exceeded"},
      {&http, {.body = huge, .chunk_bytes = 1 << 20, .chunked = true}, "", "than 8388608 bytes"},
      {&https, {.body = hello}, "", "certificate", Ca::kNone},
      // A CA file that cannot be used is reported and leaves the system store alone.
      {&https, {.body = hello}, "", "certificate", Ca::kMissing},
      {&https, {.body = hello}, "", "certificate", Ca::kUnusable},
      {&http, {.body = hello}, hello, nullptr, Ca::kUnusable},
      {nullptr, {}, "", "HTTP status 404", Ca::kTest, http.Url("/unscripted")},
      {nullptr, {}, "", "Couldn't connect", Ca::kTest, "http://" + refusing.HostPort() + "/x"},
      {nullptr, {}, "", "ftp", Ca::kTest, "ftp://127.0.0.1/x"},
      {nullptr, {}, "", "URL", Ca::kTest, ""},
  };
  for (const auto& c : cases) {
    Harness harness(c.ca, /*timeout_ms=*/c.reply.delay > 0ms ? 1'000 : 5'000);
    if (c.server) c.server->Script("/r", {c.reply});
    const std::string url = c.server ? c.server->Url("/r") : c.url;
    EXPECT_EQ(harness.configured, c.ca == Ca::kTest || c.ca == Ca::kNone) << url;
    const std::string body = harness.transport.http1().GetText(url);
    EXPECT_TRUE(body == c.body) << url << " gave " << body.size() << " bytes";
    const std::string& error = harness.transport.http1().LastErrorText();
    EXPECT_EQ(error.empty(), c.error == nullptr) << url << ": " << error;
    EXPECT_THAT(error, HasSubstr(c.error ? c.error : "")) << url;
  }
  EXPECT_THAT(http.Requests(), Each(Field(&ReceivedRequest::method, "GET")));
  EXPECT_THAT(http.Requests(), Contains(Field(&ReceivedRequest::target, "/new%20place")));
}

// The LoTW download does not yield, so a host cancels it from another thread: here the
// server's, once the download is under way.
TEST(DownloadFile, StoresAWholeReplyOrNothingAndCancelEndsItButStopDoesNot) {
  const std::string report = "<eoh>\n<CALL:4>W1AW<eor>\n";
  const struct {
    Reply reply;
    bool cancel;
    bool stop;
    const char* error;  // part of LastErrorText; nullptr: stored
  } cases[] = {
      {{.body = report, .chunk_bytes = 5}, false, false, nullptr},
      {{.status = 500, .body = "no such user"}, false, false, "HTTP status 500"},
      {{.body = std::string(1000, 'a'), .drop_after = 300}, false, false, "bytes remaining"},
      {{.body = "late", .delay = 3s}, false, false, "timed out"},
      {Trickle(4), true, false, "cancelled"},
      {Trickle(4), false, true, nullptr},
      {Trickle(4), true, true, nullptr},  // a stopped web withdraws the cancel
  };
  for (const auto& c : cases) {
    for (const bool older_file : {false, true}) {
      Harness harness(Ca::kTest, /*timeout_ms=*/c.reply.delay > 0ms ? 1'000 : 5'000);
      TestServer server;
      Reply reply = c.reply;
      reply.on_piece = [&](std::size_t sent) {
        if (sent != 1) return;
        harness.web.lotwCancel = c.cancel;
        harness.web.webStopped = c.stop;
      };
      server.Script("/report", {reply});
      const std::string target = harness.folder / "lotw.adi";
      if (older_file) std::ofstream(target) << "older";
      const bool stored = c.error == nullptr;
      EXPECT_EQ(harness.transport.http2().DownloadFile(server.Url("/report"), target) != 0, stored);
      const std::string& error = harness.transport.http2().LastErrorText();
      EXPECT_EQ(error.empty(), stored) << error;
      EXPECT_THAT(error, HasSubstr(c.error ? c.error : ""));
      // Never a partial file: the whole reply, the older file, or nothing beside the CA file.
      EXPECT_EQ(ReadFile(target), stored ? c.reply.body : older_file ? "older" : "") << error;
      EXPECT_EQ(std::distance(fs::directory_iterator(harness.folder.path()), {}),
                stored || older_file ? 2 : 1);
      EXPECT_EQ(harness.loop.turns, 0) << "the LoTW client never yields";
      if (!c.cancel && !c.stop) continue;
      ASSERT_TRUE(server.WaitUntilAnswered(1));
      EXPECT_EQ(server.Requests()[0].cut, !stored);
    }
  }
}

TEST(DownloadFile, AFileThatCannotBeWrittenFailsBeforeAnyRequest) {
  Harness harness;
  TestServer server;
  server.Script("/report", {{.body = "data"}});
  const std::string locked = harness.folder / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  std::vector<std::string> targets = {harness.folder / "missing/lotw.adi", "", locked};
  if (::access(locked.c_str(), W_OK) != 0) targets.push_back(locked + "/lotw.adi");  // not root
  for (const auto& target : targets) {
    EXPECT_EQ(harness.transport.http2().DownloadFile(server.Url("/report"), target), 0) << target;
    EXPECT_THAT(harness.transport.http2().LastErrorText(), HasSubstr("cannot create")) << target;
  }
  EXPECT_THAT(server.Requests(), IsEmpty());
  fs::permissions(locked, fs::perms::owner_all);
}

// The general client ends a request for a StopWeb made while it was under way; the session
// client ends it for as long as the stop flag is set, even one set before it started.
TEST(HttpClient, StopWebEndsARequestUnderWayAndTheClientWorksAgainAfterwards) {
  const struct {
    HttpClient& (HttpTransport::*client)();
    bool stop_before;
    const char* reply;
  } cases[] = {
      {&HttpTransport::http1, false, ""},
      {&HttpTransport::http1, true, "xxxxx"},
      {&HttpTransport::http10, false, ""},
      {&HttpTransport::http10, true, ""},
  };
  for (const auto& c : cases) {
    Harness harness;
    TestServer server;
    server.Script("/slow", {Trickle(5)});
    HttpClient& client = (harness.transport.*c.client)();
    if (c.stop_before) harness.transport.StopWeb();
    if (!c.stop_before) harness.loop.at_first_turn = [&] { harness.transport.StopWeb(); };
    EXPECT_EQ(client.GetText(server.Url("/slow")), c.reply) << c.stop_before;
    EXPECT_TRUE(harness.web.webStopped);
    EXPECT_THAT(client.LastErrorText(), HasSubstr(*c.reply ? "" : "stopped"));
    if (!c.stop_before) {
      EXPECT_GE(harness.loop.turns, 1);
      ASSERT_TRUE(server.WaitUntilAnswered(1));
      EXPECT_TRUE(server.Requests()[0].cut);
    }
    harness.web.webStopped = false;
    server.Script("/slow", {{.body = "again"}});
    EXPECT_EQ(client.GetText(server.Url("/slow")), "again");
  }
}

TEST(HttpClient, ARequestFromTheHostDuringAYieldUsesHandlesOfItsOwn) {
  Harness harness;
  TestServer server;
  server.Script("/outer", {Trickle(4)});
  server.Script("/inner", {{.body = "inner reply"}});
  std::string inner;
  harness.loop.at_first_turn = [&] {
    inner = harness.transport.http1().GetText(server.Url("/inner"));
  };
  EXPECT_EQ(harness.transport.http1().GetText(server.Url("/outer")), "xxxx");
  EXPECT_EQ(inner, "inner reply");
}

TEST(SessionLog, RecordsEachRequestAndOutcomeReadableByTheUserAlone) {
  Harness harness;
  TestServer server;
  server.Script("/xml/", {{.body = "<Key>abc</Key>"}});
  RefusingPort refusing;
  const std::string log = harness.folder / "QRZ_Session.txt";
  const std::string url = server.Url("/xml/?username=w1aw;password=secret");
  harness.transport.http10().SetSessionLog(log);
  harness.transport.http10().GetText(url);
  harness.transport.http10().GetText("http://" + refusing.HostPort() + "/xml/");
  EXPECT_THAT(ReadFile(log), HasSubstr("GET " + url + "\r\nHTTP status 200\r\n"));
  EXPECT_THAT(ReadFile(log), HasSubstr("\r\nfailed: "));
  EXPECT_EQ(fs::status(log).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace torvane::net
