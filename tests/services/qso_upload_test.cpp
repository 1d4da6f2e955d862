#include "services/qso_upload.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "service/service.h"
#include "tests/support/recording_events.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/tool_runner.h"
#include "torvane/torvane_control.h"

namespace torvane::services {
namespace {

using ::testing::ElementsAre, ::testing::ElementsAreArray, ::testing::IsEmpty;
using torvane::testing::RecordingEvents, torvane::testing::RefusingPort, torvane::testing::Reply,
    torvane::testing::TempDataFolder, torvane::testing::TestServer;

constexpr const char* kImportPath = "/qslcard/importADIF.cfm";
constexpr const char* kClubLogPath = "/realtime.php";

// Real replies of the eQSL real-time interface.
const std::string kAdded =
    "\r\n\r\n<!-- Reply form eQSL.cc ADIF Real-time Interface -->\r\n\r\n\r\n<HTML>\r\n"
    "<HEAD></HEAD>\r\n<BODY>\r\n\r\n\r\n  Result: 1 out of 1 records added<BR>\r\n  \r\n"
    "  Information: From: lz2hv To: LZ0TEST Date: 20240116 Time: 1129 Band: 20M Mode: FT8 RST: "
    "+00<BR> \r\n</CENTER>\r\n</BODY>\r\n</HTML>\r\n";
const std::string kDuplicate =
    "\r\n\r\n<!-- Reply form eQSL.cc ADIF Real-time Interface -->\r\n\r\n\r\n<HTML>\r\n"
    "<HEAD></HEAD>\r\n<BODY>\r\n\r\nWarning: Y=2024 M=01 D=16 LZ0TEST 20M FT8 Bad record: "
    "Duplicate<BR>\r\n Result: 0 out of 1 records added<BR>\r\n  \r\n  \r\n</CENTER>\r\n"
    "</BODY>\r\n</HTML>\r\n";
const std::string kBadLogin =
    "\r\n\r\n<!-- Reply form eQSL.cc ADIF Real-time Interface -->\r\n\r\n\r\n<HTML>\r\n"
    "<HEAD></HEAD>\r\n<BODY>\r\n\r\n\r\n Error: No match on eQSL_User/eQSL_Pswd\r\n  </BODY>\r\n"
    "  </HTML>\r\n  ";
const std::string kMarker = "<!-- Reply form eQSL.cc ADIF Real-time Interface -->";

// A data folder, eQSL on plain HTTP and Club Log on HTTPS, both on 127.0.0.1, and a control
// object on them that records its events.
struct Sites {
  Options ServiceOptions() const {
    Options options = folder.MakeOptions();
    options.eqsl_host = eqsl.HostPort();
    options.clublog_host = clublog.HostPort();
    options.clublog_api_key = "k3y+&=";
    options.ca_bundle = torvane::testing::WriteTestCa(folder.path());
    options.http_connect_timeout_ms = options.http_request_timeout_ms = 2'000;
    options.upload_timeout_ms = 2'000;
    return options;
  }
  TempDataFolder folder;
  TestServer eqsl;
  TestServer clublog{TestServer::Scheme::kHttps};
  RecordingEvents events;
  TorvaneControl control{ServiceOptions(), &events};
};

using Submit = decltype(&TorvaneControl::SubmitEQSL);

std::int16_t Send(TorvaneControl& control, Submit submit, const QsoFields& q) {
  return (control.*submit)(q.sCall, q.sDate, q.sTime, q.sMode, q.sBand, q.sFrequency,
                           q.sRST_Received, q.sRST_Sent, q.sComment);
}

QsoFields Plain() { return {"K1ABC", "20240116", "1129", "FT8", "20m", "", "", "", ""}; }

// Plain() with the given band and only its first `kept` fields.
QsoFields Partial(std::size_t kept, const char* band = "20m") {
  QsoFields q = Plain();
  q.sBand = band;
  std::string* fields[] = {&q.sCall, &q.sDate, &q.sTime, &q.sMode, &q.sBand};
  for (std::size_t i = kept; i < std::size(fields); ++i) fields[i]->clear();
  return q;
}

// The fields of an application/x-www-form-urlencoded body, decoded.
std::map<std::string, std::string> FormFields(const std::string& body) {
  std::map<std::string, std::string> fields;
  std::istringstream pairs(body);
  for (std::string pair; std::getline(pairs, pair, '&');) {
    std::string part[2];
    for (std::size_t i = 0, which = 0; i < pair.size(); ++i) {
      if (pair[i] == '=' && which == 0) {
        which = 1;
      } else if (pair[i] == '%' && i + 2 < pair.size()) {
        part[which] += static_cast<char>(std::stoi(pair.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        part[which] += pair[i] == '+' ? ' ' : pair[i];
      }
    }
    fields[part[0]] = part[1];
  }
  return fields;
}

// The query is the whole upload text under the 18 replacements and nothing else: "&", "%"
// and letters stay; the transport alone turns "#" and bytes beyond ASCII into escapes, so
// they cannot end or break the request line. Comments are cut at 240 characters of the
// single-byte code page, the band keeps its case, empty optional fields are left out. Every
// service object of a thread shares the eQSL credentials, as the original's module did.
TEST(SubmitEQSL, SendsTheUploadTextInTheQueryAsTheServerReceivesIt) {
  const std::string header =
      "Upload%3CADIF%5FVER%3A4%3E1%2E00%3CLOG%5FPGM%3A7%3EQuorlin%3CEQSL%5FUSER%3A4%3Ew1aw%3C"
      "EQSL%5FPSWD%3A5%3Epa%20ss%3CEOH%3E";
  std::string digits;
  for (int i = 0; i < 30; ++i) digits += "0123456789";
  const struct {
    QsoFields qso;
    std::string record;  // the query after the header
  } cases[] = {
      {{"G3ABC/P", "20240116", "1129", "FT8", "20M", "14.074", "-10", "+00", digits},
       "%3CCALL%3A7%3EG3ABC%2FP%3CQSO%5FDATE%3A8%3E20240116%3CTIME%5FON%3A4%3E1129%3CMODE%3A3%3E"
       "FT8%3CBAND%3A3%3E20M%3CFREQ%3A6%3E14%2E074%3CRST%5FSENT%3A3%3E%2B00%3CRST%5FRECEIVED%3A3"
       "%3E%2D10%3CQSL%5FCOMMENT%3A240%3E" +
           digits.substr(0, 240) + "%3Ceor%3E"},
      // The date and time keep their fixed lengths whatever was given.
      {{"K1AB", "2024", "112900", "SSB", "160m", "", "", "",
        "a&b%c#d [x]^_:;=?*,\\ caf\xC3\xA9\xE4\xB8\xAD"},
       "%3CCALL%3A4%3EK1AB%3CQSO%5FDATE%3A8%3E2024%3CTIME%5FON%3A4%3E112900%3CMODE%3A3%3ESSB%3C"
       "BAND%3A4%3E160m%3CQSL%5FCOMMENT%3A26%3Ea&b%c%23d%20%5Bx%5D%5E%5F%3A%3B%3D%3F%2A%2C%5C%20"
       "caf%E9%3F%3Ceor%3E"},
      {{"W1AW", "20240116", "0000", "CW", "2m", "", "59", "", ""},
       "%3CCALL%3A4%3EW1AW%3CQSO%5FDATE%3A8%3E20240116%3CTIME%5FON%3A4%3E0000%3CMODE%3A2%3ECW%3C"
       "BAND%3A2%3E2m%3CRST%5FRECEIVED%3A2%3E59%3Ceor%3E"},
  };
  Sites sites;
  sites.eqsl.Script(kImportPath, {{.body = kAdded}});
  EXPECT_EQ(TorvaneControl(sites.ServiceOptions(), nullptr).SetEQSLParms("w1aw", "pa ss"), 1);
  for (const auto& c : cases) {
    EXPECT_EQ(Send(sites.control, &TorvaneControl::SubmitEQSL, c.qso), 0);
    EXPECT_THAT(sites.events.Take(),
                ElementsAre("eQSLStatus OK: " + c.qso.sCall + " added to eQSL Inbox."));
    EXPECT_EQ(sites.eqsl.Requests().back().target,
              std::string(kImportPath) + "?ADIFData=" + header + c.record);
  }
  EXPECT_EQ(sites.eqsl.Requests().size(), std::size(cases));
}

// Each check refuses with its own text, in the order of the checks, and nothing is sent; Club
// Log gives the same refusals in its own words.
TEST(SubmitEQSL, RefusesTheFirstFailingCheckAndSendsNothing) {
  const struct {
    const char* user;  // nullptr: SetEQSLParms not called
    const char* password;
    QsoFields qso;
    std::string refusal;
  } cases[] = {
      {nullptr, nullptr, Plain(), "Password not found"},
      {"", "", Partial(0), "Call not found"},
      {"w1aw", "", Plain(), "Password not found"},
      {"", "secret", Plain(), "User not found"},
      {"w1aw", "secret", Partial(1), "QSO date not found"},
      {"w1aw", "secret", Partial(2), "QSO time not found"},
      {"w1aw", "secret", Partial(3), "QSO mode not found"},
      {"w1aw", "secret", Partial(4), "Unsupported band found ()"},
      {"w1aw", "secret", Partial(5, "70CM"), "Unsupported band found (70CM)"},
      {"w1aw", "secret", Partial(5, " 20m"), "Unsupported band found ( 20m)"},
      {"w1aw", "secret", Partial(5, "20"), "Unsupported band found (20)"},
  };
  for (const auto& c : cases) {
    for (const Submit submit : {&TorvaneControl::SubmitEQSL, &TorvaneControl::SubmitClubLog}) {
      ThreadEQSLCredentials() = {};
      Sites sites;
      if (c.user != nullptr) sites.control.SetEQSLParms(c.user, c.password);
      EXPECT_EQ(Send(sites.control, submit, c.qso), 0);
      const std::string wording = c.refusal + ", data not transferred" +
                                  (submit == &TorvaneControl::SubmitEQSL ? "" : " to Club Log");
      EXPECT_THAT(sites.events.Take(), ElementsAre("eQSLStatus " + wording));
      EXPECT_THAT(sites.eqsl.Requests(), IsEmpty());
      EXPECT_THAT(sites.clublog.Requests(), IsEmpty());
    }
  }
}

// Replies are judged by the interface's marker, then by the added count, then by their
// "Error" and "Warning" lines, each through its line feed, error first.
TEST(SubmitEQSL, TellsWhatTheReplySays) {
  const struct {
    std::vector<Reply> replies;
    std::vector<std::string> statuses;
    std::size_t requests = 1;
  } cases[] = {
      {{{.body = kAdded}}, {"OK: G3ABC/P added to eQSL Inbox."}},
      {{{.body = kDuplicate}},
       {"Warning: Y=2024 M=01 D=16 LZ0TEST 20M FT8 Bad record: Duplicate<BR>\r\n"}},
      {{{.body = kBadLogin}}, {"Error: No match on eQSL_User/eQSL_Pswd\r\n"}},
      {{{.body = kMarker + "\nWarning: late\nError: bad date\n"}},
       {"Error: bad date\n", "Warning: late\n"}},
      // Neither word counts at the reply's very first character.
      {{{.body = "Error: x\n" + kMarker + "\nWarning: y"}}, {"Warning: y"}},
      {{{.body = "Warning " + kMarker}}, {}},
      {{{.body = kMarker + " Result: 0 out of 1 records added"}}, {}},
      {{{.body = "Result: 1 out of 1 records added"}}, {"eQSL error, no reply received"}},
      {{{.body = kMarker.substr(1) + "1 out of 1 records added"}},
       {"eQSL error, no reply received"}},
      // An empty or failed reply is asked for once more.
      {{{.status = 500, .body = kAdded}, {.body = kAdded}},
       {"OK: G3ABC/P added to eQSL Inbox."},
       2},
      {{{.status = 503}}, {"eQSL error, no reply received"}, 2},
  };
  for (const auto& c : cases) {
    Sites sites;
    sites.eqsl.Script(kImportPath, c.replies);
    sites.control.SetEQSLParms("w1aw", "secret");
    QsoFields qso = Plain();
    qso.sCall = "G3ABC/P";
    EXPECT_EQ(Send(sites.control, &TorvaneControl::SubmitEQSL, qso), 0);
    std::vector<std::string> expected;
    for (const std::string& status : c.statuses) expected.push_back("eQSLStatus " + status);
    EXPECT_THAT(sites.events.Take(), ElementsAreArray(expected)) << c.replies.front().body;
    EXPECT_EQ(sites.eqsl.Requests().size(), c.requests);
  }
}

TEST(SubmitEQSL, AnUnreachableServiceIsNoReply) {
  TempDataFolder folder;
  RefusingPort refusing;
  Options options = folder.MakeOptions();
  options.eqsl_host = options.clublog_host = refusing.HostPort();
  RecordingEvents events;
  TorvaneControl control(options, &events);
  control.SetEQSLParms("w1aw", "secret");
  Send(control, &TorvaneControl::SubmitEQSL, Plain());
  Send(control, &TorvaneControl::SubmitClubLog, Plain());
  EXPECT_THAT(events.Take(),
              ElementsAre("eQSLStatus eQSL error, no reply received",
                          "eQSLStatus Internet connection problem, no data sent to Club Log"));
}

// While the web is stopped a submission does nothing at all; a submission that goes out
// clears the stop first.
TEST(SubmitEQSL, AStoppedWebSendsNothingAndASentQsoClearsTheStop) {
  Sites sites;
  sites.eqsl.Script(kImportPath, {{.body = kAdded}});
  sites.clublog.Script(kClubLogPath, {{.body = "QSO OK"}});
  RecordingEvents& events = sites.events;
  Service service(sites.ServiceOptions(), &events, nullptr);
  QsoUpload::SetEQSLParms("w1aw", "secret");
  for (const bool to_eqsl : {true, false}) {
    QsoUpload& upload = service.qso_upload();
    const auto submit = [&](const QsoFields& qso) {
      return to_eqsl ? upload.SubmitEQSL(qso) : upload.SubmitClubLog(qso);
    };
    service.transport().StopWeb();
    events.Take();
    QsoFields unchecked{};  // would be refused if it were looked at
    EXPECT_EQ(submit(unchecked), 0);
    EXPECT_EQ(submit(Plain()), 0);
    EXPECT_THAT(events.Take(), IsEmpty());
    EXPECT_TRUE(service.web().webStopped);
    EXPECT_THAT(sites.eqsl.Requests(), IsEmpty());
    EXPECT_THAT(sites.clublog.Requests(), IsEmpty());
  }
  service.web().webStopped = false;
  for (const bool to_eqsl : {true, false}) {
    QsoUpload& upload = service.qso_upload();
    to_eqsl ? upload.SubmitEQSL(Plain()) : upload.SubmitClubLog(Plain());
    EXPECT_FALSE(service.web().webStopped);
  }
  EXPECT_EQ(sites.eqsl.Requests().size(), 1u);
  EXPECT_EQ(sites.clublog.Requests().size(), 1u);
}

// Club Log gets a form post with the eQSL credentials, MyCall and the API key, and the record
// alone: no eQSL header, none of the eQSL query replacements. Its status codes are told in
// the Club Log wording.
TEST(SubmitClubLog, PostsTheRecordAsAFormAndTellsEachAnswer) {
  const struct {
    Reply reply;
    std::string status;
  } cases[] = {
      {{.body = "QSO OK"}, "OK: G3ABC/P added to Club Log."},
      {{.body = "QSO Duplicate"}, "OK: G3ABC/P added to Club Log."},
      {{.status = 400, .body = "Rejected: Callsign is your own call\r\n"},
       "Error: QSO rejected by Club Log: Rejected: Callsign is your own call"},
      {{.status = 403, .body = "Login rejected"},
       "Error: Club Log refused the upload, check the login, callsign and API key: Login "
       "rejected"},
      {{.status = 500, .body = ""}, "Error: Club Log could not take the QSO now, try again later"},
      {{.status = 503, .body = "Excessive API Usage"},
       "Error: Club Log answered HTTP 503: Excessive API Usage"},
  };
  for (const auto& c : cases) {
    Sites sites;
    sites.clublog.Script(kClubLogPath, {c.reply});
    sites.control.SetEQSLParms("ham@example.com", "p&ss=w%rd \xC3\xA9");
    sites.control.SetMyCall("G7XYZ");
    const QsoFields qso{"G3ABC/P", "20240116", "1129", "FT8",       "20M",
                        "14.074",  "-10",      "+00",  "73 & <tnx>"};
    EXPECT_EQ(Send(sites.control, &TorvaneControl::SubmitClubLog, qso), 0);
    EXPECT_THAT(sites.events.Take(), ElementsAre("eQSLStatus " + c.status));
    const auto requests = sites.clublog.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].Header("content-type"), "application/x-www-form-urlencoded");
    const std::map<std::string, std::string> expected = {
        {"email", "ham@example.com"},
        {"password", "p&ss=w%rd \xC3\xA9"},
        {"callsign", "G7XYZ"},
        {"api", "k3y+&="},
        {"adif",
         "<CALL:7>G3ABC/P<QSO_DATE:8>20240116<TIME_ON:4>1129<MODE:3>FT8<BAND:3>20M<FREQ:6>14.074"
         "<RST_SENT:3>+00<RST_RECEIVED:3>-10<QSL_COMMENT:10>73 & <tnx><eor>"},
    };
    EXPECT_EQ(FormFields(requests[0].body), expected);
    EXPECT_THAT(sites.eqsl.Requests(), IsEmpty());
  }
}

// Through the host simulator: one event for an upload that was added, two for a reply with an
// error and a warning, one for Club Log.
TEST(ShellLogbook, SubmissionsPrintTheirStatusEvents) {
  Sites sites;
  sites.eqsl.Script(kImportPath, {{.body = kAdded}, {.body = kMarker + "\nError: e\nWarning: w"}});
  sites.clublog.Script(kClubLogPath, {{.status = 403, .body = "Upload denied"}});
  const Options options = sites.ServiceOptions();
  const auto outcome = torvane::testing::RunTool(
      {"shell", "--json", "--data-folder", sites.folder.path(), "--eqsl-host", options.eqsl_host,
       "--clublog-host", options.clublog_host, "--clublog-api-key", "key", "--ca-bundle",
       options.ca_bundle},
      R"({"call": "SetEQSLParms", "args": ["w1aw", "s3cret"]}
{"call": "SubmitEQSL", "args": ["G3ABC/P", "20240116", "1129", "FT8", "20M", "", "", "", ""]}
{"call": "SubmitEQSL", "args": ["G3ABC/P", "20240116", "1129", "FT8", "20M", "", "", "", ""]}
{"call": "SubmitClubLog", "args": ["G3ABC/P", "20240116", "1129", "FT8", "20M", "", "", "", ""]}
)");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const std::string args = R"("args":["G3ABC/P","20240116","1129","FT8","20M","","","",""]})";
  EXPECT_THAT(
      outcome.lines,
      ElementsAre(
          R"({"result":1,"type":"int16","args":["w1aw","s3cret"]})",
          R"({"event":"eQSLStatus","args":["OK: G3ABC/P added to eQSL Inbox."]})",
          R"({"result":0,"type":"int16",)" + args,
          R"({"event":"eQSLStatus","args":["Error: e\n"]})",
          R"({"event":"eQSLStatus","args":["Warning: w"]})",
          R"({"result":0,"type":"int16",)" + args,
          R"({"event":"eQSLStatus","args":["Error: Club Log refused the upload, check the login, callsign and API key: Upload denied"]})",
          R"({"result":0,"type":"int16",)" + args));
}

}  // namespace
}  // namespace torvane::services
