#include "lookup/tag_value.h"

namespace torvane {

std::string GetTagValue(std::string_view reply, std::string_view tag) {
  std::string opening = "<";
  opening.append(tag).append(">");
  std::string closing = "</";
  closing.append(tag).append(">");
  const std::size_t open_at = reply.find(opening);
  if (open_at == std::string_view::npos) return {};
  const std::size_t value_at = open_at + opening.size();
  const std::size_t close_at = reply.find(closing, value_at);
  if (close_at == std::string_view::npos) return {};
  return std::string(reply.substr(value_at, close_at - value_at));
}

}  // namespace torvane
