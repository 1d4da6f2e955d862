#pragma once

#include <string>
#include <string_view>

namespace torvane {

// The text between the first "<tag>" of the reply and the first "</tag>" after it, exactly as
// it stands: the online services' replies are read by this rule, not by an XML parser, so
// entities stay undecoded, blanks stay, and case matters ("Name" and "name" are two tags, as
// the maker's service uses them). Empty when either marker is missing.
std::string GetTagValue(std::string_view reply, std::string_view tag);

}  // namespace torvane
