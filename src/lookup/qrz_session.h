#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "core/events.h"
#include "core/folders.h"
#include "core/net/http_client.h"
#include "core/net/web_state.h"
#include "core/settings.h"

namespace torvane {

// The session with the QRZ XML service: it logs in with MyCall and the QRZ password once, keeps
// the key it got until a reply reports a session timeout, asks for calls with that key and, when
// asked to, fetches the operator's biography page. Requests go over plain HTTP on the session
// client, which lets the host's loop run while a reply is awaited and ends the request under way
// when the host stops web activity. Every activity-log line of the session is written whether
// development logging is on or not; the query lines carry the key.
class QrzSession {
 public:
  // `xml_host` and `files_host` are "host" or "host:port" of the XML service and of the server
  // that holds the biography pages' files. The session log goes into the data folder's Logs
  // folder, which is known only once the service has started: hence the folders by reference.
  QrzSession(const Settings& settings, WebState& web, EventDispatcher& events,
             net::HttpClient& http10, const FolderSet& folders, std::string xml_host,
             std::string files_host)
      : settings_(settings),
        web_(web),
        events_(events),
        http10_(http10),
        folders_(folders),
        xml_host_(std::move(xml_host)),
        files_host_(std::move(files_host)) {}

  // Asks the service for `lookup_call` (upper case). Leaves the raw reply in `reply`, sets
  // `lookup_error` to 1 when there is nothing to map (it is left as given otherwise, unless a
  // reply arrives), and `data_source` to the outcome text when the call query was answered.
  // `skip_bio` false fetches the biography page after a call was found.
  void Lookup(const std::string& lookup_call, bool skip_bio, std::string& reply,
              std::int16_t& lookup_error, std::string& data_source);

  // The "Error" or "Message" text of the last reply that had one, or, after a biography query,
  // the biography page with its links made absolute. The mapping copies it into Biography.
  const std::string& QRZReplyText() const { return qrz_reply_text_; }

  // The last URL requested by the last Lookup, empty when it requested none.
  const std::string& LastUrl() const { return last_url_; }

  // The key of the open session, empty when there is none. Like the original component's
  // module data it is shared by every service object on the thread: a new object goes on with
  // the session, and new credentials take effect only after a session timeout.
  static const std::string& QRZSessionKey();

 private:
  // Logs in; a reply without a key leaves the key empty and lookup_error at 1.
  void LogIn(std::string& reply, std::int16_t& lookup_error);
  // False when the lookup ends with the call query (no data, not found, session timeout).
  bool QueryCall(const std::string& lookup_call, std::string& reply, std::int16_t& lookup_error,
                 std::string& data_source);
  void QueryBiography(const std::string& lookup_call);
  // Records the "Error" and "Message" texts of a reply; the log lines are numbered by request.
  void NoteServiceTexts(const std::string& reply, char request);
  std::string Get(const std::string& url);

  const Settings& settings_;
  WebState& web_;
  EventDispatcher& events_;
  net::HttpClient& http10_;
  const FolderSet& folders_;
  std::string xml_host_;
  std::string files_host_;
  std::string qrz_reply_text_;
  std::string last_url_;
};

}  // namespace torvane
