#include "lookup/hamcall_cdrom.h"

#include "lookup/cdrom_text.h"

namespace torvane {

namespace {

using LookupCallSignFunction = std::int16_t(const char* data_path, const char* callsign,
                                            std::int16_t max_length, char* answer);

}  // namespace

std::optional<std::int16_t> HamCallCdrom::LookupCallSign(const std::string& data_path,
                                                         const std::string& callsign,
                                                         std::int16_t max_length,
                                                         std::string& answer) {
  if (!library_.IsOpen()) library_ = SharedLibrary::Open(library_name_);
  auto* lookup_call_sign = library_.Find<LookupCallSignFunction>("LookupCallSign");
  if (lookup_call_sign == nullptr) return std::nullopt;
  const std::string path = cdrom_text::ArgumentText(data_path);
  const std::string call = cdrom_text::ArgumentText(callsign);
  std::vector<char> buffer = cdrom_text::AnswerBuffer(answer);
  const std::int16_t result =
      lookup_call_sign(path.c_str(), call.c_str(), max_length, buffer.data());
  answer = cdrom_text::AnswerText(buffer);
  return result;
}

}  // namespace torvane
