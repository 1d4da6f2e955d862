#include "services/qso_upload.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <utility>

#include "core/code_page.h"
#include "core/text.h"

namespace torvane::services {

namespace {

// Every reply of the eQSL real-time interface carries this comment; a reply without it did
// not come from that interface (a proxy's page, a maintenance notice).
constexpr std::string_view kEQSLReplyMarker =
    "<!-- Reply form eQSL.cc ADIF Real-time Interface -->";
constexpr std::string_view kOneRecordAdded = "1 out of 1 records added";
// eQSL keeps no longer comment on a card.
constexpr std::size_t kMaxCommentCharacters = 240;

constexpr std::array<std::string_view, 12> kAcceptedBands = {
    "160m", "80m", "60m", "40m", "30m", "20m", "17m", "15m", "12m", "10m", "6m", "2m"};

constexpr std::array<std::pair<std::string_view, std::string_view>, 18> kQueryReplacements = {{
    {" ", "%20"},
    {"[", "%5B"},
    {"\\", "%5C"},
    {"]", "%5D"},
    {"^", "%5E"},
    {"_", "%5F"},
    {":", "%3A"},
    {";", "%3B"},
    {"<", "%3C"},
    {"=", "%3D"},
    {">", "%3E"},
    {"?", "%3F"},
    {"*", "%2A"},
    {"+", "%2B"},
    {",", "%2C"},
    {"-", "%2D"},
    {".", "%2E"},
    {"/", "%2F"},
}};

constexpr std::string_view kClubLogSuffix = " to Club Log";

void AppendField(std::string& text, std::string_view name, std::string_view value) {
  text += fmt::format("<{}:{}>", name, value.size());
  text += value;
}

// The first failing check of a submission, in the order the host's users know them, or none.
std::optional<std::string> Refusal(const QsoFields& qso, const EQSLCredentials& credentials) {
  if (qso.sCall.empty()) return "Call not found, data not transferred";
  if (credentials.password.empty()) return "Password not found, data not transferred";
  if (credentials.user.empty()) return "User not found, data not transferred";
  if (qso.sDate.empty()) return "QSO date not found, data not transferred";
  if (qso.sTime.empty()) return "QSO time not found, data not transferred";
  if (qso.sMode.empty()) return "QSO mode not found, data not transferred";
  const std::string band = text::ToLower(qso.sBand);
  if (std::find(kAcceptedBands.begin(), kAcceptedBands.end(), band) == kAcceptedBands.end()) {
    return "Unsupported band found (" + qso.sBand + "), data not transferred";
  }
  return std::nullopt;
}

// The reply's line that starts with `word`, through its line feed (or to the end of a reply
// whose last line has none), when the word first occurs after the reply's first character.
std::optional<std::string> LineOf(std::string_view reply, std::string_view word) {
  const std::size_t at = reply.find(word);
  if (at == std::string_view::npos || at == 0) return std::nullopt;
  const std::size_t line_feed = reply.find('\n', at);
  const std::size_t end = line_feed == std::string_view::npos ? reply.size() : line_feed + 1;
  return std::string(reply.substr(at, end - at));
}

// application/x-www-form-urlencoded: unreserved characters stay, a space is "+", every other
// byte is "%" and two hex digits.
std::string FormEncode(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : value) {
    if (text::IsLetter(c) || text::IsDigit(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      encoded += c;
    } else if (c == ' ') {
      encoded += '+';
    } else {
      const auto byte = static_cast<unsigned char>(c);
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

// Club Log answers in its status code and explains in a short body meant for the user.
std::string ClubLogStatus(const net::PostReply& reply, const std::string& call) {
  if (reply.status == 200) return "OK: " + call + " added to Club Log.";
  std::string explanation(text::Trim(reply.text));
  while (!explanation.empty() && (explanation.back() == '\r' || explanation.back() == '\n')) {
    explanation.pop_back();
  }
  const std::string detail = explanation.empty() ? "" : ": " + explanation;
  switch (reply.status) {
    case 400:
      return "Error: QSO rejected by Club Log" + detail;
    case 403:
      // Club Log blocks an address that goes on sending after this answer.
      return "Error: Club Log refused the upload, check the login, callsign and API key" + detail;
    case 500:
      return "Error: Club Log could not take the QSO now, try again later" + detail;
    default:
      return fmt::format("Error: Club Log answered HTTP {}{}", reply.status, detail);
  }
}

}  // namespace

EQSLCredentials& ThreadEQSLCredentials() {
  thread_local EQSLCredentials credentials;
  return credentials;
}

std::string BuildQsoRecord(const QsoFields& qso) {
  const auto single_byte = [](const std::string& value) { return code_page::Utf8ToCp1252(value); };
  std::string record;
  AppendField(record, "CALL", single_byte(qso.sCall));
  // The date and time go with their usual lengths whatever the host gave.
  record += "<QSO_DATE:8>" + single_byte(qso.sDate);
  record += "<TIME_ON:4>" + single_byte(qso.sTime);
  AppendField(record, "MODE", single_byte(qso.sMode));
  AppendField(record, "BAND", single_byte(qso.sBand));
  if (!qso.sFrequency.empty()) AppendField(record, "FREQ", single_byte(qso.sFrequency));
  if (!qso.sRST_Sent.empty()) AppendField(record, "RST_SENT", single_byte(qso.sRST_Sent));
  if (!qso.sRST_Received.empty()) {
    AppendField(record, "RST_RECEIVED", single_byte(qso.sRST_Received));
  }
  if (!qso.sComment.empty()) {
    const std::string comment = single_byte(qso.sComment);
    AppendField(record, "QSL_COMMENT", std::string_view(comment).substr(0, kMaxCommentCharacters));
  }
  record += "<eor>";
  return record;
}

std::string BuildEQSLUploadText(const QsoFields& qso, const EQSLCredentials& credentials) {
  std::string text = "Upload<ADIF_VER:4>1.00<LOG_PGM:7>Quorlin";
  AppendField(text, "EQSL_USER", code_page::Utf8ToCp1252(credentials.user));
  AppendField(text, "EQSL_PSWD", code_page::Utf8ToCp1252(credentials.password));
  text += "<EOH>";
  return text + BuildQsoRecord(qso);
}

std::string EncodeEQSLQuery(std::string_view upload_text) {
  std::string encoded(upload_text);
  for (const auto& [character, replacement] : kQueryReplacements) {
    encoded = text::ReplaceAll(encoded, character, replacement);
  }
  return encoded;
}

std::vector<std::string> ReadEQSLReply(std::string_view reply, std::string_view call) {
  if (!text::Contains(reply, kEQSLReplyMarker)) return {"eQSL error, no reply received"};
  if (text::Contains(reply, kOneRecordAdded)) {
    return {"OK: " + std::string(call) + " added to eQSL Inbox."};
  }
  std::vector<std::string> lines;
  if (auto error = LineOf(reply, "Error")) lines.push_back(std::move(*error));
  if (auto warning = LineOf(reply, "Warning")) lines.push_back(std::move(*warning));
  return lines;
}

std::int16_t QsoUpload::SetEQSLParms(const std::string& sUser, const std::string& sPassword) {
  EQSLCredentials& credentials = ThreadEQSLCredentials();
  credentials.user = sUser;
  credentials.password = sPassword;
  return 1;
}

std::int16_t QsoUpload::SubmitEQSL(const QsoFields& qso) {
  if (web_.webStopped) return 0;
  const EQSLCredentials& credentials = ThreadEQSLCredentials();
  if (auto refusal = Refusal(qso, credentials)) {
    events_.eQSLStatus(*refusal);
    return 0;
  }
  std::string url;
  try {
    url = "http://" + eqsl_host_ + "/qslcard/importADIF.cfm?ADIFData=" +
          EncodeEQSLQuery(BuildEQSLUploadText(qso, credentials));
  } catch (const std::exception&) {
    events_.eQSLStatus("Error in log record, no data sent");
    return 0;
  }
  std::string reply;
  try {
    web_.webStopped = false;
    reply = transport_.GeneralGet(url);
  } catch (const std::exception&) {
    events_.eQSLStatus("Internet connection problem, no data sent");
    return 0;
  }
  for (const std::string& status : ReadEQSLReply(reply, qso.sCall)) events_.eQSLStatus(status);
  return 0;
}

std::int16_t QsoUpload::SubmitClubLog(const QsoFields& qso) {
  if (web_.webStopped) return 0;
  const EQSLCredentials& credentials = ThreadEQSLCredentials();
  if (auto refusal = Refusal(qso, credentials)) {
    events_.eQSLStatus(*refusal + std::string(kClubLogSuffix));
    return 0;
  }
  net::PostRequest request;
  try {
    request.url = "https://" + clublog_host_ + "/realtime.php";
    request.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
    request.body =
        "email=" + FormEncode(credentials.user) + "&password=" + FormEncode(credentials.password) +
        "&callsign=" + FormEncode(settings_.MyCall) + "&adif=" + FormEncode(BuildQsoRecord(qso)) +
        "&api=" + FormEncode(clublog_api_key_);
  } catch (const std::exception&) {
    events_.eQSLStatus("Error in log record, no data sent" + std::string(kClubLogSuffix));
    return 0;
  }
  web_.webStopped = false;
  const net::PostReply reply = transport_.Post(request);
  if (!reply.ok) {
    events_.eQSLStatus("Internet connection problem, no data sent" + std::string(kClubLogSuffix));
    return 0;
  }
  events_.eQSLStatus(ClubLogStatus(reply, qso.sCall));
  return 0;
}

}  // namespace torvane::services
