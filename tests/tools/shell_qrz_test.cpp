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
constexpr const char* kK6xyzAddress =
    "Patricia A Sample, K6XYZ\r\n123 W Example Ave\r\nAnaheim, CA 92804";

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

// The login answers with the usual key; the call queries get `queries` in turn.
void ScriptQrz(TestServer& server, const std::vector<Reply>& queries) {
  server.Script(kLoginPath, {{.body = kQrzLoginReply}});
  server.Script(kQueryPath, queries);
}

// One answer of the shell and the events printed before it ("WebStatus Connection error.").
struct Answer {
  json result;
  std::vector<std::string> events;
  int CallDataOkCount() const {
    return static_cast<int>(std::count(events.begin(), events.end(), "CallDataOK true"));
  }
};

std::vector<json> Results(const std::vector<Answer>& answers) {
  std::vector<json> results;
  for (const Answer& answer : answers) results.push_back(answer.result);
  return results;
}

// A data folder with the sample prefixes, a plain-HTTP server playing the QRZ XML service and
// an HTTPS server playing the maker's look-up.
class OnlineCallbook : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Execute(folder_.PrefixDatabase(), kSamplePrefixRows); }

  // Runs the requests after the set-up lines, on the fixture's servers unless others are named;
  // gives the answers to the requests alone.
  std::vector<Answer> Ask(const std::vector<std::string>& requests,
                          const std::vector<std::string>& setup, const TestServer* qrz = nullptr,
                          const TestServer* nuvex = nullptr) {
    std::string script;
    for (const std::string& line : setup) script += line + "\n";
    for (const std::string& line : requests) script += line + "\n";
    const ToolOutcome outcome = RunOnOwnThread(ShellArgs(qrz, nuvex), script);
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
      } else if (!parsed.contains("yield_result") &&
                 (parsed.contains("result") || parsed.contains("ok"))) {
        pending.result = parsed.contains("result") ? parsed["result"] : parsed["ok"];
        answers.push_back(std::move(pending));
        pending = {};
      }
    }
    const std::size_t skip = std::min(setup.size(), answers.size());
    return {answers.begin() + static_cast<std::ptrdiff_t>(skip), answers.end()};
  }

  std::vector<Answer> AskQrz(const std::vector<std::string>& requests,
                             const std::string& password = "secret",
                             const TestServer* qrz = nullptr) {
    return Ask(requests,
               {Request("SetCDSource", {"QRZ Subscription"}),
                Request("SetCDDXSource", {"QRZ Subscription"}), Request("SetMyCall", {" W1ABC "}),
                Request("SetQRZPassword", {password})},
               qrz);
  }

  std::vector<Answer> AskNuvex(const std::vector<std::string>& requests, bool connected = true,
                               const TestServer* nuvex = nullptr) {
    return Ask(requests,
               {Request("SetCDSource", {"Nuvex Subscription"}),
                Request("SetCDDXSource", {"Nuvex Subscription"}),
                Request("SetWebConnectionStatus", {connected})},
               nullptr, nuvex);
  }

  std::vector<std::string> ShellArgs(const TestServer* qrz, const TestServer* nuvex) const {
    const std::string qrz_host = (qrz != nullptr ? *qrz : qrz_).HostPort();
    const std::string nuvex_host = (nuvex != nullptr ? *nuvex : nuvex_).HostPort();
    return {"shell",          "--json",   "--data-folder",    folder_.path(),
            "--qrz-host",     qrz_host,   "--qrz-files-host", kFilesHost,
            "--service-host", nuvex_host, "--ca-bundle",      WriteTestCa(folder_.path())};
  }

  static std::vector<std::string> Targets(const TestServer& server) {
    std::vector<std::string> targets;
    for (const ReceivedRequest& request : server.Requests()) targets.push_back(request.target);
    return targets;
  }

  std::string ActivityLog() const { return ReadFile(folder_.LogFolder() + "/tvlog.txt"); }

  // Each line stands in the activity log as a line of its own.
  void ExpectLogged(const std::vector<std::string>& lines, const std::string& context = "") {
    const std::string log = ActivityLog();
    for (const std::string& line : lines) EXPECT_THAT(log, HasSubstr(line + "\r\n")) << context;
  }

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

std::string Get(const std::string& method, const std::string& call) {
  return Request(method, {call});
}

TEST_F(OnlineCallbook, TheFirstLookupLogsInAndLaterCallsSendOnlyTheQueryWithTheSameKey) {
  ScriptQrz(qrz_, {{.body = kQrzCallReply}, {.body = kQrzDxCallReply}});
  const auto answers =
      AskQrz({Get("GetFirstName", "K6XYZ"), Get("GetAddress", "K6XYZ"), Request("GetDataSource"),
              Get("GetFullName", "F5ZZZ"), Get("GetIOTA", "F5ZZZ")});
  EXPECT_THAT(Results(answers), ElementsAre("Patricia", kK6xyzAddress, "QRZ via Subscription",
                                            "JEAN-LUC EXEMPLE", "EU-048"));
  ASSERT_EQ(answers.size(), 5u);
  // The prefix resolution, the mapping and the completed record each raise CallDataOK; the
  // cached call raises it once.
  EXPECT_EQ(answers[0].CallDataOkCount(), 3);
  EXPECT_EQ(answers[1].CallDataOkCount(), 1);
  EXPECT_THAT(answers[0].events, Not(Contains(HasSubstr("WebStatus"))));
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Query("k6xyz"), Query("f5zzz")));

  const std::string host = "http://" + qrz_.HostPort();
  ExpectLogged({"QRZ callsign query: " + host + Query("k6xyz"), "Got QRZ response",
                "QRZ call query data: " + std::string(kQrzCallReply).substr(0, 200),
                "QRZ callsign query: " + host + Query("f5zzz")});
  EXPECT_THAT(ActivityLog(), Not(HasSubstr("password")));
}

TEST_F(OnlineCallbook, ASessionTimeoutDropsTheKeyAndTheNextNewCallLogsInAgain) {
  qrz_.Script(kLoginPath, {{.body = kQrzLoginReply},
                           {.body = text::ReplaceAll(kQrzLoginReply, kKey, "second")}});
  qrz_.Script(kQueryPath, {{.body = kQrzSessionTimeoutReply}, {.body = kQrzCallReply}});
  const auto answers = AskQrz({Get("GetFirstName", "K6XYZ"), Request("GetDataSource"),
                               Get("GetFirstName", "K6XYZ"),  // cached: nothing is asked
                               Get("GetFirstName", "k6xyz"),  // another cache key
                               Request("GetDataSource")});
  // The timed-out reply is not mapped.
  EXPECT_THAT(Results(answers), ElementsAre("", "ERROR: Please Retry (session timeout)", "",
                                            "Patricia", "QRZ via Subscription"));
  EXPECT_THAT(Targets(qrz_),
              ElementsAre(Login(), Query("k6xyz"), Login(), Query("k6xyz", "second")));
  ExpectLogged({"QRZ Error 2: Session Timeout"});
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
      // clang-format off
      {"empty twice", {{}, {}}, 2, "", "",
       {"QRZ query failed, try again", "QRZ call query no data"}},
      {"server error, then data", {{.status = 500, .body = "oops"}, {.body = kQrzCallReply}}, 2,
       "Patricia", "QRZ via Subscription", {"Got QRZ response on second try"}},
      {"connection dropped twice", {{.body = kQrzCallReply, .drop_after = 100}}, 2, "", "",
       {"QRZ call query no data"}},
      {"blanks only", {{.body = "   "}}, 1, "", "", {"Got QRZ response", "QRZ call query no data"}},
      // The service's not-found reply is still mapped: its missing tags empty the fields.
      {"not found", {{.body = kQrzNotFoundReply}}, 1, "", "No data found at QRZ",
       {"QRZ Error 2: Not found: K6ZZZ"}},
      {"not found, upper case", {{.body = "<Error>NOT FOUND: K6XYZ</Error>"}}, 1, "",
       "No data found at QRZ", {}},
      {"session timeout in other words", {{.body = "<html>session TIMEOUT</html>"}}, 1, "",
       "ERROR: Please Retry (session timeout)", {}},
      {"an HTML page", {{.body = "<html><body>Bad Gateway</body></html>"}}, 1, "",
       "QRZ via Subscription", {}},
      {"malformed XML", {{.body = "<QRZDatabase><Callsign><fname>Pat</name></fname><name>Sam"}}, 1,
       "Pat</name>", "QRZ via Subscription", {}},
      {"a message", {{.body = kQrzSubscriptionMessageReply}}, 1, "Patricia",
       "QRZ via Subscription",
       {"QRZ Message 2: A subscription is required to obtain the complete data."}},
      // clang-format on
  };
  for (const auto& c : cases) {
    TestServer server;
    ScriptQrz(server, c.replies);
    const auto answers =
        AskQrz({Get("GetFirstName", "K6XYZ"), Request("GetDataSource")}, "secret", &server);
    EXPECT_THAT(Results(answers), ElementsAre(c.first_name, c.data_source)) << c.name;
    ASSERT_TRUE(server.WaitUntilAnswered(1 + c.queries)) << c.name;
    EXPECT_EQ(server.Requests().size(), 1 + c.queries) << c.name;
    ExpectLogged(c.log_lines, c.name);
  }
}

TEST_F(OnlineCallbook, ACallNotInTheDatabaseKeepsThePreviousCallsRecordAndLabel) {
  ScriptQrz(qrz_, {{.body = kQrzCallReply},
                   {.body = "<Session><Error>W1ZZZ not found in database</Error><Key>k</Key>"
                            "</Session>"}});
  const auto answers =
      AskQrz({Get("GetFirstName", "K6XYZ"), Get("GetFirstName", "W1ZZZ"),
              Get("GetDataStatus", "W1ZZZ"), Get("GetAddress", "W1ZZZ"), Request("GetDataSource")});
  EXPECT_THAT(Results(answers),
              ElementsAre("Patricia", "Patricia", "Call not found in QRZ database.", kK6xyzAddress,
                          "QRZ via Subscription"));
  ASSERT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers[1].CallDataOkCount(), 2);  // the mapping raises none
}

TEST_F(OnlineCallbook, WithoutAPasswordOrAKeyNothingIsAskedAndAConnectionErrorIsReported) {
  {
    const auto answers = AskQrz({Get("GetFirstName", "K6XYZ"), Request("GetDataSource")}, "");
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_THAT(answers[0].events, Contains("WebStatus Connection error."));
    EXPECT_EQ(answers[1].result, "");
    EXPECT_THAT(qrz_.Requests(), IsEmpty());
  }
  {
    // A stopped web stays silent: no request and no event.
    const auto answers = AskQrz({Request("StopWeb"), Get("GetFirstName", "K6XYZ")});
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_THAT(answers[1].events, IsEmpty());
    EXPECT_THAT(qrz_.Requests(), IsEmpty());
  }
  // A refused login: its reply is logged, and every new call tries again.
  qrz_.Script(kLoginPath, {{.body = kQrzBadPasswordReply}, {.status = 404}});
  const auto answers =
      AskQrz({Get("GetFirstName", "K6XYZ"), Get("GetFirstName", "W1XX"), Request("GetDataSource")});
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_THAT(answers[0].events, Contains("WebStatus Connection error."));
  EXPECT_THAT(answers[1].events, Contains("WebStatus Connection error."));
  EXPECT_EQ(answers[2].result, "");
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Login()));
  EXPECT_THAT(ActivityLog(), HasSubstr("QRZ no Key or data: " + std::string(kQrzBadPasswordReply)));
  ExpectLogged({"QRZ no Key or data: "});
}

TEST_F(OnlineCallbook, PasswordsAndCallsGoOutAsGivenWithOnlyWhatARequestLineCannotCarryEncoded) {
  const struct {
    const char* password;
    const char* sent;
  } cases[] = {
      // clang-format off
      {"p&ss;word", "p&ss;word"},  // the service reads only up to "&" or ";"
      {"p\xC3\xA4ssw\xC3\xB6rd", "p%C3%A4ssw%C3%B6rd"},
      {"a b#c%41", "a%20b%23c%41"},
      {"line\r\nHost: evil", "line%0D%0AHost:%20evil"},
      // clang-format on
  };
  for (const auto& c : cases) {
    TestServer server;
    ScriptQrz(server, {{.body = kQrzCallReply}});
    AskQrz({Get("GetFirstName", "K6XYZ")}, c.password, &server);
    ASSERT_TRUE(server.WaitUntilAnswered(2)) << c.sent;
    EXPECT_THAT(Targets(server), ElementsAre(Login(c.sent), Query("k6xyz"))) << c.sent;
  }
}

TEST_F(OnlineCallbook, TheBiographyIsAskedOnlyByItsQueriesWithItsLinksMadeAbsolute) {
  const std::string page = R"(<a href="/hampages/k6xyz.htm">me</a><img src="/hampages/x.jpg">)";
  // The first biography reply is empty and asked again; the second lookup finds it at once.
  ScriptQrz(qrz_,
            {{.body = kQrzCallReply}, {}, {.body = page}, {.body = kQrzCallReply}, {.body = page}});
  const auto answers = AskQrz({Get("GetBiography", "K6XYZ"), Get("GetPhoto", "K6XYZ"),
                               Get("GetFirstName", "K6XYZ"), Get("GetBiography", "K6XYZ")});
  const std::string rewritten = std::string(R"(<a href="http://)") + kFilesHost +
                                R"(/z/k6xyz.htm">me</a><img src="http://)" + kFilesHost +
                                R"(/z/x.jpg">)";
  EXPECT_THAT(Results(answers), ElementsAre(rewritten, "https://cdn-xml.qrz.com/e/k6xyz/qsl.png",
                                            "Patricia", rewritten));
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Query("k6xyz"), Biography("k6xyz"),
                                         Biography("k6xyz"), Query("k6xyz"), Biography("k6xyz")));
  ExpectLogged({"QRZ bio query: http://" + qrz_.HostPort() + Biography("k6xyz")});
}

TEST_F(OnlineCallbook, StopWebFromTheHostLoopEndsTheSessionRequestUnderWay) {
  const Reply slow{.body = std::string(40, '.'), .chunk_bytes = 1, .chunk_pause = 50ms};
  // The repeat of the stopped query ends before it goes out, or is cut; either way the next
  // lookup gets the last reply.
  ScriptQrz(qrz_, {{.body = kQrzCallReply}, slow, {.body = kQrzDxCallReply}});
  const auto answers =
      AskQrz({Get("GetFirstName", "K6XYZ"), R"({"meta": "on_yield", "call": {"call": "StopWeb"}})",
              Get("GetFirstName", "W1XX"), Request("GetDataSource"), Get("GetFirstName", "W1YY")});
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
  ExpectLogged({"QRZ call query no data"});
}

TEST_F(OnlineCallbook, TheSessionOutlivesTheServiceObjectAndNewCredentialsWaitForATimeout) {
  ScriptQrz(qrz_, {{.body = kQrzCallReply}});
  AskQrz({Get("GetFirstName", "K6XYZ"), R"({"meta": "restart"})",
          Request("SetCDSource", {"QRZ Subscription"}), Request("SetMyCall", {"K9NEW"}),
          Request("SetQRZPassword", {"other"}), Get("GetFirstName", "K6XYZ")});
  EXPECT_THAT(Targets(qrz_), ElementsAre(Login(), Query("k6xyz"), Query("k6xyz")));
}

TEST_F(OnlineCallbook, DevelopmentLoggingShowsTheLastUrlAndKeepsASessionLog) {
  ScriptQrz(qrz_, {{.body = kQrzCallReply}});
  nuvex_.Script(kNuvexPath, {{.body = kNuvexCallReply}});
  const auto qrz = AskQrz({Request("SetDevel", {true}), Get("GetFirstName", "K6XYZ")});
  ASSERT_EQ(qrz.size(), 2u);
  EXPECT_THAT(qrz[1].events, Contains("WebStatus URL: http://" + qrz_.HostPort() + Query("k6xyz")));
  EXPECT_THAT(ReadFile(folder_.path() + "/Logs/QRZ_Session.txt"),
              HasSubstr("GET http://" + qrz_.HostPort() + Query("k6xyz")));

  const auto nuvex = AskNuvex({Request("SetDevel", {true}), Get("GetFirstName", "W1XYZ")});
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
    std::vector<json> results;  // data status, first name, data source, mode
  } cases[] = {
      // clang-format off
      {"off line", {{.body = kNuvexCallReply}}, false, 0, {"OK", "", "", ""}},
      {"found", {{.body = kNuvexCallReply}}, true, 1,
       {"OK", "Robert", "Nuvex Subscription", "CW"}},
      {"empty, then found", {{.status = 503}, {.body = kNuvexCallReply}}, true, 2,
       {"OK", "Robert", "Nuvex Subscription", "CW"}},
      {"empty twice", {{}, {}}, true, 2, {"OK", "", "", ""}},
      {"not found:", {{.body = "<Error>Not Found: W1XYZ</Error>"}}, true, 1,
       {"OK", "", "No data found at Nuvex", ""}},
      {"not found in", {{.body = "<Error>W1XYZ not found in database</Error>"}}, true, 1,
       {"Call not found in Nuvex database.", "", "Nuvex Subscription", ""}},
      // clang-format on
  };
  for (const auto& c : cases) {
    TestServer server(TestServer::Scheme::kHttps);
    server.Script(kNuvexPath, c.replies);
    const auto answers = AskNuvex({Get("GetDataStatus", "W1XYZ"), Get("GetFirstName", "W1XYZ"),
                                   Request("GetDataSource"), Get("GetMode", "W1XYZ")},
                                  c.connected, &server);
    EXPECT_EQ(Results(answers), c.results) << c.name;
    ASSERT_TRUE(server.WaitUntilAnswered(c.requests)) << c.name;
    EXPECT_EQ(Targets(server),
              std::vector<std::string>(c.requests, std::string(kNuvexPath) + "?call=W1XYZ"))
        << c.name;
  }
}

TEST_F(OnlineCallbook, TheLookupCardAsksTheChosenOnlineSourceAndNeverShowsThePassword) {
  ScriptQrz(qrz_, {{.body = kQrzCallReply}});
  nuvex_.Script(kNuvexPath, {{.body = kNuvexCallReply}});
  const auto lookup = [this](std::vector<std::string> args) {
    args.insert(args.end(),
                {"--data-folder", folder_.path(), "--qrz-host", qrz_.HostPort(), "--service-host",
                 nuvex_.HostPort(), "--ca-bundle", WriteTestCa(folder_.path())});
    return RunOnOwnThread(args, "");
  };
  const std::vector<std::string> qrz_user = {"lookup", "K6XYZ",      "--source",
                                             "qrz",    "--qrz-user", "w1abc"};
  const auto with = [](std::vector<std::string> args, std::vector<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const std::string password = "s3cr&t;pw";
  ::setenv("TORVANE_QRZ_PASSWORD", password.c_str(), 1);
  const auto qrz = lookup(with(qrz_user, {"--json"}));
  const auto text = lookup(qrz_user);
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
  const auto refused = lookup(with(qrz_user, {"--qrz-password", "wrongpw", "--json"}));
  EXPECT_THAT(json::parse(refused.out)["callbook"]["web_status"], ElementsAre("Connection error."));
  EXPECT_THAT(refused.out + refused.err, Not(HasSubstr("wrongpw")));

  const auto missing = lookup({"lookup", "K6XYZ", "--source", "qrz"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_THAT(missing.err, HasSubstr("--qrz-user"));

  const auto nuvex = lookup({"lookup", "W1XYZ", "--source", "nuvex", "--json"});
  ASSERT_EQ(nuvex.status, 0) << nuvex.err;
  const json nuvex_card = json::parse(nuvex.out)["callbook"];
  EXPECT_EQ(nuvex_card["name"], "Robert J Sample");
  EXPECT_EQ(nuvex_card["data_source"], "Nuvex Subscription");
  EXPECT_EQ(nuvex_card["qth"], "12 Oak Lane, Newington, Hartford, CT 06111");
}

}  // namespace
}  // namespace torvane::testing
