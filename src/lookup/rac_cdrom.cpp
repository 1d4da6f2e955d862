#include "lookup/rac_cdrom.h"

#include "lookup/cdrom_text.h"

namespace torvane {

namespace {

using GetCallInfoFunction = std::int16_t(const char* data_path, const char* callsign, char* answer,
                                         std::int16_t* error_code);

}  // namespace

bool RacCdrom::GetCallInfo(const std::string& data_path, const std::string& callsign,
                           std::string& answer, std::int16_t& error_code) {
  if (!library_.IsOpen()) library_ = SharedLibrary::Open(library_name_);
  auto* get_call_info = library_.Find<GetCallInfoFunction>("sGetCallInfo");
  if (get_call_info == nullptr) return false;
  const std::string path = cdrom_text::ArgumentText(data_path);
  const std::string call = cdrom_text::ArgumentText(callsign);
  std::vector<char> buffer = cdrom_text::AnswerBuffer(answer);
  std::int16_t code = error_code;
  get_call_info(path.c_str(), call.c_str(), buffer.data(), &code);
  answer = cdrom_text::AnswerText(buffer);
  error_code = code;
  return true;
}

}  // namespace torvane
