#pragma once

#include <string>
#include <string_view>

#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "core/settings.h"

namespace torvane::services {

// A text as a query value of the maker's service: letters and digits stay, a space becomes
// "+", a line feed "<P>", a carriage return stays, and every other character becomes "%" and
// its code in the single-byte code page, in upper-case hex without leading zeros ("/" gives
// "%2F", a tab "%9"; a character outside the code page is "?", so "%3F").
std::string EncodeForUrl(std::string_view text);

// The small text services of the maker's service: spot comments, DX news, solar data and the
// user's recent audio clips, each one GET whose empty or negative reply becomes a message.
class OnlineExtras {
 public:
  OnlineExtras(net::HttpTransport& transport, WebState& web, const Settings& settings)
      : transport_(transport), web_(web), settings_(settings) {}

  std::string GetSpotComments(const std::string& callsign);
  std::string GetDXNews();
  std::string GetSunData();
  std::string GetLast4AudioClips();

 private:
  std::string ServiceUrl(std::string_view path) const;

  net::HttpTransport& transport_;
  WebState& web_;
  const Settings& settings_;
};

}  // namespace torvane::services
