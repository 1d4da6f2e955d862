#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/events.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "core/settings.h"
#include "torvane/options.h"

namespace torvane::services {

// The QSO fields of one submission, as the host passes them.
struct QsoFields {
  std::string sCall;
  std::string sDate;
  std::string sTime;
  std::string sMode;
  std::string sBand;
  std::string sFrequency;
  std::string sRST_Received;
  std::string sRST_Sent;
  std::string sComment;
};

// The eQSL user and password. The original kept them per module, so every service object of
// a host thread shares them (each thread has its own, as with the module web state).
struct EQSLCredentials {
  std::string user;
  std::string password;
};
EQSLCredentials& ThreadEQSLCredentials();

// The one-record ADIF text: the QSO's fields in their fixed order, ended by "<eor>". Built
// from the single-byte code page form of the fields, so that each length counts characters
// and bytes alike (characters the code page lacks become "?").
std::string BuildQsoRecord(const QsoFields& qso);

// The eQSL header with the credentials, then the record.
std::string BuildEQSLUploadText(const QsoFields& qso, const EQSLCredentials& credentials);

// The 18 replacements of the eQSL query, applied in their order; nothing else changes, so
// "%", "&" and "#" go as they are (the transport still keeps "#" from ending the URL).
std::string EncodeEQSLQuery(std::string_view upload_text);

// The eQSLStatus texts a reply of the eQSL real-time interface gives for a call: none, one
// or two.
std::vector<std::string> ReadEQSLReply(std::string_view reply, std::string_view call);

// Real-time upload of single QSOs to eQSL and Club Log. Every outcome is an eQSLStatus text;
// the results carry nothing.
class QsoUpload {
 public:
  QsoUpload(net::HttpTransport& transport, WebState& web, EventDispatcher& events,
            const Settings& settings, std::string eqsl_host, std::string clublog_host,
            std::string clublog_api_key)
      : transport_(transport),
        web_(web),
        events_(events),
        settings_(settings),
        eqsl_host_(std::move(eqsl_host)),
        clublog_host_(std::move(clublog_host)),
        clublog_api_key_(std::move(clublog_api_key)) {}

  static std::int16_t SetEQSLParms(const std::string& sUser, const std::string& sPassword);
  std::int16_t SubmitEQSL(const QsoFields& qso);
  std::int16_t SubmitClubLog(const QsoFields& qso);

 private:
  net::HttpTransport& transport_;
  WebState& web_;
  EventDispatcher& events_;
  const Settings& settings_;
  std::string eqsl_host_;
  std::string clublog_host_;
  std::string clublog_api_key_;
};

}  // namespace torvane::services
