#include "services/online_extras.h"

#include "core/code_page.h"
#include "core/text.h"

namespace torvane::services {

namespace {

// A reply of nothing but blanks and line breaks counts as no reply.
bool IsBlank(std::string_view reply) {
  return reply.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

bool SaysNotFound(std::string_view reply) {
  return text::Contains(text::ToLower(reply), "not found:");
}

}  // namespace

std::string EncodeForUrl(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : code_page::Utf8ToCp1252(text)) {
    const auto code = static_cast<unsigned char>(c);
    if (text::IsLetter(c) || text::IsDigit(c) || c == '\r') {
      encoded += c;
    } else if (c == ' ') {
      encoded += '+';
    } else if (c == '\n') {
      encoded += "<P>";
    } else {
      encoded += '%';
      if (code >= 0x10) encoded += kHex[code >> 4];
      encoded += kHex[code & 0x0F];
    }
  }
  return encoded;
}

std::string OnlineExtras::ServiceUrl(std::string_view path) const {
  return "https://" + web_.serviceHost + std::string(path);
}

std::string OnlineExtras::GetSpotComments(const std::string& callsign) {
  ThreadWebState().webReply.clear();
  web_.webStopped = false;
  const std::string reply = transport_.GeneralGet(
      ServiceUrl("/nuvexer/nuvexerbiodxspot.php?call=" + EncodeForUrl(callsign)));
  if (IsBlank(reply)) return "No spot comments found";
  if (SaysNotFound(reply)) return "No comments found at Nuvex";
  return reply;
}

std::string OnlineExtras::GetDXNews() {
  ThreadWebState().webReply.clear();
  web_.webStopped = false;
  const std::string reply = transport_.GeneralGet(ServiceUrl("/programs/GetDXNewsForQL.php"));
  if (IsBlank(reply)) return "No DX News found";
  if (SaysNotFound(reply)) return "No news found at Nuvex";
  if (text::Contains(text::ToLower(reply), "session timeout")) {
    return "ERROR: Please Retry (session timeout)";
  }
  return reply;
}

std::string OnlineExtras::GetSunData() {
  // One attempt, and the reply goes to the caller only: webReply keeps the last lookup's.
  std::string reply = transport_.http1().GetText(ServiceUrl("/programs/GetSun1.php"));
  if (reply.empty()) return "Connection Timed Out";
  return reply;
}

std::string OnlineExtras::GetLast4AudioClips() {
  return transport_.http1().GetText(
      ServiceUrl("/programs/GetLast10AudioClips.php?call=" + settings_.MyCall));
}

}  // namespace torvane::services
