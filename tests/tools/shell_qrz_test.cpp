#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/text.h"
#include "tests/support/online_replies.h"
#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/tool_runner.h"

namespace torvane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using json = nlohmann::json;
using namespace std::chrono_literals;

constexpr const char* kLoginPath = "/xml/";
constexpr const char* kQueryPath = "/xml/current/";
constexpr const char* kNuvexPath = "/programs/look_up.php";
constexpr const char* kKey = "3b1fd1d3ba495189984f93ff67bd45b6";
constexpr const char* kFilesHost = "files.example.org";

// The session key and the web connection flag belong to the thread, as the original
// component's module data belongs to its apartment: each run gets a thread of its own, so that
// runs start without a session unless a test says otherwise.
ToolOutcome RunOnOwnThread(const std::vector<std::string>& args, const std::string& input) {
  ToolOutcome outcome;
  std::thread([&] { outcome = RunTool(args, input); }).join();
  return outcome;
}

std::string Request(const std::string& method, const std::vector<json>& args = {}) {
  return json({{"call", method}, {"args", args}}).dump();
}

std::string LoginReplyWithKey(const std::string& key) {
  return text::ReplaceAll(kQrzLoginReply, kKey, key);
}

// One answer of the shell and the events printed before it ("WebStatus Connection error.").
struct Answer {
  json result;
  std::vector<std::string> events;
  int CallDataOkCount() const {
    int count = 0;
    for (const std::string& event : events) count += event == "CallDataOK true";
    return count;
  }
};

// A data folder with the sample prefixes, a plain-HTTP server playing the QRZ XML service and
// an HTTPS server playing the maker's look-up.
class OnlineCallbook : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Execute(folder_.PrefixDatabase(), kSamplePrefixRows); }

  // Runs the requests after the set-up lines (source, operator call, password); gives the
  // answers to the requests alone.
  std::vector<Answer> Ask(const std::vector<std::string>& requests,
                          const std::vector<std::string>& setup) {
    std::string script;
    for (const std::string& line : setup) script += line + "\n";
    for (const std::string& line : requests) script += line + "\n";
    const ToolOutcome outcome = RunOnOwnThread(ShellArgs(), script);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    std::vector<Answer> answers;
    Answer pending;
    for (const std::string& line : outcome.lines) {
      const json parsed = json::parse(line);
      if (parsed.contains("event")) {
        std::string event = parsed["event"].get<std::string>();
        for (const json& arg : parsed["args"])
          event += " " + (arg.is_string() ? arg.get<std::string>() : arg.dump());
        pending.events.push_back(event);
      } else if (parsed.contains("result") || parsed.contains("ok") ||
                 parsed.contains("yield_result")) {
        if (parsed.contains("yield_result")) continue;
        pending.result = parsed.contains("result") ? parsed["result"] : parsed["ok"];
        answers.push_back(std::move(pending));
        pending = {};
      }
    }
    const std::size_t skip = std::min(setup.size(), answers.size());
    return {answers.begin() + static_cast<std::ptrdiff_t>(skip), answers.end()};
  }

  std::vector<Answer> AskQrz(const std::vector<std::string>& requests,
                             const std::string& password = "secret") {
    return Ask(requests,
               {Request("SetCDSource", {"QRZ Subscription"}),
                Request("SetCDDXSource", {"QRZ Subscription"}), Request("SetMyCall", {" W1ABC "}),
                Request("SetQRZPassword", {password})});
  }

  std::vector<Answer> AskNuvex(const std::vector<std::string>& requests, bool connected = true) {
    return Ask(requests, {Request("SetCDSource", {"Nuvex Subscription"}),
                          Request("SetCDDXSource", {"Nuvex Subscription"}),
                          Request("SetWebConnectionStatus", {connected})});
  }

  // The shell on this folder, with the fixture's servers unless others are named.
  std::vector<std::string> ShellArgs(const TestServer* qrz = nullptr,
                                     const TestServer* nuvex = nullptr) const {
    return {"shell",
            "--json",
            "--data-folder",
            folder_.path(),
            "--qrz-host",
            (qrz != nullptr ? *qrz : qrz_).HostPort(),
            "--qrz-files-host",
            kFilesHost,
            "--service-host",
            (nuvex != nullptr ? *nuvex : nuvex_).HostPort(),
            "--ca-bundle",
            WriteTestCa(folder_.path())};
  }

  std::vector<std::string> Targets(const TestServer& server) const {
    std::vector<std::string> targets;
    for (const ReceivedRequest& request : server.Requests()) targets.push_back(request.target);
    return targets;
  }

  std::string ActivityLog() const { return ReadFile(folder_.LogFolder() + "/tvlog.txt"); }

  static std::string Login(const std::string& password = "secret") {
    return std::string(kLoginPath) + "?username=w1abc;password=" + password;
  }
  static std::string Query(const std::string& call, const std::string& key = kKey) {
    return std::string(kQueryPath) + "?s=" + key + ";callsign=" + call;
  }
  static std::string Biography(const std::string& call) {
    return std::string(kQueryPath) + "?s=" + kKey + "&html=" + call;
  }

  TempDataFolder folder_;
  TestServer qrz_;
  TestServer nuvex_{TestServer::Scheme::kHttps};
};

TEST_F(OnlineCallbook, TheFirstLookupLogsInAndLaterCallsSendOnlyTheQueryWithTheSameKey) {
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}});
  qrz_.Script(kQueryPath, {{.body = kQrzCallReply}, {.body = kQrzDxCallReply}});
  const auto answers = AskQrz({Request("GetFirstName", {"K6XYZ"}), Request("GetAddress", {"K6XYZ"}),
                               Request("GetDataSource"), Request("GetFullName", {"F5ZZZ"}),
                               Request("GetIOTA", {"F5ZZZ"})});
  ASSERT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers[0].result, "Patricia");
  EXPECT_EQ(answers[1].result,
            "Patricia A Sample, K6XYZ\r\n123 W Example Ave\r\nAnaheim, CA 92804");
  EXPECT_EQ(answers[2].result, "QRZ via Subscription");
  EXPECT_EQ(answers[3].result, "JEAN-LUC EXEMPLE");
  EXPECT_EQ(answers[4].result, "EU-048");
  // The prefix resolution, the mapping and the completed record each raise CallDataOK; the
  // cached call raises it once.
  EXPECT_EQ(answers[0].CallDataOkCount(), 3);
  EXPECT_EQ(answers[1].CallDataOkCount(), 1);
  EXPECT_THAT(answers[0].events, Not(Contains(HasSubstr("WebStatus"))));
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Query("k6xyz"), Query("f5zzz")));

  const std::string host = "http://" + qrz_.HostPort();
  const std::string log = ActivityLog();
  for (const std::string& line :
       {"QRZ callsign query: " + host + Query("k6xyz"), std::string("Got QRZ response"),
        "QRZ call query data: " + std::string(kQrzCallReply).substr(0, 200),
        "QRZ callsign query: " + host + Query("f5zzz")}) {
    EXPECT_THAT(log, HasSubstr(line + "\r\n"));
  }
  EXPECT_THAT(log, Not(HasSubstr("password")));
}

TEST_F(OnlineCallbook, ASessionTimeoutDropsTheKeyAndTheNextNewCallLogsInAgain) {
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}, {.body = LoginReplyWithKey("second")}});
  qrz_.Script(kQueryPath, {{.body = kQrzSessionTimeoutReply}, {.body = kQrzCallReply}});
  const auto answers = AskQrz({Request("GetFirstName", {"K6XYZ"}), Request("GetDataSource"),
                               Request("GetFirstName", {"K6XYZ"}),  // cached: nothing is asked
                               Request("GetFirstName", {"k6xyz"}),  // another cache key
                               Request("GetDataSource")});
  ASSERT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers[0].result, "");  // the timed-out reply is not mapped
  EXPECT_EQ(answers[1].result, "ERROR: Please Retry (session timeout)");
  EXPECT_EQ(answers[2].result, "");
  EXPECT_EQ(answers[3].result, "Patricia");
  EXPECT_EQ(answers[4].result, "QRZ via Subscription");
  EXPECT_THAT(Targets(qrz_),
              ElementsAre(Login(), Query("k6xyz"), Login(), Query("k6xyz", "second")));
  EXPECT_THAT(ActivityLog(), HasSubstr("QRZ Error 2: Session Timeout\r\n"));
}

TEST_F(OnlineCallbook, RepliesWithoutUsableDataAreRetriedOnceAndReportedByTheirOwnTexts) {
  const struct {
    const char* name;
    std::vector<Reply> replies;  // of the call query
    std::size_t queries;
    const char* first_name;
    const char* data_source;
    std::vector<std::string> log_lines;
  } cases[] = {
      {"empty twice",
       {{}, {}},
       2,
       "",
       "",
       {"QRZ query failed, try again", "QRZ call query no data"}},
      {"server error, then data",
       {{.status = 500, .body = "oops"}, {.body = kQrzCallReply}},
       2,
       "Patricia",
       "QRZ via Subscription",
       {"Got QRZ response on second try"}},
      {"connection dropped twice",
       {{.body = kQrzCallReply, .drop_after = 100}},
       2,
       "",
       "",
       {"QRZ call query no data"}},
      {"blanks only", {{.body = "   "}}, 1, "", "", {"Got QRZ response", "QRZ call query no data"}},
      // The service's not-found reply is still mapped: its missing tags empty the fields.
      {"not found",
       {{.body = kQrzNotFoundReply}},
       1,
       "",
       "No data found at QRZ",
       {"QRZ Error 2: Not found: K6ZZZ"}},
      {"not found, upper case",
       {{.body = "<Error>NOT FOUND: K6XYZ</Error>"}},
       1,
       "",
       "No data found at QRZ",
       {}},
      {"session timeout in other words",
       {{.body = "<html>session TIMEOUT</html>"}},
       1,
       "",
       "ERROR: Please Retry (session timeout)",
       {}},
      {"an HTML page",
       {{.body = "<html><body>Bad Gateway</body></html>"}},
       1,
       "",
       "QRZ via Subscription",
       {}},
      {"malformed XML",
       {{.body = "<QRZDatabase><Callsign><fname>Pat</name></fname><name>Sam"}},
       1,
       "Pat</name>",
       "QRZ via Subscription",
       {}},
      {"a message",
       {{.body = kQrzSubscriptionMessageReply}},
       1,
       "Patricia",
       "QRZ via Subscription",
       {"QRZ Message 2: A subscription is required to obtain the complete data."}},
  };
  for (const auto& c : cases) {
    TestServer server;
    server.Script(kLoginPath, {{.body = kQrzLoginReply}});
    server.Script(kQueryPath, c.replies);
    const std::vector<std::string> args = ShellArgs(&server);
    std::string script;
    for (const std::string& line :
         {Request("SetCDSource", {"QRZ Subscription"}), Request("SetMyCall", {"W1ABC"}),
          Request("SetQRZPassword", {"secret"}), Request("GetFirstName", {"K6XYZ"}),
          Request("GetDataSource")}) {
      script += line + "\n";
    }
    const ToolOutcome outcome = RunOnOwnThread(args, script);
    std::vector<json> results;
    for (const std::string& line : outcome.lines) {
      const json parsed = json::parse(line);
      if (parsed.contains("result")) results.push_back(parsed["result"]);
    }
    ASSERT_EQ(results.size(), 5u) << c.name;
    EXPECT_EQ(results[3], c.first_name) << c.name;
    EXPECT_EQ(results[4], c.data_source) << c.name;
    ASSERT_TRUE(server.WaitUntilAnswered(1 + c.queries)) << c.name;
    EXPECT_EQ(server.Requests().size(), 1 + c.queries) << c.name;
    for (const std::string& line : c.log_lines) {
      EXPECT_THAT(ActivityLog(), HasSubstr(line + "\r\n")) << c.name;
    }
  }
}

TEST_F(OnlineCallbook, ACallNotInTheDatabaseKeepsThePreviousCallsRecordAndLabel) {
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}});
  qrz_.Script(kQueryPath, {{.body = kQrzCallReply},
                           {.body = "<Session><Error>W1ZZZ not found in database"
                                    "</Error><Key>k</Key></Session>"}});
  const auto answers =
      AskQrz({Request("GetFirstName", {"K6XYZ"}), Request("GetFirstName", {"W1ZZZ"}),
              Request("GetDataStatus", {"W1ZZZ"}), Request("GetAddress", {"W1ZZZ"}),
              Request("GetDataSource")});
  ASSERT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers[1].result, "Patricia");
  EXPECT_EQ(answers[1].CallDataOkCount(), 2);  // the mapping raises none
  EXPECT_EQ(answers[2].result, "Call not found in QRZ database.");
  EXPECT_EQ(answers[3].result,
            "Patricia A Sample, K6XYZ\r\n123 W Example Ave\r\nAnaheim, CA 92804");
  EXPECT_EQ(answers[4].result, "QRZ via Subscription");
}

TEST_F(OnlineCallbook, WithoutAPasswordOrAKeyNothingIsAskedAndAConnectionErrorIsReported) {
  {
    const auto answers = AskQrz({Request("GetFirstName", {"K6XYZ"}), Request("GetDataSource")}, "");
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_THAT(answers[0].events, Contains("WebStatus Connection error."));
    EXPECT_EQ(answers[1].result, "");
    EXPECT_THAT(qrz_.Requests(), IsEmpty());
  }
  {
    // A stopped web stays silent: no request and no event.
    const auto answers = AskQrz({Request("StopWeb"), Request("GetFirstName", {"K6XYZ"})});
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_THAT(answers[1].events, IsEmpty());
    EXPECT_THAT(qrz_.Requests(), IsEmpty());
  }
  // A refused login: its reply is logged, and every new call tries again.
  qrz_.Script(kLoginPath, {{.body = kQrzBadPasswordReply}, {.status = 404}});
  const auto answers = AskQrz({Request("GetFirstName", {"K6XYZ"}),
                               Request("GetFirstName", {"W1XX"}), Request("GetDataSource")});
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_THAT(answers[0].events, Contains("WebStatus Connection error."));
  EXPECT_THAT(answers[1].events, Contains("WebStatus Connection error."));
  EXPECT_EQ(answers[2].result, "");
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Login()));
  const std::string log = ActivityLog();
  EXPECT_THAT(log, HasSubstr("QRZ no Key or data: " + std::string(kQrzBadPasswordReply)));
  EXPECT_THAT(log, HasSubstr("QRZ no Key or data: \r\n"));
}

TEST_F(OnlineCallbook, PasswordsAndCallsGoOutAsGivenWithOnlyWhatARequestLineCannotCarryEncoded) {
  const struct {
    const char* password;
    const char* sent;
  } cases[] = {
      {"p&ss;word", "p&ss;word"},  // the service reads only up to "&" or ";"
      {"p\xC3\xA4ssw\xC3\xB6rd", "p%C3%A4ssw%C3%B6rd"},
      {"a b#c%41", "a%20b%23c%41"},
      {"line\r\nHost: evil", "line%0D%0AHost:%20evil"},
  };
  for (const auto& c : cases) {
    TestServer server;
    server.Script(kLoginPath, {{.body = kQrzLoginReply}});
    server.Script(kQueryPath, {{.body = kQrzCallReply}});
    const std::vector<std::string> args = ShellArgs(&server);
    const std::string script = Request("SetCDSource", {"QRZ Subscription"}) + "\n" +
                               Request("SetMyCall", {"W1ABC"}) + "\n" +
                               Request("SetQRZPassword", {c.password}) + "\n" +
                               Request("GetFirstName", {"K6XYZ"}) + "\n";
    const ToolOutcome outcome = RunOnOwnThread(args, script);
    EXPECT_EQ(outcome.status, 0);
    ASSERT_TRUE(server.WaitUntilAnswered(2)) << c.sent;
    EXPECT_THAT(Targets(server), ElementsAre(Login(c.sent), Query("k6xyz"))) << c.sent;
  }
}

TEST_F(OnlineCallbook, TheBiographyIsAskedOnlyByItsQueriesWithItsLinksMadeAbsolute) {
  const std::string page = R"(<a href="/hampages/k6xyz.htm">me</a><img src="/hampages/x.jpg">)";
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}});
  // The first biography reply is empty and asked again; the second lookup finds it at once.
  qrz_.Script(
      kQueryPath,
      {{.body = kQrzCallReply}, {}, {.body = page}, {.body = kQrzCallReply}, {.body = page}});
  const auto answers =
      AskQrz({Request("GetBiography", {"K6XYZ"}), Request("GetPhoto", {"K6XYZ"}),
              Request("GetFirstName", {"K6XYZ"}), Request("GetBiography", {"K6XYZ"})});
  ASSERT_EQ(answers.size(), 4u);
  const std::string rewritten = std::string(R"(<a href="http://)") + kFilesHost +
                                R"(/z/k6xyz.htm">me</a><img src="http://)" + kFilesHost +
                                R"(/z/x.jpg">)";
  EXPECT_EQ(answers[0].result, rewritten);
  EXPECT_EQ(answers[1].result, "https://cdn-xml.qrz.com/e/k6xyz/qsl.png");
  EXPECT_EQ(answers[3].result, rewritten);
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Query("k6xyz"), Biography("k6xyz"),
                                         Biography("k6xyz"), Query("k6xyz"), Biography("k6xyz")));
  EXPECT_THAT(ActivityLog(),
              HasSubstr("QRZ bio query: http://" + qrz_.HostPort() + Biography("k6xyz") + "\r\n"));
}

TEST_F(OnlineCallbook, StopWebFromTheHostLoopEndsTheSessionRequestUnderWay) {
  const Reply slow{.body = std::string(40, '.'), .chunk_bytes = 1, .chunk_pause = 50ms};
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}});
  // The repeat of the stopped query ends before it goes out, or is cut; either way the next
  // lookup gets the last reply.
  qrz_.Script(kQueryPath, {{.body = kQrzCallReply}, slow, {.body = kQrzDxCallReply}});
  const auto answers = AskQrz({Request("GetFirstName", {"K6XYZ"}),
                               R"({"meta": "on_yield", "call": {"call": "StopWeb"}})",
                               Request("GetFirstName", {"W1XX"}), Request("GetDataSource"),
                               Request("GetFirstName", {"W1YY"})});
  ASSERT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers[0].result, "Patricia");
  // Stopped: the query and its repeat end empty, nothing is mapped and no event follows.
  const std::vector<std::string>& events = answers[2].events;
  const auto stopped = std::find(events.begin(), events.end(), "WebStatus Stopped");
  ASSERT_NE(stopped, events.end());
  EXPECT_EQ(std::find(stopped, events.end(), "CallDataOK true"), events.end());
  EXPECT_EQ(answers[2].result, "Patricia");
  EXPECT_EQ(answers[3].result, "");
  // The next lookup clears the stop before its query: the prefix resolution before it is still
  // silent, the mapping and the completed record raise CallDataOK again.
  EXPECT_EQ(answers[4].result, "JEAN-LUC");
  EXPECT_EQ(answers[4].CallDataOkCount(), 2);
  const auto requests = qrz_.Requests();
  ASSERT_GE(requests.size(), 4u);
  EXPECT_EQ(requests[2].target, Query("w1xx"));
  ASSERT_TRUE(qrz_.WaitUntilAnswered(requests.size()));
  EXPECT_TRUE(qrz_.Requests()[2].cut);
  EXPECT_EQ(requests.back().target, Query("w1yy"));
  EXPECT_FALSE(requests.back().cut);
  EXPECT_THAT(ActivityLog(), HasSubstr("QRZ call query no data\r\n"));
}

TEST_F(OnlineCallbook, TheSessionOutlivesTheServiceObjectAndNewCredentialsWaitForATimeout) {
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}});
  qrz_.Script(kQueryPath, {{.body = kQrzCallReply}});
  AskQrz({Request("GetFirstName", {"K6XYZ"}), R"({"meta": "restart"})",
          Request("SetCDSource", {"QRZ Subscription"}), Request("SetMyCall", {"K9NEW"}),
          Request("SetQRZPassword", {"other"}), Request("GetFirstName", {"K6XYZ"})});
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Query("k6xyz"), Query("k6xyz")));
}

TEST_F(OnlineCallbook, DevelopmentLoggingShowsTheLastUrlAndKeepsASessionLog) {
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}});
  qrz_.Script(kQueryPath, {{.body = kQrzCallReply}});
  nuvex_.Script(kNuvexPath, {{.body = kNuvexCallReply}});
  const auto qrz = AskQrz({Request("SetDevel", {true}), Request("GetFirstName", {"K6XYZ"})});
  ASSERT_EQ(qrz.size(), 2u);
  EXPECT_THAT(qrz[1].events, Contains("WebStatus URL: http://" + qrz_.HostPort() + Query("k6xyz")));
  EXPECT_THAT(ReadFile(folder_.path() + "/Logs/QRZ_Session.txt"),
              HasSubstr("GET http://" + qrz_.HostPort() + Query("k6xyz")));

  const auto nuvex = AskNuvex({Request("SetDevel", {true}), Request("GetFirstName", {"W1XYZ"})});
  ASSERT_EQ(nuvex.size(), 2u);
  EXPECT_THAT(nuvex[1].events,
              Contains("WebStatus URL: https://" + nuvex_.HostPort() + kNuvexPath + "?call=W1XYZ"));
}

TEST_F(OnlineCallbook, TheMakersLookupIsAskedOnlyOnLineAndReportsWhatItFound) {
  const struct {
    const char* name;
    std::vector<Reply> replies;
    bool connected;
    std::size_t requests;
    const char* first_name;
    const char* data_source;
    const char* data_status;
    const char* mode;
  } cases[] = {
      {"off line", {{.body = kNuvexCallReply}}, false, 0, "", "", "OK", ""},
      {"found", {{.body = kNuvexCallReply}}, true, 1, "Robert", "Nuvex Subscription", "OK", "CW"},
      {"empty, then found",
       {{.status = 503}, {.body = kNuvexCallReply}},
       true,
       2,
       "Robert",
       "Nuvex Subscription",
       "OK",
       "CW"},
      {"empty twice", {{}, {}}, true, 2, "", "", "OK", ""},
      {"not found:",
       {{.body = "<Error>Not Found: W1XYZ</Error>"}},
       true,
       1,
       "",
       "No data found at Nuvex",
       "OK",
       ""},
      {"not found in",
       {{.body = "<Error>W1XYZ not found in database</Error>"}},
       true,
       1,
       "",
       "Nuvex Subscription",
       "Call not found in Nuvex database.",
       ""},
  };
  for (const auto& c : cases) {
    TestServer server(TestServer::Scheme::kHttps);
    server.Script(kNuvexPath, c.replies);
    const std::vector<std::string> args = ShellArgs(nullptr, &server);
    std::string script;
    for (const std::string& line :
         {Request("SetCDSource", {"Nuvex Subscription"}),
          Request("SetWebConnectionStatus", {c.connected}), Request("GetDataStatus", {"W1XYZ"}),
          Request("GetFirstName", {"W1XYZ"}), Request("GetDataSource"),
          Request("GetMode", {"W1XYZ"})}) {
      script += line + "\n";
    }
    const ToolOutcome outcome = RunOnOwnThread(args, script);
    std::vector<json> results;
    for (const std::string& line : outcome.lines) {
      const json parsed = json::parse(line);
      if (parsed.contains("result")) results.push_back(parsed["result"]);
    }
    ASSERT_EQ(results.size(), 6u) << c.name;
    EXPECT_EQ(results[2], c.data_status) << c.name;
    EXPECT_EQ(results[3], c.first_name) << c.name;
    EXPECT_EQ(results[4], c.data_source) << c.name;
    EXPECT_EQ(results[5], c.mode) << c.name;
    ASSERT_TRUE(server.WaitUntilAnswered(c.requests)) << c.name;
    EXPECT_EQ(Targets(server),
              std::vector<std::string>(c.requests, std::string(kNuvexPath) + "?call=W1XYZ"))
        << c.name;
  }
}

TEST_F(OnlineCallbook, TheLookupCardAsksTheChosenOnlineSourceAndNeverShowsThePassword) {
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply}});
  qrz_.Script(kQueryPath, {{.body = kQrzCallReply}});
  nuvex_.Script(kNuvexPath, {{.body = kNuvexCallReply}});
  const std::vector<std::string> hosts = {
      "--data-folder",  folder_.path(),    "--qrz-host",  qrz_.HostPort(),
      "--service-host", nuvex_.HostPort(), "--ca-bundle", WriteTestCa(folder_.path())};
  const auto with = [&hosts](std::vector<std::string> args) {
    args.insert(args.end(), hosts.begin(), hosts.end());
    return args;
  };
  const std::string password = "s3cr&t;pw";
  ::setenv("TORVANE_QRZ_PASSWORD", password.c_str(), 1);
  const auto qrz = RunOnOwnThread(
      with({"lookup", "K6XYZ", "--source", "qrz", "--qrz-user", "w1abc", "--json"}), "");
  const auto text =
      RunOnOwnThread(with({"lookup", "K6XYZ", "--source", "qrz", "--qrz-user", "w1abc"}), "");
  ::unsetenv("TORVANE_QRZ_PASSWORD");
  ASSERT_EQ(qrz.status, 0) << qrz.err;
  const json card = json::parse(qrz.out)["callbook"];
  EXPECT_EQ(card["name"], "Patricia A Sample");
  EXPECT_EQ(card["licence_class"], "General");
  EXPECT_EQ(card["grid"], "DM13at");
  EXPECT_EQ(card["photo"], "https://cdn-xml.qrz.com/e/k6xyz/qsl.png");
  EXPECT_EQ(card["data_source"], "QRZ via Subscription");
  EXPECT_THAT(text.out, HasSubstr("Patricia A Sample"));
  EXPECT_EQ(qrz_.Requests().front().target, Login(password));
  for (const ToolOutcome* outcome : {&qrz, &text}) {
    EXPECT_THAT(outcome->out + outcome->err, Not(HasSubstr(password)));
  }

  // A refused login shows as the connection error; the password given on the command line is
  // not shown either.
  qrz_.Script(kLoginPath, {{.body = kQrzBadPasswordReply}});
  const auto refused = RunOnOwnThread(with({"lookup", "K6XYZ", "--source", "qrz", "--qrz-user",
                                            "w1abc", "--qrz-password", "wrongpw", "--json"}),
                                      "");
  const json refused_card = json::parse(refused.out)["callbook"];
  EXPECT_THAT(refused_card["web_status"], ElementsAre("Connection error."));
  EXPECT_THAT(refused.out + refused.err, Not(HasSubstr("wrongpw")));

  const auto missing = RunOnOwnThread(with({"lookup", "K6XYZ", "--source", "qrz"}), "");
  EXPECT_EQ(missing.status, 2);
  EXPECT_THAT(missing.err, HasSubstr("--qrz-user"));

  const auto nuvex = RunOnOwnThread(with({"lookup", "W1XYZ", "--source", "nuvex", "--json"}), "");
  ASSERT_EQ(nuvex.status, 0) << nuvex.err;
  const json nuvex_card = json::parse(nuvex.out)["callbook"];
  EXPECT_EQ(nuvex_card["name"], "Robert J Sample");
  EXPECT_EQ(nuvex_card["data_source"], "Nuvex Subscription");
  EXPECT_EQ(nuvex_card["qth"], "12 Oak Lane, Newington, Hartford, CT 06111");
}

}  // namespace
}  // namespace torvane::testing
