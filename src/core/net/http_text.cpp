#include "core/net/http_text.h"

#include "core/code_page.h"

namespace torvane::net {

std::string WireUrl(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string wire;
  wire.reserve(url.size());
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || c == '#') {
      wire += '%';
      wire += kHex[byte >> 4];
      wire += kHex[byte & 0x0F];
    } else {
      wire += c;
    }
  }
  return wire;
}

std::string ReplyToText(std::string_view body) {
  if (code_page::IsValidUtf8(body)) return std::string(body);
  return code_page::Cp1252ToUtf8(body);
}

}  // namespace torvane::net
