#include "lookup/qrz_session.h"

#include "core/activity_log.h"
#include "core/files.h"
#include "core/text.h"
#include "lookup/tag_value.h"

namespace torvane {

namespace {

// How much of a call-query reply the activity log shows.
constexpr std::size_t kLoggedReplyCharacters = 200;

std::string& SessionKey() {
  thread_local std::string key;
  return key;
}

// The first `count` characters of UTF-8 text, never cutting a character in two.
std::string_view LeadingCharacters(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < text.size() && seen < count; ++seen) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text.substr(0, at);
}

// The last character of UTF-8 text, or empty text.
std::string_view LastCharacter(std::string_view text) {
  if (text.empty()) return text;
  std::size_t at = text.size() - 1;
  while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return text.substr(at);
}

}  // namespace

const std::string& QrzSession::QRZSessionKey() { return SessionKey(); }

void QrzSession::Lookup(const std::string& lookup_call, bool skip_bio, std::string& reply,
                        std::int16_t& lookup_error, std::string& data_source) {
  last_url_.clear();
  if (SessionKey().empty() && !settings_.QRZPassword.empty() && !web_.webStopped) {
    LogIn(reply, lookup_error);
  }
  if (SessionKey().empty() || lookup_error == 1 || settings_.QRZPassword.empty()) {
    if (!web_.webStopped) events_.WebStatus("Connection error.");
    return;
  }
  if (!QueryCall(lookup_call, reply, lookup_error, data_source)) return;
  if (!skip_bio) QueryBiography(lookup_call);
}

void QrzSession::LogIn(std::string& reply, std::int16_t& lookup_error) {
  // Nothing is encoded: the service takes the values exactly as the host gave them.
  const std::string url = "http://" + xml_host_ +
                          "/xml/?username=" + text::ToLower(text::Trim(settings_.MyCall)) +
                          ";password=" + settings_.QRZPassword;
  web_.webStopped = false;
  reply = Get(url);
  if (!text::Contains(reply, "Key") || text::Trim(reply).empty()) {
    lookup_error = 1;
    ActivityLog::Write("QRZ no Key or data: " + reply);
    return;
  }
  lookup_error = 0;
  SessionKey() = GetTagValue(reply, "Key");
  NoteServiceTexts(reply, '1');
}

bool QrzSession::QueryCall(const std::string& lookup_call, std::string& reply,
                           std::int16_t& lookup_error, std::string& data_source) {
  reply.clear();
  const std::string url = "http://" + xml_host_ + "/xml/current/?s=" + SessionKey() +
                          ";callsign=" + text::ToLower(lookup_call);
  ActivityLog::Write("QRZ callsign query: " + url);
  web_.webStopped = false;
  if (settings_.Devel) {
    http10_.SetSessionLog(
        files::ResolvePath(files::Join(folders_.DataFolder, "Logs/QRZ_Session.txt")));
  }
  reply = Get(url);
  if (!reply.empty()) {
    ActivityLog::Write("Got QRZ response");
  } else {
    ActivityLog::Write("QRZ query failed, try again");
    reply = Get(url);  // a second try, never a third
    if (!reply.empty()) ActivityLog::Write("Got QRZ response on second try");
  }
  NoteServiceTexts(reply, '2');
  qrz_reply_text_.clear();

  if (text::Trim(reply).empty()) {
    lookup_error = 1;
    ActivityLog::Write("QRZ call query no data");
    return false;
  }
  ActivityLog::Write("QRZ call query data: " +
                     std::string(LeadingCharacters(reply, kLoggedReplyCharacters)));
  lookup_error = 0;
  const std::string lower = text::ToLower(reply);
  if (text::Contains(lower, "not found:")) {
    data_source = "No data found at QRZ";  // the reply is still mapped
    return false;
  }
  if (text::Contains(lower, "session timeout")) {
    data_source = "ERROR: Please Retry (session timeout)";
    reply.clear();
    SessionKey().clear();
    return false;
  }
  data_source = "QRZ via Subscription";
  qrz_reply_text_.clear();
  return true;
}

void QrzSession::QueryBiography(const std::string& lookup_call) {
  const std::string call = text::ToLower(lookup_call);
  const std::string url =
      "http://" + xml_host_ + "/xml/current/?s=" + SessionKey() + "&html=" + call;
  ActivityLog::Write("QRZ bio query: " + url);
  qrz_reply_text_ = Get(url);
  if (qrz_reply_text_.empty()) qrz_reply_text_ = Get(url);
  // The page links its files relative to the file server, in a folder per last call character.
  qrz_reply_text_ =
      text::ReplaceAll(qrz_reply_text_, "/hampages",
                       "http://" + files_host_ + "/" + std::string(LastCharacter(call)));
}

void QrzSession::NoteServiceTexts(const std::string& reply, char request) {
  if (text::Contains(reply, "<Error>")) {
    qrz_reply_text_ = GetTagValue(reply, "Error");
    ActivityLog::Write(std::string("QRZ Error ") + request + ": " + qrz_reply_text_);
  }
  if (text::Contains(reply, "<Message>")) {
    qrz_reply_text_ = GetTagValue(reply, "Message");
    ActivityLog::Write(std::string("QRZ Message ") + request + ": " + qrz_reply_text_);
  }
}

std::string QrzSession::Get(const std::string& url) {
  last_url_ = url;
  return http10_.GetText(url);
}

}  // namespace torvane
