#include "services/qso_upload.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/service.h"
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

// A data folder, eQSL on plain HTTP and Club Log on HTTPS, both on 127.0.0.1.
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
};

using Submit = std::int16_t (TorvaneControl::*)(const std::string&, const std::string&,
                                                const std::string&, const std::string&,
                                                const std::string&, const std::string&,
                                                const std::string&, const std::string&,
                                                const std::string&);

std::int16_t Send(TorvaneControl& control, Submit submit, const QsoFields& q) {
  return (control.*submit)(q.sCall, q.sDate, q.sTime, q.sMode, q.sBand, q.sFrequency,
                           q.sRST_Received, q.sRST_Sent, q.sComment);
}

QsoFields Plain() { return {"K1ABC", "20240116", "1129", "FT8", "20m", "", "", "", ""}; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The fields of an application/x-www-form-urlencoded body.
std::map<std::string, std::string> FormFields(const std::string& body) {
  std::map<std::string, std::string> fields;
  std::string name, value;
  bool in_value = false;
  const auto flush = [&] {
    if (!name.empty() || in_value) fields[name] = value;
    name.clear();
    value.clear();
    in_value = false;
  };
  for (std::size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '&') {
      flush();
      continue;
    }
    if (c == '=' && !in_value) {
      in_value = true;
      continue;
    }
    if (c == '+') c = ' ';
    if (c == '%' && i + 2 < body.size() && HexValue(body[i + 1]) >= 0 &&
        HexValue(body[i + 2]) >= 0) {
      c = static_cast<char>(HexValue(body[i + 1]) * 16 + HexValue(body[i + 2]));
      i += 2;
    }
    (in_value ? value : name) += c;
  }
  flush();
  return fields;
}

// The query is the whole upload text under the 18 replacements and nothing else: "&", "%"
// and letters stay; the transport alone turns "#" and bytes beyond ASCII into escapes, so
// they cannot end or break the request line. Comments are cut at 240 characters of the
// single-byte code page, the band keeps its case, empty optional fields are left out.
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
  RecordingEvents events;
  TorvaneControl control(sites.ServiceOptions(), &events);
  EXPECT_EQ(control.SetEQSLParms("w1aw", "pa ss"), 1);
  for (const auto& c : cases) {
    EXPECT_EQ(Send(control, &TorvaneControl::SubmitEQSL, c.qso), 0);
    EXPECT_THAT(events.Take(),
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
      {nullptr, nullptr, Plain(), "Password not found, data not transferred"},
      {"", "", {"", "", "", "", "", "", "", "", ""}, "Call not found, data not transferred"},
      {"w1aw", "", Plain(), "Password not found, data not transferred"},
      {"", "secret", Plain(), "User not found, data not transferred"},
      {"w1aw",
       "secret",
       {"K1ABC", "", "", "", "", "", "", "", ""},
       "QSO date not found, data not transferred"},
      {"w1aw",
       "secret",
       {"K1ABC", "20240116", "", "", "", "", "", "", ""},
       "QSO time not found, data not transferred"},
      {"w1aw",
       "secret",
       {"K1ABC", "20240116", "1129", "", "", "", "", "", ""},
       "QSO mode not found, data not transferred"},
      {"w1aw",
       "secret",
       {"K1ABC", "20240116", "1129", "FT8", "", "", "", "", ""},
       "Unsupported band found (), data not transferred"},
      {"w1aw",
       "secret",
       {"K1ABC", "20240116", "1129", "FT8", "70CM", "", "", "", ""},
       "Unsupported band found (70CM), data not transferred"},
      {"w1aw",
       "secret",
       {"K1ABC", "20240116", "1129", "FT8", " 20m", "", "", "", ""},
       "Unsupported band found ( 20m), data not transferred"},
      {"w1aw",
       "secret",
       {"K1ABC", "20240116", "1129", "FT8", "20", "", "", "", ""},
       "Unsupported band found (20), data not transferred"},
  };
  for (const auto& c : cases) {
    for (const Submit submit : {&TorvaneControl::SubmitEQSL, &TorvaneControl::SubmitClubLog}) {
      ThreadEQSLCredentials() = {};
      Sites sites;
      RecordingEvents events;
      TorvaneControl control(sites.ServiceOptions(), &events);
      if (c.user != nullptr) control.SetEQSLParms(c.user, c.password);
      EXPECT_EQ(Send(control, submit, c.qso), 0);
      const std::string wording =
          submit == &TorvaneControl::SubmitEQSL ? c.refusal : c.refusal + " to Club Log";
      EXPECT_THAT(events.Take(), ElementsAre("eQSLStatus " + wording));
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
    RecordingEvents events;
    TorvaneControl control(sites.ServiceOptions(), &events);
    control.SetEQSLParms("w1aw", "secret");
    QsoFields qso = Plain();
    qso.sCall = "G3ABC/P";
    EXPECT_EQ(Send(control, &TorvaneControl::SubmitEQSL, qso), 0);
    std::vector<std::string> expected;
    for (const std::string& status : c.statuses) expected.push_back("eQSLStatus " + status);
    EXPECT_THAT(events.Take(), ElementsAreArray(expected)) << c.replies.front().body;
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
  RecordingEvents events;
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
    RecordingEvents events;
    TorvaneControl control(sites.ServiceOptions(), &events);
    control.SetEQSLParms("ham@example.com", "p&ss=w%rd \xC3\xA9");
    control.SetMyCall("G7XYZ");
    const QsoFields qso{"G3ABC/P", "20240116", "1129", "FT8",       "20M",
                        "14.074",  "-10",      "+00",  "73 & <tnx>"};
    EXPECT_EQ(Send(control, &TorvaneControl::SubmitClubLog, qso), 0);
    EXPECT_THAT(events.Take(), ElementsAre("eQSLStatus " + c.status));
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

// Every service object of a thread shares the eQSL credentials, as the original's module did.
TEST(SetEQSLParms, CredentialsAreSharedByTheObjectsOfAThread) {
  Sites sites;
  sites.eqsl.Script(kImportPath, {{.body = kAdded}});
  RecordingEvents events;
  TorvaneControl first(sites.ServiceOptions(), &events);
  TorvaneControl second(sites.ServiceOptions(), &events);
  first.SetEQSLParms("w1aw", "secret");
  Send(second, &TorvaneControl::SubmitEQSL, Plain());
  EXPECT_THAT(events.Take(), ElementsAre("eQSLStatus OK: K1ABC added to eQSL Inbox."));
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
