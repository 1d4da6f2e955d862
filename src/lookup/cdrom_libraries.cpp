#include "lookup/cdrom_libraries.h"

#include "core/text.h"

namespace torvane {

namespace {

// HamCall gets one character less than the reply buffer holds, room for its terminator.
constexpr std::int16_t kHamCallMaxLength = 400;

}  // namespace

std::string RacErrorText(std::int16_t error_code) {
  switch (error_code) {
    case -5:
      return "Internal Error.";
    case -4:
      return "Decode error.";
    case -3:
      return "Wrong CD or incorrect software (DLL).";
    case -2:
      return "Call has strange values (i.e. empty).";
    case 2:
      return "File Not found.";
    case 3:
      return "Path Not found.";
    case 5:
      return "File access denied.";
    case 21:
      return "CD not found.";
    case 1101:
      return "Call is not in the database.";
    case 32000:
      return "Error allocating memory";
    default:
      return std::string();
  }
}

void AskRacCdrom(RacCdrom& library, const std::string& drive, const std::string& lookup_call,
                 std::string& reply, CdromOutcome& outcome) {
  const std::string data_path = drive.find('\\') == std::string::npos ? drive + "\\" : drive;
  // The library's own result says nothing reliable: only the error code tells found from not.
  std::int16_t error_code = 0;
  library.GetCallInfo(data_path, text::ToLower(lookup_call), reply, error_code);
  outcome.lookup_error = error_code;
  outcome.data_status = error_code == 0
                            ? "Call found in database."
                            : std::to_string(error_code) + ": " + RacErrorText(error_code);
  outcome.data_source = "Radio Amateur Callbook";
}

void AskHamCallCdrom(HamCallCdrom& library, const std::string& drive,
                     const std::string& lookup_call, std::string& reply, CdromOutcome& outcome) {
  const std::int16_t found =
      library.LookupCallSign(drive + "\\ham0\\", lookup_call, kHamCallMaxLength, reply).value_or(0);
  outcome.lookup_error = found > 0 ? 0 : 1;
  outcome.data_source = "HamCall";
}

void AskQrzCdrom(QrzCdrom& library, const std::string& drive, const std::string& lookup_call,
                 std::string& reply, CdromOutcome& outcome) {
  // The library wants its drive again before every search.
  library.QRZInit(drive);
  if (library.QRZSearch(text::ToLower(lookup_call)) && library.QrzFieldLength() > 0) {
    outcome.lookup_error = 0;
    reply = library.BufferText();
  }
  outcome.data_source = "QRZ CDROM";
}

}  // namespace torvane
