#include "lookup/cdrom_text.h"

#include <string_view>

#include "core/code_page.h"

namespace torvane::cdrom_text {

std::string ArgumentText(const std::string& text) { return code_page::Utf8ToCp1252(text); }

std::vector<char> AnswerBuffer(const std::string& reply) {
  const std::string bytes = code_page::Utf8ToCp1252(reply);
  std::vector<char> buffer(bytes.begin(), bytes.end());
  buffer.push_back('\0');
  return buffer;
}

std::string AnswerText(const std::vector<char>& buffer) {
  if (buffer.empty()) return std::string();
  return code_page::Cp1252ToUtf8(std::string_view(buffer.data(), buffer.size() - 1));
}

}  // namespace torvane::cdrom_text
