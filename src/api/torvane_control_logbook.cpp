#include "api/guard.h"
#include "service/service.h"
#include "services/lotw.h"
#include "services/qso_upload.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::int16_t TorvaneControl::SetEQSLParms(const std::string& sUser, const std::string& sPassword) {
  return Guard(service_, std::int16_t{1},
               [&](Service&) { return services::QsoUpload::SetEQSLParms(sUser, sPassword); });
}

std::int16_t TorvaneControl::SubmitEQSL(const std::string& sCall, const std::string& sDate,
                                        const std::string& sTime, const std::string& sMode,
                                        const std::string& sBand, const std::string& sFrequency,
                                        const std::string& sRST_Received,
                                        const std::string& sRST_Sent, const std::string& sComment) {
  return Guard(service_, std::int16_t{0}, [&](Service& service) {
    return service.qso_upload().SubmitEQSL(
        {sCall, sDate, sTime, sMode, sBand, sFrequency, sRST_Received, sRST_Sent, sComment});
  });
}

std::int16_t TorvaneControl::SubmitClubLog(const std::string& sCall, const std::string& sDate,
                                           const std::string& sTime, const std::string& sMode,
                                           const std::string& sBand, const std::string& sFrequency,
                                           const std::string& sRST_Received,
                                           const std::string& sRST_Sent,
                                           const std::string& sComment) {
  return Guard(service_, std::int16_t{0}, [&](Service& service) {
    return service.qso_upload().SubmitClubLog(
        {sCall, sDate, sTime, sMode, sBand, sFrequency, sRST_Received, sRST_Sent, sComment});
  });
}

std::int32_t TorvaneControl::GetLoTW(const std::string& Username, const std::string& Password,
                                     const std::string& StartDate, std::string& Filename,
                                     const std::string& MyCall) {
  return Guard(service_, std::int32_t{1}, [&](Service& service) {
    return service.lotw().GetLoTW(Username, Password, StartDate, Filename, MyCall);
  });
}

std::int32_t TorvaneControl::CancelLoTWImport() {
  return Guard(service_, std::int32_t{1},
               [](Service& service) { return service.lotw().CancelLoTWImport(); });
}

std::int32_t TorvaneControl::UploadLoTW(const std::string& /*sFilename*/) {
  return Guard(service_, std::int32_t{0}, [](Service&) { return services::Lotw::UploadLoTW(); });
}

std::string TorvaneControl::GetIsLoTW(const std::string& callsign) {
  return Guard(service_, std::string("N"),
               [&](Service& service) { return service.lotw().GetIsLoTW(callsign); });
}

}  // namespace torvane
