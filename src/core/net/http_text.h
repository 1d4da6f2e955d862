#pragma once

#include <string>
#include <string_view>

// Text at the edges of an HTTP transfer.
namespace torvane::net {

// The URL as it can go on the wire. The service builds its URLs by joining unencoded values
// (calls, passwords); bytes that no request line may carry are percent-encoded here: controls,
// the space, DEL and everything beyond ASCII (as its UTF-8 bytes), and "#", which would
// otherwise cut the rest off as a fragment. Everything else, "%" included, goes out as given.
std::string WireUrl(std::string_view url);

// A reply body as text of the public API: UTF-8 stays as it is; anything else is read as the
// system's single-byte code page, which is what the services' older pages are written in.
std::string ReplyToText(std::string_view body);

}  // namespace torvane::net
